// The bearing data manager window: adding and editing bearings, its silent refusals, the rewrite
// of bearing.sav after every update, and the reload on activation.

#include "records/recordfile.h"
#include "support/scriptedprompter.h"
#include "ui/bearings/editerline.h"
#include "ui/bearings/frmediter.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

BearingRecord bearing(const char *model, int type, int d, int D = 0, int B = 0)
{
    BearingRecord r;
    r.Model = QString::fromUtf8(model);
    r.Type = static_cast<std::uint8_t>(type);
    r.d = static_cast<std::int16_t>(d);
    r.D = static_cast<std::int16_t>(D);
    r.B = static_cast<std::int16_t>(B);
    r.e = 0.3f;
    r.Cr = 20;
    return r;
}

void writeCatalogue(const QList<BearingRecord> &records)
{
    StoreError error;
    QVERIFY2(RecordFiles::rewriteBearingFile(RecordFiles::bearingPath(), records, error),
        qPrintable(error.text()));
}

QByteArray catalogueBytes()
{
    QFile f(RecordFiles::bearingPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

template <typename T> T *child(QWidget &w, const char *name)
{
    T *found = w.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QLineEdit *box(QWidget &w, const char *name)
{
    return child<QLineEdit>(w, name);
}

void click(QWidget &w, const char *button)
{
    QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
}

QListView *list(QWidget &w)
{
    return child<QListView>(w, "lstBearing");
}

QStringList lines(QWidget &w)
{
    QStringList out;
    const QAbstractItemModel *model = list(w)->model();
    for (int i = 0; i < model->rowCount(); ++i)
        out.append(model->index(i, 0).data(Qt::EditRole).toString());
    return out;
}

QStringList models(QWidget &w)
{
    QStringList out;
    for (const QString &line : lines(w))
        out.append(EditerLine::modelOf(line).trimmed());
    return out;
}

void choose(QWidget &w, int row)
{
    list(w)->setCurrentIndex(list(w)->model()->index(row, 0));
}

void activate(QWidget &w)
{
    QEvent event(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&w, &event);
}

// bearing.sav holds exactly the list, in list order, and temp.sav is gone.
void verifyFileEqualsList(QWidget &w)
{
    QList<BearingRecord> stored;
    StoreError error;
    QVERIFY(RecordFiles::readBearingRecords(RecordFiles::bearingPath(), stored, error));
    const QStringList shown = lines(w);
    QCOMPARE(stored.size(), shown.size());
    for (qsizetype i = 0; i < stored.size(); ++i)
        QCOMPARE(EditerLine::fromRecord(stored.at(i)), shown.at(i));
    QVERIFY(!QFile::exists(RecordFiles::tempPath()));
}

} // namespace

class tst_frmEditer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void newBearingSortedIntoPlace();
    void addStoresValuesAsShown();
    void refusals_data();
    void refusals();
    void updateWhileBrowsingSorts();
    void rewriteFailureIsReported();
    void unreadableTailRefusesUpdate();
    void activationReloadsAndKeepsEdit();
    void dumpLinesOnEnter();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompter m_prompter;
};

void tst_frmEditer::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::German));
}

void tst_frmEditer::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    RecordFiles::setAppDirectory(m_dir->path());
    m_prompter.clear();
}

void tst_frmEditer::newBearingSortedIntoPlace()
{
    writeCatalogue({ bearing("22210", 0, 50, 90, 23), bearing("22312", 0, 60, 130, 46),
        bearing("23120", 0, 100, 165, 52) });
    QVERIFY(Module1::AppendBearingRecord(QStringLiteral("22220"), 0, 0.24f, 2.8f, 4.2f, 250));
    frmEditer w(m_prompter);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(lines(w).size(), 4);
    QCOMPARE(lines(w).last(),
        QStringLiteral("22220       0     0     0     0.24  2.8   4.2   250      0"));

    choose(w, 3);
    click(w, "cmdEdit");
    box(w, "txtParameter_0")->setText(QStringLiteral("100"));
    box(w, "txtParameter_1")->setText(QStringLiteral("180"));
    box(w, "txtParameter_2")->setText(QStringLiteral("46"));
    click(w, "cmdUpdate");

    // Prefix 222 holds 22210 (d 50) and 22220 (d 100), ahead of 223 and 231.
    QCOMPARE(models(w),
        QStringList({ QStringLiteral("22210"), QStringLiteral("22220"), QStringLiteral("22312"),
            QStringLiteral("23120") }));
    verifyFileEqualsList(w);
    QCOMPARE(list(w)->currentIndex().row(), 1);
    QCOMPARE(box(w, "txtBearing_0")->text(), QStringLiteral("22220"));
    QCOMPARE(box(w, "txtParameter_0")->text(), QStringLiteral("100"));
    QVERIFY(!box(w, "txtParameter_0")->isEnabled());
    QVERIFY(child<QPushButton>(w, "cmdEdit")->isEnabled());
    QVERIFY(m_prompter.shown.isEmpty());
}

