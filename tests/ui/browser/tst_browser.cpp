// The record browser: its views with their captions, headings and fixed-width lines (also of
// damaged records), the bore filter, and the right-click copy into the main window.

#include "records/recordfile.h"
#include "records/recordlines.h"
#include "support/workedexample.h"
#include "ui/browser/frmview.h"
#include "ui/browser/mainwindowlink.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QStringEncoder>
#include <QTest>

#include <cmath>

using Fixture::bearingSlot;
using Fixture::strings;
using namespace Qt::StringLiterals;

namespace {

// Stands in for the main window: notes each call, with "(hidden)" when the browser hid first.
struct FakeLink : MainWindowLink
{
    QWidget *browser = nullptr;
    QStringList calls;
    void recallShaftNumber(const QString &number) override { note(u"shaft: " + number); }
    void copyBearing(QChar side, const QString &model, const QString &e, const QString &y1,
        const QString &y2, const QString &cr, int type) override
    {
        note(QStringList { QString(side) + u": " + model, e, y1, y2, cr, QString::number(type) }
                 .join(u", "));
    }
    void note(const QString &call) { calls << call + (browser->isVisible() ? u"" : u" (hidden)"); }
};

ShaftRecord shaft(const char *number, float p1, float p2, const char *a = "30208")
{
    ShaftRecord r;
    r.ShaftNo = QString::fromUtf8(number);
    r.P1 = p1, r.P2 = p2, r.n = 960, r.L = 250;
    r.ModelA = QString::fromUtf8(a), r.ModelB = QStringLiteral("NU210");
    return r;
}

bool append(const QString &path, const QByteArray &bytes)
{
    return Fixture::writeFile(path, Fixture::readFile(path) + bytes);
}

// A bearing of D 80, B 18 and factors 1.
QByteArray slot(const QByteArray &model, int type, int d)
{
    return bearingSlot(model, type, 1, 1, 1, 1, d, 80, 18);
}

} // namespace

class TestBrowser : public QObject
{
    Q_OBJECT

    Fixture::AppDirectory m_dir;
    ScriptedPrompter m_prompter;
    FakeLink m_link;
    frmView *m_view = nullptr;

