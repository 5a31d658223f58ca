// The bearing data manager: catalogue lines and their 6-character columns, the entry rules and
// refusals, the sort order, and the window: adding, editing, the rewrite of bearing.sav after every
// update (the file always equal to the list) and the reload on activation.

#include "records/recordfile.h"
#include "support/workedexample.h"
#include "ui/bearings/catalogue.h"
#include "ui/bearings/editerline.h"
#include "ui/bearings/frmediter.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <limits>

using Fixture::strings;

namespace {

BearingRecord bearing(const char *model, int type, int d, int D = 0, int B = 0)
{
    return { QString::fromUtf8(model), std::uint8_t(type), std::int16_t(d), std::int16_t(D),
        std::int16_t(B), 0.3f, 0, 0, 20 };
}

void writeCatalogue(const QList<BearingRecord> &records)
{
    StoreError error;
    QVERIFY2(RecordFiles::rewriteBearingFile(RecordFiles::bearingPath(), records, error),
        qPrintable(error.text()));
}

} // namespace

class TestBearings : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture::AppDirectory> m_dir;
    ScriptedPrompter m_prompter;
    std::unique_ptr<frmEditer> m_w;

    template <typename T = QLineEdit> T *get(const char *name)
    {
        T *found = m_w->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void click(const char *button) { QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton); }
    void open()
    {
        m_w = std::make_unique<frmEditer>(m_prompter);
        m_w->show();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
    }
    QStringList lines()
    {
        QStringList out;
        const QAbstractItemModel *model = get<QListView>("lstBearing")->model();
        for (int i = 0; i < model->rowCount(); ++i)
            out << model->index(i, 0).data(Qt::EditRole).toString();
        return out;
    }
    QStringList models()
    {
        QStringList out;
        for (const QString &line : lines())
            out << EditerLine::modelOf(line).trimmed();
        return out;
    }
    void choose(int row)
    {
        get<QListView>("lstBearing")
            ->setCurrentIndex(get<QListView>("lstBearing")->model()->index(row, 0));
    }
    // The user goes to another window ("window": of this program; "dialog": a message box;
    // "program": another program) and comes back to the data manager.
    void returnFrom(const QString &where)
    {
        if (where == u"program") { // as the platform reports the program losing the focus
            QApplication::setActiveWindow(nullptr);
            emit qGuiApp->focusWindowChanged(nullptr);
            QApplication::setActiveWindow(m_w.get());
            emit qGuiApp->focusWindowChanged(m_w->windowHandle());
            return;
        }
        QDialog dialog;
        QWidget window;
        QWidget &other = where == u"dialog" ? dialog : window;
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QApplication::setActiveWindow(m_w.get());
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
    }
    // bearing.sav holds exactly the list, in list order, and temp.sav is gone.
    void verifyFileEqualsList()
    {
        QList<BearingRecord> stored;
        StoreError error;
        QVERIFY(RecordFiles::readBearingRecords(RecordFiles::bearingPath(), stored, error));
        QStringList fromFile;
        for (const BearingRecord &r : std::as_const(stored))
            fromFile << EditerLine::fromRecord(r);
        QCOMPARE(fromFile, lines());
        QVERIFY(!QFile::exists(RecordFiles::tempPath()));
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }
    void init()
    {
        m_dir = std::make_unique<Fixture::AppDirectory>();
        m_prompter.clear();
    }
    void cleanup() { m_w.reset(); }

    void lineLayout()
    {
        BearingRecord r { QStringLiteral("SKF23048"), 0, 240, 360, 118, 0.26f, 2.6f, 3.9f, 1020 };
        QCOMPARE(EditerLine::fromRecord(r),
            QStringLiteral("SKF23048    240   360   118   0.26  2.6   3.9   1020     0"));
        // A 12-character model runs straight into the d column; the type comes back from the end.
        r.Model = QStringLiteral("NU2212ECJ/C3"), r.d = 60, r.Type = 3;
        const QString line = EditerLine::fromRecord(r);
        QCOMPARE(line.left(18), QStringLiteral("NU2212ECJ/C360    "));
        const BearingRecord back = EditerLine::toRecord(line);
        QCOMPARE(back.Model + u' ' + QString::number(back.Type) + u' ' + QString::number(back.d),
            QStringLiteral("NU2212ECJ/C3 3 60"));
        QCOMPARE(QList<float>({ back.e, back.Y2, back.Cr }), QList<float>({ 0.26f, 3.9f, 1020 }));
        // Five Chinese characters take 10 of the 12 GBK bytes: two letters more fit. Shown, the
        // model takes 12 cells.
        QCOMPARE(EditerLine::fitModel(QStringLiteral("深沟球轴承ABCD")),
            QStringLiteral("深沟球轴承AB     "));
        QCOMPARE(EditerLine::fitModel(QStringLiteral("深沟球轴承轴承")),
            QStringLiteral("深沟球轴承轴      "));
        r.Model = QStringLiteral("深沟球轴承A");
        const QString chinese = EditerLine::fromRecord(r);
        QCOMPARE(
            EditerLine::displayText(chinese), QStringLiteral("深沟球轴承A ") + chinese.mid(12));
    }

    // clang-format off
    void singleColumn_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("column");
        QTest::newRow("0.2345678 cut to 0.2345") << 0.2345678f << QStringLiteral("0.2345");
        QTest::newRow("short value padded") << 0.5f << QStringLiteral("0.5   ");
        QTest::newRow("six whole digits lose the decimals") << 123456.7f << QStringLiteral("123456");
        QTest::newRow("0.0001234 keeps one digit") << 0.0001234f << QStringLiteral("0.0001");
        QTest::newRow("0.00001234 would cut to 0") << 1.234e-5f << QStringLiteral("1.2E-5");
        QTest::newRow("seven whole digits") << 1234567.0f << QStringLiteral("1.2E+6");
        QTest::newRow("negative six whole digits") << -123456.7f << QStringLiteral("-1E+5 ");
    }
    // clang-format on
    void singleColumn()
    {
        QFETCH(float, value);
        QFETCH(QString, column);
        QCOMPARE(EditerLine::singleColumn(value), column);
    }

    // clang-format off
    void entry_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("d");
        QTest::addColumn<QString>("cr");
        QTest::addColumn<QString>("result"); // the d column, or the box refused: field/index
        const QString m = QStringLiteral("6204"), ok = QStringLiteral("1");
        QTest::newRow("35.5 halves to even 36") << m << 0 << QStringLiteral("35.5") << ok << QStringLiteral("36");
        QTest::newRow("-32768 fits") << m << 0 << QStringLiteral("-32768") << ok << QStringLiteral("-32768");
        QTest::newRow("blank model refused") << QStringLiteral("   ") << 0 << ok << ok << QStringLiteral("model/0");
        QTest::newRow("no type chosen") << m << -1 << ok << ok << QStringLiteral("type/0");
        QTest::newRow("type beyond the list") << m << 5 << ok << ok << QStringLiteral("type/0");
        QTest::newRow("d 32767.5 beyond 16 bits") << m << 0 << QStringLiteral("32767.5") << ok << QStringLiteral("dimension/0");
        QTest::newRow("Cr beyond a float") << m << 0 << ok << QStringLiteral("1e39") << QStringLiteral("factor/3");
    }
    // clang-format on
    void entry()
    {
        QFETCH(QString, model);
        QFETCH(int, type);
        QFETCH(QString, d);
        QFETCH(QString, cr);
        QFETCH(QString, result);
        EditerLine::Entry entry { model, { d, QStringLiteral("47"), QString() },
            { QString(), QString(), QString(), cr }, type };
        QString line = QStringLiteral("untouched");
        EditerLine::Refusal refusal;
        const bool accepted = EditerLine::fromEntry(entry, line, refusal);
        const char *fields[] = { "none", "model", "type", "dimension", "factor" };
        QCOMPARE(accepted ? EditerLine::columnText(line, EditerLine::ColD)
                          : QString::fromLatin1(fields[int(refusal.field)]) + u'/'
                    + QString::number(refusal.index),
            result);
        if (!accepted)
            QCOMPARE(line, QStringLiteral("untouched"));
    }

    // clang-format off
    void sortOrder_data()
    {
        QTest::addColumn<QList<BearingRecord>>("input");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("prefix 222 < 223 < 231, then d")
            << QList { bearing("23120", 0, 100), bearing("22320", 0, 100), bearing("22312", 0, 60), bearing("22210", 0, 50) }
            << strings({ "22210", "22312", "22320", "23120" });
        QTest::newRow("type decides before d")
            << QList { bearing("32210", 1, 50), bearing("32220", 0, 100), bearing("32208", 1, 40) }
            << strings({ "32220", "32208", "32210" });
        QTest::newRow("equal keys keep their order")
            << QList { bearing("222C", 0, 50), bearing("2229", 0, 40), bearing("222A", 0, 50), bearing("222B", 0, 50) }
            << strings({ "2229", "222C", "222A", "222B" });
        QTest::newRow("nu2 and NU2 form one group")
            << QList { bearing("NU2212", 3, 60), bearing("nu2210", 3, 50), bearing("NU2208", 3, 40) }
            << strings({ "NU2208", "nu2210", "NU2212" });
        QTest::newRow("blank before digit before letter")
            << QList { bearing("NJ2", 3, 1), bearing("N20", 3, 1), bearing("N2", 3, 1), bearing("6204", 0, 20) }
            << strings({ "6204", "N2", "N20", "NJ2" });
    }
    // clang-format on
    void sortOrder()
    {
        QFETCH(QList<BearingRecord>, input);
        QFETCH(QStringList, expected);
        // The same order whatever the locale (a C locale is a common default on Linux).
        for (const char *locale : { "C", "en_US", "zh_CN", "de_DE" }) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            QStringList lines;
            for (const BearingRecord &b : input)
                lines << EditerLine::fromRecord(b);
            BearingCatalogue::sortLines(lines);
            QStringList sorted;
            for (const QString &line : std::as_const(lines))
                sorted << EditerLine::modelOf(line).trimmed();
            QLocale::setDefault(QLocale(QLocale::German));
            QVERIFY2(sorted == expected, locale);
        }
    }

    void editSortsIntoPlace()
    {
        writeCatalogue({ bearing("22210", 0, 50, 90, 23), bearing("22312", 0, 60, 130, 46),
            bearing("23120", 0, 100, 165, 52) });
        QVERIFY(Module1::AppendBearingRecord(QStringLiteral("22220"), 0, 0.24f, 2.8f, 4.2f, 250));
        open();
        QCOMPARE(lines().last(),
            QStringLiteral("22220       0     0     0     0.24  2.8   4.2   250      0"));
        choose(3);
        click("cmdEdit");
        get("txtParameter_0")->setText(QStringLiteral("100"));
        click("cmdUpdate");
        QCOMPARE(models(), strings({ "22210", "22220", "22312", "23120" }));
        verifyFileEqualsList();
        QCOMPARE(
            get<QListView>("lstBearing")->currentIndex().row(), 1); // the edited line stays chosen
        QCOMPARE(get("txtBearing_0")->text(), QStringLiteral("22220"));
        QVERIFY(!get("txtParameter_0")->isEnabled());
        QVERIFY(m_prompter.shown.isEmpty());
    }

    void addStoresValuesAsShown()
    {
        open();
        click("cmdAdd");
        QCOMPARE(m_w->focusWidget(), get("txtBearing_0"));
        QTest::keyClicks(get("txtBearing_0"), QStringLiteral("nu2212e"));
        get("txtBearing_1")->setFocus();
        QCOMPARE(get("txtBearing_0")->text(), QStringLiteral("NU2212E")); // upper-cased on leaving
        get<QComboBox>("cboBearing")->setCurrentIndex(3);
        const char *texts[][2] = { { "txtBearing_1", "0.2345678" }, { "txtBearing_2", "1.5" },
            { "txtBearing_3", "0.8" }, { "txtBearing_4", "1234.567" }, { "txtParameter_0", "35.5" },
            { "txtParameter_1", "62abc" }, { "txtParameter_2", "34.5" } };
        for (const auto &t : texts)
            get(t[0])->setText(QString::fromLatin1(t[1]));
        click("cmdUpdate");
        QCOMPARE(
            lines(), strings({ "NU2212E     36    62    34    0.23451.5   0.8   1234.5   3" }));
        verifyFileEqualsList(); // a single line is stored too
        QCOMPARE(
            get("txtBearing_1")->text(), QStringLiteral("0.2345")); // the box shows what is stored
        QVERIFY(!get("txtBearing_0")->isEnabled());
    }

    // clang-format off
    void refusals_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("focus"); // the box that gets the focus back, its text selected
        QTest::addColumn<QString>("message"); // empty: refused silently
        const auto row = [](const char *name, const char *action, const char *model, const char *focus,
                            const char *message = "") {
            QTest::newRow(name) << QString::fromLatin1(action) << QString::fromUtf8(model) << QString::fromLatin1(focus)
                                << QString::fromUtf8(message);
        };
        row("adding with a blank model", "add", "   ", "txtBearing_0");
        row("adding a listed model", "add", "6205", "txtBearing_0");
        row("editing to another listed model", "edit", "6205", "txtBearing_0");
        row("type text naming no item", "type", "6206", "cboBearing");
        row("d beyond 16 bits", "d", "6206", "txtParameter_0");
        // Stored as "E?", it would make "E😁" a duplicate.
        row("a model GBK lacks", "add", "E😀", "txtBearing_0", "型号中的字符 😀 不能保存（GBK 编码中没有）");
    }
    // clang-format on
    void refusals()
    {
        QFETCH(QString, action);
        QFETCH(QString, model);
        QFETCH(QString, focus);
        QFETCH(QString, message);
        writeCatalogue({ bearing("6204", 0, 20), bearing("6205", 0, 25) });
        const QByteArray before = Fixture::readFile(RecordFiles::bearingPath());
        open();
        const QStringList linesBefore = lines();
        {
            if (action == u"edit")
                choose(0);
            click(action == u"edit" ? "cmdEdit" : "cmdAdd");
            get("txtBearing_0")->setText(model);
            if (action == u"type")
                get<QComboBox>("cboBearing")->setEditText(QStringLiteral("滚子"));
            if (action == u"d")
                get("txtParameter_0")->setText(QStringLiteral("40000"));
            click("cmdUpdate");
            QVERIFY(get("txtBearing_0")->isEnabled()); // still adding or editing
        }
        QWidget *focused = m_w->focusWidget();
        if (auto *combo = qobject_cast<QComboBox *>(focused->parentWidget()))
            focused = combo; // an editable combo box keeps the focus in its own line edit
        QCOMPARE(focused->objectName(), focus);
        auto *edit = qobject_cast<QComboBox *>(focused)
            ? qobject_cast<QComboBox *>(focused)->lineEdit()
            : qobject_cast<QLineEdit *>(focused);
        if (edit && !edit->text().trimmed().isEmpty())
            QCOMPARE(edit->selectedText(), edit->text());
        QCOMPARE(lines(), linesBefore);
        QCOMPARE(Fixture::readFile(RecordFiles::bearingPath()), before);
        QCOMPARE(m_prompter.texts(), message.isEmpty() ? QStringList() : QStringList { message });
    }

    // Values the six-character columns cannot hold show as what they are, and a line the user did
    // not edit is stored with its record's own bytes.
    void unshownValuesStoredAsTheyWere()
    {
        const float inf = std::numeric_limits<float>::infinity();
        const BearingRecord odd { QStringLiteral("6204"), 0, 20, 47, 14,
            std::numeric_limits<float>::quiet_NaN(), -inf, 1.23456789f, inf };
        writeCatalogue({ odd, bearing("6205", 0, 25) });
        const QByteArray before = Fixture::readFile(RecordFiles::bearingPath());
        open();
        QCOMPARE(lines().first().mid(30), QStringLiteral("NaN   -Inf  1.2345Inf      0"));
        click("cmdUpdate");
        QVERIFY(m_prompter.shown.isEmpty());
        QCOMPARE(Fixture::readFile(RecordFiles::bearingPath()), before);
    }

    // clang-format off
    void returnKeepsChosenLine_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("removed");  // bearing.sav rewritten meanwhile without the chosen line
        QTest::addColumn<QString>("shown"); // the list's models, then the chosen line's model and type
        QTest::newRow("another program: not reloaded") << "program" << false << "6204 NU206 / NU206 3";
        QTest::newRow("a message box: not reloaded") << "dialog" << false << "6204 NU206 / NU206 3";
        QTest::newRow("a window of the program: reloaded, line kept")
            << "window" << false << "6204 NU206 7206 / NU206 3";
        QTest::newRow("a window of the program, line gone") << "window" << true << "6204 7206 / - 0";
    }
    // clang-format on
    void returnKeepsChosenLine()
    {
        QFETCH(QString, from);
        QFETCH(bool, removed);
        QFETCH(QString, shown);
        writeCatalogue({ bearing("6204", 0, 20), bearing("NU206", 3, 30, 62) });
        open();
        choose(1);
        // Meanwhile another window saves a new bearing.
        if (removed)
            writeCatalogue({ bearing("6204", 0, 20) });
        QVERIFY(Module1::AppendBearingRecord(QStringLiteral("7206"), 4, 0.68f, 0.87f, 0.92f, 30));
        returnFrom(from);
        const QModelIndexList chosen
            = get<QListView>("lstBearing")->selectionModel()->selectedIndexes();
        const QString model
            = chosen.isEmpty() ? QStringLiteral("-") : models().at(chosen.first().row());
        QCOMPARE(models().join(u' ') + QStringLiteral(" / ") + model + u' '
                + QString::number(get<QComboBox>("cboBearing")->currentIndex()),
            shown);
        // 编辑 opens the chosen line for editing, and only when there is one.
        QCOMPARE(get<QPushButton>("cmdEdit")->isEnabled(), !removed);
        click("cmdEdit");
        QCOMPARE(get("txtBearing_0")->isEnabled(), !removed);
        QCOMPARE(get("txtBearing_0")->text(), removed ? QString() : QStringLiteral("NU206"));
        QCOMPARE(get("txtParameter_1")->text(), removed ? QString() : QStringLiteral("62"));
    }

    void activationReloadsAndKeepsEdit()
    {
        writeCatalogue(
            { bearing("6204", 0, 20), bearing("NU206", 3, 30), bearing("22210", 0, 50) });
        open();
        click("cmdUpdate"); // browsing: sorts and stores
        QCOMPARE(models(), strings({ "22210", "6204", "NU206" }));
        verifyFileEqualsList();
        choose(2);
        click("cmdEdit");
        get("txtParameter_1")->setText(QStringLiteral("62"));
        // Meanwhile the main window saves a new bearing.
        QVERIFY(Module1::AppendBearingRecord(QStringLiteral("7206"), 4, 0.68f, 0.87f, 0.92f, 30));
        returnFrom(QStringLiteral("window"));
        QCOMPARE(models(), strings({ "22210", "6204", "NU206", "7206" }));
        QCOMPARE(get<QComboBox>("cboBearing")->currentIndex(), 3); // the edit survives
        click("cmdUpdate");
        QCOMPARE(models(), strings({ "22210", "6204", "7206", "NU206" }));
        QCOMPARE(
            EditerLine::columnText(lines().at(3), EditerLine::ColOuterD), QStringLiteral("62"));
        verifyFileEqualsList();
    }
};

QTEST_MAIN(TestBearings)
#include "tst_bearings.moc"