void tst_frmEditer::addStoresValuesAsShown()
{
    frmEditer w(m_prompter);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QVERIFY(lines(w).isEmpty());

    click(w, "cmdAdd");
    QCOMPARE(w.focusWidget(), box(w, "txtBearing_0"));
    QTest::keyClicks(box(w, "txtBearing_0"), QStringLiteral("nu2212e"));
    box(w, "txtBearing_1")->setFocus();
    QCOMPARE(box(w, "txtBearing_0")->text(), QStringLiteral("NU2212E")); // upper-cased on leaving
    child<QComboBox>(w, "cboBearing")->setCurrentIndex(3);
    box(w, "txtBearing_1")->setText(QStringLiteral("0.2345678"));
    box(w, "txtBearing_2")->setText(QStringLiteral("1.5"));
    box(w, "txtBearing_3")->setText(QStringLiteral("0.8"));
    box(w, "txtBearing_4")->setText(QStringLiteral("1234.567"));
    box(w, "txtParameter_0")->setText(QStringLiteral("35.5"));
    box(w, "txtParameter_1")->setText(QStringLiteral("62abc"));
    box(w, "txtParameter_2")->setText(QStringLiteral("34.5"));
    click(w, "cmdUpdate");

    // A single line is stored too.
    QCOMPARE(lines(w),
        QStringList {
            QStringLiteral("NU2212E     36    62    34    0.23451.5   0.8   1234.5   3") });
    verifyFileEqualsList(w);
    QList<BearingRecord> stored;
    StoreError error;
    QVERIFY(RecordFiles::readBearingRecords(RecordFiles::bearingPath(), stored, error));
    QCOMPARE(stored.at(0).e, 0.2345f);
    QCOMPARE(stored.at(0).Cr, 1234.5f);
    QCOMPARE(stored.at(0).Type, std::uint8_t(3));
    QCOMPARE(box(w, "txtBearing_1")->text(), QStringLiteral("0.2345"));
    QVERIFY(!box(w, "txtBearing_0")->isEnabled());
}

void tst_frmEditer::refusals_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("selected");
    const auto row = [](const char *name, const char *action, const char *model, const char *focus,
                         bool selected) {
        QTest::newRow(name) << QString::fromUtf8(action) << QString::fromUtf8(model)
                            << QString::fromUtf8(focus) << selected;
    };
    row("adding with an empty model", "add", "", "txtBearing_0", false);
    row("adding with a blank model", "add", "   ", "txtBearing_0", false);
    row("adding a listed model", "add", "6205", "txtBearing_0", true);
    row("editing to another listed model", "edit", "6205", "txtBearing_0", true);
    row("type text naming no item", "type", "6206", "cboBearing", true);
    row("d beyond 16 bits", "d", "6206", "txtParameter_0", true);
    row("edit with no chosen line after activation", "edit after reload", "", "lstBearing", false);
}

void tst_frmEditer::refusals()
{
    QFETCH(QString, action);
    QFETCH(QString, model);
    QFETCH(QString, focus);
    QFETCH(bool, selected);
    writeCatalogue({ bearing("6204", 0, 20), bearing("6205", 0, 25) });
    const QByteArray before = catalogueBytes();
    frmEditer w(m_prompter);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const QStringList linesBefore = lines(w);

    if (action == u"edit after reload") {
        choose(w, 0);
        activate(w); // reloads: no line chosen, 编辑 still enabled
        click(w, "cmdEdit");
        QVERIFY(!box(w, "txtBearing_0")->isEnabled());
    } else {
        if (action == u"edit") {
            choose(w, 0);
            click(w, "cmdEdit");
        } else {
            click(w, "cmdAdd");
        }
        box(w, "txtBearing_0")->setText(model);
        if (action == u"type")
            child<QComboBox>(w, "cboBearing")->setEditText(QStringLiteral("滚子"));
        if (action == u"d")
            box(w, "txtParameter_0")->setText(QStringLiteral("40000"));
        click(w, "cmdUpdate");
        QVERIFY(box(w, "txtBearing_0")->isEnabled()); // still adding or editing
    }

    // An editable combo box keeps the focus in its own line edit.
    QWidget *focused = w.focusWidget();
    if (auto *combo = qobject_cast<QComboBox *>(focused->parentWidget()))
        focused = combo;
    QCOMPARE(focused->objectName(), focus);
    if (selected) {
        auto *edit = qobject_cast<QLineEdit *>(focused);
        if (auto *combo = qobject_cast<QComboBox *>(focused))
            edit = combo->lineEdit();
        QVERIFY(edit);
        QVERIFY(!edit->text().isEmpty());
        QCOMPARE(edit->selectedText(), edit->text());
    }
    QCOMPARE(lines(w), linesBefore);
    QCOMPARE(catalogueBytes(), before);
    QVERIFY(m_prompter.shown.isEmpty());
}

void tst_frmEditer::updateWhileBrowsingSorts()
{
    writeCatalogue({ bearing("23120", 0, 100), bearing("22210", 0, 50), bearing("22312", 0, 60) });
    frmEditer w(m_prompter);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    click(w, "cmdUpdate");
    QCOMPARE(models(w),
        QStringList({ QStringLiteral("22210"), QStringLiteral("22312"), QStringLiteral("23120") }));
    verifyFileEqualsList(w);
}