    template <typename T = QLabel> T *child(const char *name) const
    {
        return m_view->findChild<T *>(QString::fromLatin1(name)); // null: the test crashes
    }
    QStringList shown(const char *list, int width = 13) const
    {
        const QAbstractItemModel *model = child<QListView>(list)->model();
        QStringList out;
        for (int row = 0; row < model->rowCount(); ++row)
            out << model->index(row, 0).data().toString().left(width).trimmed();
        return out;
    }
    int widest(const char *list) const
    {
        return static_cast<RecordLineModel *>(child<QListView>(list)->model())->widestCells();
    }
    void click(const char *name)
    {
        QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
    }
    // Caption | key heading | column heading | visible list | the key box enabled.
    QString view() const
    {
        return QStringList { m_view->windowTitle(), child("lblItem_0")->text(),
            child("lblItem_1")->text(),
            child<QListView>("lstGear")->isVisible() ? u"lstGear"_s : u"lstBearing"_s,
            child<QLineEdit>("txtDia")->isEnabled() ? u"key"_s : QString() }
            .join(u'|');
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); } // no comma decimals
    void init()
    {
        ShaftRecord longest = shaft("ABCDEFGHIJKLMNO", 1234.567f, 7654.321f, "ABCDEFGHIJ12");
        longest.n = 123456.7f, longest.L = -120;
        QByteArray gears;
        for (const ShaftRecord &r : { shaft("WX-1", 5.5f, 5.5f), shaft("G4", 0.01f, 0),
                 shaft("G5", std::nextafter(0.01f, 1.0f), 0), longest,
                 shaft("轴系一", 3, 3, "轴承A") })
            gears += RecordLayout::encodeShaft(r);
        QVERIFY(Fixture::writeFile(RecordFiles::gearPath(), gears));
        QVERIFY(Fixture::writeFile(RecordFiles::bearingPath(),
            bearingSlot("30208", 1, 0.37f, 1.6f, 0.9f, 63, 40, 80, 18)
                + bearingSlot("ABCDEFGHIJ12", 3, 0, 1.6f, 0.9f, 1234.567f, -5, 35, 18)
                + bearingSlot("6208-X", 0, 0.24f, 2.8f, 4.2f, 29.5f, 40, 80, 18)
                + slot("7208B", 4, 42) + slot("BAD12", 12, 32767) + slot("\x81 BAD", 100, 7)
                + slot("A\x81\x7F", 2, 7) + slot(QByteArray("NUL").append(9, '\0'), 4, 7)
                + slot(QStringEncoder("GBK").encode(u"轴承"_s), 4, 7)));
        m_prompter.clear();
        m_link.calls.clear();
        m_view = new frmView(m_link, m_prompter);
        m_link.browser = m_view;
        m_view->showAndLoad();
        QVERIFY(QTest::qWaitForWindowActive(m_view));
    }
    void cleanup() { delete m_view; }

    void viewsAndHeadings()
    {
        const QString gears
            = u"记 录--轴系参数| 编 号|    功率(kW)    转速%1跨距    轴承A        轴承B|lstGear|"_s;
        QCOMPARE(view(), gears.arg(u"     "_s)); // five blanks at load
        // Shaft-system lines: number 16 | power 12 | speed 8 | span 8 | model A 13 | model B 13.
        // The power shows P1 alone when P1 - P2 is at most 0.01 (as floats: G4), else P1/P2.
        // clang-format off
        QCOMPARE(shown("lstGear", 99).join(u'|'), strings({
            "WX-1            5.5         960     250     30208        NU210",
            "G4              0.01        960     250     30208        NU210",
            "G5              0.01/0      960     250     30208        NU210",
            "ABCDEFGHIJKLMNO 1234.567/765123456.7-120    ABCDEFGHIJ12 NU210",
            "轴系一             3           960     250     轴承A          NU210" }).join(u'|'));
        // clang-format on
        // As wide as the widest line in cells: 70, one more per Chinese character (3 + 2).
        QCOMPARE(widest("lstGear"), 75);
        QStringList chain; // the tab order from cmdExit, which has the focus
        for (QWidget *w = m_view->focusWidget(); chain.size() < 7; w = w->nextInFocusChain()) {
            if (w->parentWidget() == m_view && !w->isWindow() && (w->focusPolicy() & Qt::TabFocus))
                chain << w->objectName();
        }
        QCOMPARE(chain.join(u' '),
            u"cmdExit lstGear lstBearing optParameter_1 optParameter_0 txtDia cmdSelect"_s);
        for (const char *grey : { "lstGear", "lstBearing", "txtDia" })
            QCOMPARE(child<QWidget>(grey)->palette().color(QPalette::Base), QColor(192, 192, 192));

        click("optParameter_0");
        QCOMPARE(view(),
            u"记 录--轴承参数| 型 号| d      D      B      e      Y1     Y2     Cr(kN)   类型|lstBearing|key"_s);
        // Bearing lines: model 13 | d, D, B, e, Y1, Y2, Cr 7 each | 4 blanks | the type whole.
        // Undecodable bytes show as one replacement character, NUL padding as blanks.
        // clang-format off
        QCOMPARE(shown("lstBearing", 99).join(u'|'), strings({
            "30208        40     80     18     0.37   1.6    0.9    63         1",
            "ABCDEFGHIJ12 -5     35     18     0      1.6    0.9    1234.56    3",
            "6208-X       40     80     18     0.24   2.8    4.2    29.5       0",
            "7208B        42     80     18     1      1      1      1          4",
            "BAD12        32767  80     18     1      1      1      1          12",
            "\uFFFD BAD        7      80     18     1      1      1      1          100",
            "A\uFFFD           7      80     18     1      1      1      1          2",
            "NUL          7      80     18     1      1      1      1          4",
            "轴承           7      80     18     1      1      1      1          4" }).join(u'|'));
        // clang-format on
        QCOMPARE(widest("lstBearing"), 70); // a three-digit type after a replacement character

        // A record saved meanwhile appears with the next switch, under the other heading.
        QVERIFY(append(RecordFiles::gearPath(), RecordLayout::encodeShaft(shaft("WX-103", 1, 1))));
        click("optParameter_1");
        QCOMPARE(view(), gears.arg(u"    "_s)); // four blanks on a switch
        QCOMPARE(shown("lstGear").size(), 6);
        // Exit hides the window as it is (not reread); the close box unloads it.
        click("optParameter_0");
        child<QLineEdit>("txtDia")->setText(u"40"_s);
        click("cmdSelect");
        QVERIFY(append(RecordFiles::bearingPath(), slot("NEW40", 0, 40)));
        click("cmdExit");
        QVERIFY(!m_view->isVisible());
        m_view->showAndLoad();
        QCOMPARE(shown("lstBearing"), strings({ "30208", "6208-X" }));
        m_view->close();
        m_view->showAndLoad();
        QCOMPARE(view(), gears.arg(u"     "_s));
        QVERIFY(child<QLineEdit>("txtDia")->text().isEmpty());
    }

    // clang-format off
    void filter_data()
    {
        QTest::addColumn<QString>("key"); // ending in \n: Enter pressed, else 筛 选 clicked
        QTest::addColumn<QString>("models");
        const QString all = u"30208 ABCDEFGHIJ12 6208-X 7208B BAD12 \uFFFD BAD A\uFFFD NUL 轴承"_s;
        QTest::newRow("40.5 halves to even 40") << "40.5" << "30208 6208-X";
        QTest::newRow("41.5 halves to even 42") << "41.5" << "7208B";
        QTest::newRow("0.5 rounds to 0: all") << "0.5" << all;
        QTest::newRow("no number: all") << "abc" << all;
        QTest::newRow("32767 still a bore") << "32767" << "BAD12";
        QTest::newRow("beyond 16 bits: not even d 32767") << "99999" << "";
        QTest::newRow("Enter filters, swallowed") << "42\n" << "7208B";
    }
    // clang-format on
    void filter()
    {
        QFETCH(QString, key);
        QFETCH(QString, models);
        click("optParameter_0");
        auto *txtDia = child<QLineEdit>("txtDia");
        txtDia->setText(u"77"_s); // a filter in force is replaced
        click("cmdSelect");
        txtDia->clear();
        const bool enter = key.endsWith(u'\n');
        key.chop(enter);
        QTest::keyClicks(txtDia, key);
        if (enter)
            QTest::keyClick(txtDia, Qt::Key_Enter, Qt::KeypadModifier);
        else
            click("cmdSelect");
        QCOMPARE(shown("lstBearing").join(u' '), models);
        // The focus goes back to the key box with its text selected, to be typed over.
        QVERIFY(txtDia->hasFocus());
        QCOMPARE(txtDia->selectedText(), key);
    }

    // clang-format off
    void rightClick_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("call");
        QTest::newRow("number, browser hidden first") << 1 << "mnuInputShaft" << "shaft: G4 (hidden)";
        QTest::newRow("tapered roller into A") << 0 << "mnuInputBearingA" << "A: 30208, 0.37, 1.6, 0.9, 63, 1";
        QTest::newRow("Cr 1234.567 copied as 1234.56 into B") << 1 << "mnuInputBearingB" << "B: ABCDEFGHIJ12, 0, 1.6, 0.9, 1234.56, 3";
        QTest::newRow("stored type 12 is not taken for 2") << 4 << "mnuInputBearingA" << "A: BAD12, 1, 1, 1, 1, 12";
    }
    // clang-format on
    void rightClick()
    {
        QFETCH(int, row);
        QFETCH(QString, action);
        QFETCH(QString, call);
        const bool gears = action == u"mnuInputShaft";
        click(gears ? "optParameter_1" : "optParameter_0");
        auto *list = child<QListView>(gears ? "lstGear" : "lstBearing");
        const auto clickRow = [list](int at, Qt::MouseButton button) {
            QTest::mouseClick(list->viewport(), button, {},
                list->visualRect(list->model()->index(at, 0)).center());
        };
        auto *menu = child<QMenu>("mnuInput");
        clickRow(row, Qt::RightButton); // nothing selected: no menu, no selection
        QVERIFY(!menu->isVisible() && !list->selectionModel()->hasSelection());
        clickRow(row, Qt::LeftButton);
        clickRow(row == 0 ? 1 : 0, Qt::RightButton); // on another line
        QCOMPARE(list->selectionModel()->selectedIndexes(),
            QModelIndexList { list->model()->index(row, 0) });
        QVERIFY(menu->isVisible());
        QCOMPARE(child<QAction>("mnuInputShaft")->isEnabled(), gears);
        QCOMPARE(child<QAction>("mnuInputBearingA")->isEnabled(), !gears);
        child<QAction>(action.toLatin1())->trigger();
        menu->hide();
        QCOMPARE(m_link.calls, QStringList { call });
    }

    void unreadableFileIsReported()
    {
        delete m_view;
        QFile::remove(RecordFiles::gearPath());
        QVERIFY(QDir(m_dir.path()).mkdir(u"gear.sav"_s));
        m_view = new frmView(m_link, m_prompter);
        m_link.browser = m_view;
        m_view->showAndLoad();
        QVERIFY(QDir(m_dir.path()).rmdir(u"gear.sav"_s) && shown("lstGear").isEmpty());
        QCOMPARE(m_prompter.shown.size(), 1);
        QVERIFY(Fixture::isFailureBox(m_prompter.shown.at(0))
            && m_prompter.shown.at(0).text.startsWith(
                QDir::toNativeSeparators(RecordFiles::gearPath())));
    }
};

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
