// The bearing data manager: catalogue lines, their 6-character columns and sort order; the window's
// additions, edits, refusals, rewrite of bearing.sav, list dump and reload on a return.

#include "catalogue/catalogue.h"
#include "catalogue/editerline.h"
#include "records/recordfile.h"
#include "support/workedexample.h"
#include "ui/bearings/frmediter.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <limits>

using Fixture::strings;
using namespace Qt::StringLiterals;

namespace {

BearingRecord bearing(const char *model, int type, int d, int D = 0, int B = 0)
{
    return { QString::fromUtf8(model), std::uint8_t(type), std::int16_t(d), std::int16_t(D),
        std::int16_t(B), 0.3f, 0, 0, 20 };
}

void writeCatalogue(const QList<BearingRecord> &records)
{
    QVERIFY(RecordFiles::rewriteBearingFile(RecordFiles::bearingPath(), records).ok());
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
        return m_w->findChild<T *>(QString::fromLatin1(name)); // null: the test crashes
    }
    QListView *list() { return get<QListView>("lstBearing"); }
    void click(const char *button) { QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton); }
    void choose(int row) { list()->setCurrentIndex(list()->model()->index(row, 0)); }
    void open()
    {
        m_w = std::make_unique<frmEditer>(m_prompter);
        m_w->show();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
    }
    QStringList lines(bool modelsOnly = false) // the lines, or their models
    {
        QStringList out;
        for (int i = 0; i < list()->model()->rowCount(); ++i) {
            const QString line = list()->model()->index(i, 0).data(Qt::EditRole).toString();
            out << (modelsOnly ? line.left(12).trimmed() : line);
        }
        return out;
    }
    // bearing.sav holds exactly the list, in list order, and temp.sav is gone.
    void verifyFileEqualsList()
    {
        const auto stored = RecordFiles::readBearingRecords(RecordFiles::bearingPath());
        QVERIFY(stored);
        QStringList fromFile;
        for (const BearingRecord &r : std::as_const(stored->records))
            fromFile << EditerLine::fromRecord(r);
        QCOMPARE(fromFile, lines());
        QVERIFY(!QFile::exists(RecordFiles::tempPath()));
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }
    void init() { m_dir = std::make_unique<Fixture::AppDirectory>(), m_prompter.clear(); }
    void cleanup() { m_w.reset(); }

    // clang-format off
    void columns_data()
    {
        QTest::addColumn<QString>("input"); // m: a model fitted, s: its line shown, o: model/type/d sorted, else a float
        QTest::addColumn<QString>("column");
        QTest::newRow("5 Chinese take 10 of 12 bytes") << "m深沟球轴承ABCD" << "深沟球轴承AB     ";
        QTest::newRow("a Chinese is never split") << "m深沟球轴承轴承" << "深沟球轴承轴      ";
        QTest::newRow("shown, Chinese take 2 cells") << "s深沟球轴承A" << "深沟球轴承A 20    0     0     0.3   0     0     20       0";
        QTest::newRow("0.2345678 cut to 0.2345") << "0.2345678" << "0.2345";
        QTest::newRow("short value padded") << "0.5" << "0.5   ";
        QTest::newRow("six whole digits lose the decimals") << "123456.7" << "123456";
        QTest::newRow("0.0001234 keeps one digit") << "0.0001234" << "0.0001";
        QTest::newRow("0.00001234 would cut to 0") << "1.234e-5" << "1.2E-5";
        QTest::newRow("seven whole digits") << "1234567" << "1.2E+6";
        QTest::newRow("negative six whole digits") << "-123456.7" << "-1E+5 ";
        QTest::newRow("prefix 222 < 223 < 231, then d") << "o23120/0/100 22320/0/100 22312/0/60 22210/0/50" << "22210 22312 22320 23120";
        QTest::newRow("prefix one apart decides before d") << "o22310/0/10 22290/0/90" << "22290 22310";
        QTest::newRow("type decides before d") << "o32210/1/50 32220/0/100 32208/1/40" << "32220 32208 32210";
        QTest::newRow("equal keys keep their order") << "o222C/0/50 2229/0/40 222A/0/50 222B/0/50" << "2229 222C 222A 222B";
        QTest::newRow("nu2 and NU2 form one group") << "oNU2212/3/60 nu2210/3/50 NU2208/3/40" << "NU2208 nu2210 NU2212";
        QTest::newRow("blank before digit before letter") << "oNJ2/3/1 N20/3/1 N2/3/1 6204/0/20" << "6204 N2 N20 NJ2";
    }
    // clang-format on
    void columns()
    {
        QFETCH(QString, input);
        QFETCH(QString, column);
        const QString text = input.mid(1);
        if (input.startsWith(u'm'))
            QCOMPARE(EditerLine::fitModel(text), column);
        else if (input.startsWith(u's'))
            QCOMPARE(
                EditerLine::displayText(EditerLine::fromRecord(bearing(qPrintable(text), 0, 20))),
                column);
        else if (!input.startsWith(u'o'))
            QCOMPARE(EditerLine::singleColumn(input.toFloat()), column);
        // The same order whatever the locale (a C locale is a common default on Linux).
        for (const char *locale : { "C", "en_US", "zh_CN", "de_DE" }) {
            if (!input.startsWith(u'o'))
                break;
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            QStringList lines;
            for (const QString &b : text.split(u' '))
                lines << EditerLine::fromRecord(bearing(qPrintable(b.section(u'/', 0, 0)),
                    b.section(u'/', 1, 1).toInt(), b.section(u'/', 2).toInt()));
            BearingCatalogue::sortLines(lines);
            for (QString &line : lines)
                line = line.left(12).trimmed();
            QLocale::setDefault(QLocale(QLocale::German));
            QVERIFY2(lines.join(u' ') == column, locale);
        }
    }

    void editSortsIntoPlace()
    {
        writeCatalogue({ bearing("22312", 0, 60, 130, 46), bearing("22210", 0, 50, 90, 23),
            bearing("23120", 0, 100, 165, 52) });
        // The main window stores a new bearing with d = D = B = 0: listed last until sorted.
        QVERIFY(Module1::AppendBearingRecord(u"22220"_s, 0, 0.24f, 2.8f, 4.2f, 250));
        open();
        QCOMPARE(get<QLabel>("lblItem")->text(),
            QStringLiteral("型号        d     D     B     e     Y1    Y2    Cr(kN)  类型"));
        QCOMPARE(lines().last(),
            QStringLiteral("22220       0     0     0     0.24  2.8   4.2   250      0"));
        click("cmdUpdate"); // browsing: only sorts and stores
        QCOMPARE(lines(true), strings({ "22220", "22210", "22312", "23120" }));
        verifyFileEqualsList();

        // Enter on "DumpLines" (case counts) in the model box writes the list to TestData.txt.
        choose(0);
        click("cmdAdd");
        auto *model = get("txtBearing_0");
        const QString dump = m_dir->filePath(QStringLiteral("TestData.txt"));
        for (const QString &text : { u"dumplines"_s, u"DumpLines"_s }) {
            QVERIFY(!QFile::exists(dump));
            model->setText(text);
            QTest::keyClick(model, Qt::Key_Return);
        }
        QCOMPARE(Fixture::readFile(dump),
            QByteArray("22220       0     0     0     0.24  2.8   4.2   250      0\r\n"
                       "22210       50    90    23    0.3   0     0     20       0\r\n"
                       "22312       60    130   46    0.3   0     0     20       0\r\n"
                       "23120       100   165   52    0.3   0     0     20       0\r\n"));
        QCOMPARE(model->text(), u"DumpLines"_s); // adding goes on
        // A click on the chosen line abandons an addition or an edit: it shows the line, locked.
        for (const char *start : { "", "cmdEdit" }) {
            if (*start)
                click(start);
            get("txtParameter_0")->setText(QStringLiteral("7"));
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                list()->visualRect(list()->model()->index(0, 0)).center());
            QCOMPARE(model->text() + u' ' + get("txtParameter_0")->text(), u"22220 0"_s);
            QVERIFY(!get("txtParameter_0")->isEnabled());
        }

        click("cmdEdit");
        get("txtParameter_0")->setText(QStringLiteral("100"));
        click("cmdUpdate");
        QCOMPARE(lines(true), strings({ "22210", "22220", "22312", "23120" }));
        verifyFileEqualsList();
        QCOMPARE(list()->currentIndex().row(), 1); // the edited line stays chosen
        QCOMPARE(model->text(), QStringLiteral("22220"));
        QVERIFY(!get("txtParameter_0")->isEnabled());
        QVERIFY(m_prompter.shown.isEmpty());
    }

    void addStoresValuesAsShown()
    {
        open();
        for (const auto &[box, rgb] : { std::pair { "txtBearing_0", qRgb(192, 255, 255) },
                 { "txtBearing_4", qRgb(192, 255, 192) }, { "txtParameter_2", qRgb(192, 255, 192) },
                 { "lstBearing", qRgb(192, 192, 192) } })
            QCOMPARE(get<QWidget>(box)->palette().color(QPalette::Base).rgb(), rgb);
        click("cmdAdd");
        // Tab goes down the open boxes to 更新 and the list, each named for screen readers by its
        // label. The model is upper-cased on leaving its box; d 35.5 and B 34.5 halve to even, D
        // takes the leading number (-32768 just fits); the 12-character model meets the d column.
        const QStringList typed = strings({ "nu2212ecj/c3", "", "0.2345678", "1.5", "0.8",
            "1234.567", "35.5", "-32768abc", "34.5", "", "" });
        QStringList order;
        for (const QString &text : typed) {
            QWidget *box = m_w->focusWidget();
            if (qobject_cast<QComboBox *>(box->parentWidget()))
                box = box->parentWidget();
            order << box->objectName() + u'=' + box->accessibleName();
            QTest::keyClicks(m_w->focusWidget(), text);
            QTest::keyClick(m_w->focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order.join(u' '),
            QStringLiteral("txtBearing_0=型号 cboBearing=类型 txtBearing_1=e txtBearing_2=Y1 "
                           "txtBearing_3=Y2 txtBearing_4=Cr txtParameter_0=d txtParameter_1=D "
                           "txtParameter_2=B cmdUpdate= lstBearing=轴承数据"));
        QCOMPARE(get("txtBearing_0")->text(), u"NU2212ECJ/C3"_s);
        get<QComboBox>("cboBearing")->setCurrentIndex(3);
        click("cmdUpdate");
        QCOMPARE(lines(),
            QStringList { u"NU2212ECJ/C336    -3276834    0.23451.5   0.8   1234.5   3"_s });
        verifyFileEqualsList(); // a single line is stored too, the type read from the line's end
        QCOMPARE(get("txtBearing_1")->text(), u"0.2345"_s); // the box shows what is stored
        QVERIFY(!get("txtBearing_0")->isEnabled());
    }

    // clang-format off
    void refusals_data()
    {
        QTest::addColumn<QString>("typed"); // the button, then box=text typed after 增加 or 编辑
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("message"); // empty: refused silently
        // Browsing, 更新 only sorts and stores: an unedited line keeps its record's bytes (NaN).
        QTest::newRow("browsing: bytes kept") << "cmdUpdate" << "cmdUpdate" << "";
        QTest::newRow("adding with a blank model") << "cmdAdd|txtBearing_0=   " << "txtBearing_0" << "";
        QTest::newRow("adding a listed model") << "cmdAdd|txtBearing_0=6205" << "txtBearing_0" << "";
        QTest::newRow("editing 6205 to the other line's model") << "cmdEdit|txtBearing_0=6204" << "txtBearing_0" << "";
        QTest::newRow("type text naming no item") << "cmdAdd|txtBearing_0=6206|cboBearing=滚子" << "cboBearing" << "";
        QTest::newRow("d 32767.5 beyond 16 bits") << "cmdAdd|txtBearing_0=6206|txtParameter_0=32767.5" << "txtParameter_0" << "";
        QTest::newRow("Cr beyond a float") << "cmdAdd|txtBearing_0=6206|txtBearing_4=1e39" << "txtBearing_4" << "";
        // Stored as "E?", it would make "E😁" a duplicate.
        QTest::newRow("a model GBK lacks") << "cmdAdd|txtBearing_0=E😀" << "txtBearing_0" << "型号中的字符 😀 不能保存（GBK 编码中没有）";
    }
    // clang-format on
    void refusals()
    {
        QFETCH(QString, typed);
        QFETCH(QString, focus);
        QFETCH(QString, message);
        const float inf = std::numeric_limits<float>::infinity(); // shown as what they are
        writeCatalogue({ { u"6204"_s, 0, 20, 47, 14, std::numeric_limits<float>::quiet_NaN(), -inf,
                             1.23456789f, inf },
            bearing("6205", 0, 25) });
        const QByteArray before = Fixture::readFile(RecordFiles::bearingPath());
        open();
        const QStringList linesBefore = lines();
        QCOMPARE(linesBefore.first().mid(30), u"NaN   -Inf  1.2345Inf      0"_s);
        choose(1);
        const QStringList steps = typed.split(u'|');
        const bool browsing = steps[0] == u"cmdUpdate";
        if (!browsing)
            click(steps[0].toLatin1());
        for (const QString &step : steps.mid(1)) {
            const QString box = step.section(u'=', 0, 0), value = step.section(u'=', 1);
            if (box == u"cboBearing")
                get<QComboBox>("cboBearing")->setEditText(value);
            else
                get(box.toLatin1())->setText(value);
        }
        click("cmdUpdate");
        QCOMPARE(get("txtBearing_0")->isEnabled(), !browsing); // still adding or editing
        // The box that failed gets the focus, its text selected to be typed over.
        QWidget *box = m_w->focusWidget();
        QCOMPARE(box->objectName(), focus);
        auto *combo = qobject_cast<QComboBox *>(box);
        QLineEdit *edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit *>(box);
        if (edit && !edit->text().trimmed().isEmpty())
            QCOMPARE(edit->selectedText(), edit->text());
        QCOMPARE(lines(), linesBefore);
        QCOMPARE(Fixture::readFile(RecordFiles::bearingPath()), before);
        QCOMPARE(m_prompter.texts(), message.isEmpty() ? QStringList() : QStringList { message });
    }

    // A catalogue not read whole asks, naming every problem (a torn tail, a model not GBK).
    void partlyReadIsAsked()
    {
        QVERIFY(Fixture::writeFile(RecordFiles::bearingPath(),
            Fixture::bearingSlot("6204") + Fixture::bearingSlot("\x81 BAD") + "torn tail!"));
        open();
        click("cmdUpdate");
        const QString path = QDir::toNativeSeparators(RecordFiles::bearingPath());
        QCOMPARE(m_prompter.texts(),
            QStringList { path
                + u":\nbearing.sav 末尾有 10 个字节不是完整记录\n第 2 个记录的型号不是有效的 GBK 编码\n继续更新将只保存列表中的轴承，原文件先逐字节复制为 "_s
                + QDir::toNativeSeparators(m_dir->filePath(u"bearing.bak"_s))
                + u"。是否继续？"_s });
    }

    // clang-format off
    void returnToWindow_data()
    {
        QTest::addColumn<QString>("way"); // focus from: program|dialog|window, before: NU206 chosen (gone: then out of bearing.sav; editing: and gone), none, adding
        QTest::addColumn<QString>("shown"); // models / chosen line and type / model box / 编辑 enabled
        QTest::newRow("another program: not reloaded") << "program chosen" << "6204 NU206 / NU206 3 / NU206 locked edit";
        QTest::newRow("a message box: not reloaded") << "dialog chosen" << "6204 NU206 / NU206 3 / NU206 locked edit";
        QTest::newRow("a window of the program: reloaded, line kept") << "window chosen" << "6204 NU206 7206 / NU206 3 / NU206 locked edit";
        QTest::newRow("a window of the program, line gone") << "window gone" << "6204 7206 / - 0 /  locked ";
        QTest::newRow("nothing chosen: first type") << "window none" << "6204 NU206 7206 / - 0 /  locked ";
        QTest::newRow("an addition keeps its input") << "window adding" << "6204 NU206 7206 / NU206 3 / X1 open ";
        QTest::newRow("an edit whose line is gone") << "window editing" << "6204 7206 / - 3 / NU206 open edit";
    }
    // clang-format on
    void returnToWindow()
    {
        QFETCH(QString, way);
        QFETCH(QString, shown);
        const QString from = way.section(u' ', 0, 0), before = way.section(u' ', 1);
        writeCatalogue({ bearing("6204", 0, 20), bearing("NU206", 3, 30, 62) });
        open();
        auto *type = get<QComboBox>("cboBearing");
        if (before == u"none")
            type->setCurrentIndex(2);
        else
            choose(1);
        if (before == u"adding" || before == u"editing")
            click(before == u"adding" ? "cmdAdd" : "cmdEdit");
        if (before == u"adding")
            get("txtBearing_0")->setText(u"X1"_s);
        // Meanwhile another window saves a new bearing.
        if (before == u"gone" || before == u"editing")
            writeCatalogue({ bearing("6204", 0, 20) });
        QVERIFY(Module1::AppendBearingRecord(u"7206"_s, 4, 0.68f, 0.87f, 0.92f, 30));
        QDialog dialog;
        QWidget window;
        if (from == u"program") { // as the platform reports the program losing the focus
            QApplication::setActiveWindow(nullptr);
            emit qGuiApp->focusWindowChanged(nullptr);
            QApplication::setActiveWindow(m_w.get());
            emit qGuiApp->focusWindowChanged(m_w->windowHandle());
        } else {
            (from == u"dialog" ? dialog : window).show();
            QVERIFY(QTest::qWaitForWindowActive(from == u"dialog" ? &dialog : &window));
            QApplication::setActiveWindow(m_w.get());
            QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        }
        const QModelIndexList chosen = list()->selectionModel()->selectedIndexes();
        const QString line = chosen.isEmpty() ? u"-"_s : lines(true).at(chosen.first().row());
        QCOMPARE(QStringList(
                     { lines(true).join(u' '), line + u' ' + QString::number(type->currentIndex()),
                         get("txtBearing_0")->text() + u' '
                             + (get("txtBearing_0")->isEnabled() ? u"open " : u"locked ")
                             + (get<QPushButton>("cmdEdit")->isEnabled() ? u"edit" : u"") })
                     .join(u" / "),
            shown);
        if (before != u"adding" && before != u"editing")
            return;
        // The addition goes into the reloaded list; the edit has no line left to replace.
        click("cmdUpdate");
        QCOMPARE(lines(true),
            before == u"adding" ? strings({ "6204", "7206", "NU206", "X1" })
                                : strings({ "6204", "7206" }));
        verifyFileEqualsList();
        QCOMPARE(m_w->focusWidget() == list(), before == u"editing");
    }
};

QTEST_MAIN(TestBearings)
#include "tst_bearings.moc"