void tst_frmEditer::rewriteFailureIsReported()
{
    writeCatalogue({ bearing("6204", 0, 20) });
    const QByteArray before = catalogueBytes();
    QVERIFY(QDir().mkdir(RecordFiles::tempPath())); // temp.sav cannot be written
    frmEditer w(m_prompter);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    click(w, "cmdAdd");
    box(w, "txtBearing_0")->setText(QStringLiteral("6205"));
    box(w, "txtParameter_0")->setText(QStringLiteral("25"));
    click(w, "cmdUpdate");

    QCOMPARE(m_prompter.shown.size(), 1);
    QCOMPARE(m_prompter.shown.at(0).title, QStringLiteral("Tolvenar"));
    QVERIFY(m_prompter.shown.at(0).text.contains(QStringLiteral("temp.sav")));
    QCOMPARE(catalogueBytes(), before);
    QCOMPARE(models(w), QStringList { QStringLiteral("6204") });
    QVERIFY(box(w, "txtBearing_0")->isEnabled()); // the addition can be tried again

    QVERIFY(QDir().rmdir(RecordFiles::tempPath()));
    click(w, "cmdUpdate");
    QCOMPARE(models(w), QStringList({ QStringLiteral("6204"), QStringLiteral("6205") }));
    verifyFileEqualsList(w);
    QCOMPARE(m_prompter.shown.size(), 1);
}

void tst_frmEditer::unreadableTailRefusesUpdate()
{
    writeCatalogue({ bearing("23120", 0, 100), bearing("22210", 0, 50) });
    {
        QFile f(RecordFiles::bearingPath());
        QVERIFY(f.open(QIODevice::Append));
        f.write("half a record");
    }
    const QByteArray before = catalogueBytes();
    frmEditer w(m_prompter);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(lines(w).size(), 2);

    click(w, "cmdUpdate"); // sort only
    click(w, "cmdAdd");
    box(w, "txtBearing_0")->setText(QStringLiteral("6204"));
    click(w, "cmdUpdate");

    QCOMPARE(m_prompter.shown.size(), 2);
    for (const ScriptedPrompter::Shown &s : std::as_const(m_prompter.shown)) {
        QCOMPARE(s.title, QStringLiteral("Tolvenar"));
        QVERIFY(s.text.contains(QStringLiteral("bearing.sav")));
    }
    QCOMPARE(catalogueBytes(), before);
    QCOMPARE(lines(w).size(), 2);
}

void tst_frmEditer::activationReloadsAndKeepsEdit()
{
    writeCatalogue({ bearing("6204", 0, 20), bearing("NU206", 3, 30) });
    frmEditer w(m_prompter);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    choose(w, 1);
    click(w, "cmdEdit");
    box(w, "txtParameter_1")->setText(QStringLiteral("62"));

    // Meanwhile the main window saves a new bearing.
    QVERIFY(Module1::AppendBearingRecord(QStringLiteral("7206"), 4, 0.68f, 0.87f, 0.92f, 30));
    activate(w);
    QCOMPARE(models(w),
        QStringList({ QStringLiteral("6204"), QStringLiteral("NU206"), QStringLiteral("7206") }));
    QCOMPARE(child<QComboBox>(w, "cboBearing")->currentIndex(), 3); // the edited type survives
    QVERIFY(box(w, "txtBearing_0")->isEnabled());

    click(w, "cmdUpdate");
    QCOMPARE(models(w),
        QStringList({ QStringLiteral("6204"), QStringLiteral("7206"), QStringLiteral("NU206") }));
    QCOMPARE(EditerLine::columnText(lines(w).at(2), EditerLine::ColOuterD), QStringLiteral("62"));
    QCOMPARE(EditerLine::typeOf(lines(w).at(2)), 3);
    verifyFileEqualsList(w);
}

void tst_frmEditer::dumpLinesOnEnter()
{
    writeCatalogue({ bearing("6204", 0, 20), bearing("6205", 0, 25) });
    frmEditer w(m_prompter);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    click(w, "cmdAdd");
    QTest::keyClicks(box(w, "txtBearing_0"), QStringLiteral("DumpLines"));
    QTest::keyClick(box(w, "txtBearing_0"), Qt::Key_Return);

    QFile dump(QDir(m_dir->path()).filePath(QStringLiteral("TestData.txt")));
    QVERIFY(dump.open(QIODevice::ReadOnly));
    const QStringList shown = lines(w);
    QCOMPARE(dump.readAll(),
        (shown.at(0) + QStringLiteral("\r\n") + shown.at(1) + QStringLiteral("\r\n")).toLatin1());
    QCOMPARE(box(w, "txtBearing_0")->text(), QStringLiteral("DumpLines")); // the addition goes on
    QVERIFY(box(w, "txtBearing_0")->isEnabled());
}

QTEST_MAIN(tst_frmEditer)
#include "tst_frmediter.moc"
