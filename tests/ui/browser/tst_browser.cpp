// The record browser: views, headings, fixed-width lines, the bore filter, the right-click copy.

#include "records/recordfile.h"
#include "records/recordlines.h"
#include "support/workedexample.h"
#include "ui/browser/frmview.h"
#include "ui/browser/mainwindowlink.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

// Stands in for the main window: notes each call, with "(hidden)" when the browser hid first.
struct FakeLink : MainWindowLink
{
    QWidget *browser = nullptr;
    QStringList calls;
    void recallShaftNumber(const QString &number) override { note(u"shaft: " + number); }
    void copyBearing(QChar side, const QString &model, const QString &e, const QString &y1,
        const QString &y2, const QString &cr, int type) override
    {
        note(u"%1: %2, %3, %4, %5, %6, %7"_s.arg(side).arg(model, e, y1, y2, cr).arg(type));
    }
    void note(const QString &call) { calls << call + (browser->isVisible() ? u"" : u" (hidden)"); }
};

class TestBrowser : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture::AppDirectory> m_dir;
    ScriptedPrompter m_prompter;
    FakeLink m_link;
    std::unique_ptr<frmView> m_view;

    static ShaftRecord shaft(
        const char *no, float p1, float p2, const char *a = "30208", float n = 960, int L = 250)
    {
        return { .ShaftNo = QString::fromUtf8(no),
            .P1 = p1,
            .P2 = p2,
            .n = n,
            .L = std::int16_t(L),
            .ModelA = QString::fromUtf8(a),
            .ModelB = u"NU210"_s };
    }
    static QByteArray slot(const QByteArray &model, int type, int d) // D 80, B 18
    {
        return Fixture::bearingSlot(model, type, 1, 1, 1, 1, d, 80, 18);
    }
    template <typename T = QLabel> T *child(const QString &n) { return m_view->findChild<T *>(n); }
    void click(const QString &n) { QTest::mouseClick(child<QAbstractButton>(n), Qt::LeftButton); }
    QListView *list() // the one shown
    {
        return child<QListView>(
            child<QWidget>(u"lstGear"_s)->isVisible() ? u"lstGear"_s : u"lstBearing"_s);
    }
    QStringList shown(int width = 13) // the lines of the list shown, cut to width
    {
        QStringList out;
        for (int row = 0; row < list()->model()->rowCount(); ++row)
            out << list()->model()->index(row, 0).data().toString().left(width).trimmed();
        return out;
    }
    // Checks "name=value;..." against what the browser shows: "view" is caption / key heading /
    // column heading / visible list / the key box enabled; "tabs" the tab order from the focus.
    void check(const QString &expected)
    {
        QStringList tabs, greys, rows;
        for (QWidget *w = m_view->focusWidget(); w && tabs.size() < 7; w = w->nextInFocusChain())
            if (w->parentWidget() == m_view.get() && !w->isWindow()
                && (w->focusPolicy() & Qt::TabFocus))
                tabs << w->objectName();
        for (const QString &grey : u"lstGear lstBearing txtDia"_s.split(u' '))
            greys << child<QWidget>(grey)->palette().color(QPalette::Base).name();
        for (const QModelIndex &index : list()->selectionModel()->selectedIndexes())
            rows << QString::number(index.row());
        const auto yes = [](bool b) { return b ? u"1"_s : u"0"_s; };
        auto *key = child<QLineEdit>(u"txtDia"_s);
        const bool failed
            = m_prompter.shown.size() == 1 && Fixture::isFailureBox(m_prompter.shown.at(0));
        const QHash<QString, QString> got {
            { u"view"_s,
                u"%1/%2/%3/%4/%5"_s.arg(m_view->windowTitle(), child(u"lblItem_0"_s)->text(),
                    child(u"lblItem_1"_s)->text(), list()->objectName(),
                    key->isEnabled() ? u"key"_s : QString()) },
            { u"models"_s, shown().join(u' ') }, { u"key"_s, key->text() },
            { u"rows"_s,
                QString::number(list()->viewport()->height() / list()->sizeHintForRow(0)) },
            { u"lines"_s, shown(99).mid(0, 6).join(u'|') },
            { u"widest"_s,
                QString::number(static_cast<RecordLineModel *>(list()->model())->widestCells()) },
            { u"focus"_s, m_view->focusWidget() ? m_view->focusWidget()->objectName() : u"-"_s },
            { u"selected"_s, key->selectedText() }, { u"tabs"_s, tabs.join(u' ') },
            { u"greys"_s, greys.join(u' ') }, { u"selection"_s, rows.join(u' ') },
            { u"visible"_s, yes(m_view->isVisible()) },
            { u"menu"_s, yes(child<QMenu>(u"mnuInput"_s)->isVisible()) },
            { u"shaft"_s, yes(child<QAction>(u"mnuInputShaft"_s)->isEnabled()) },
            { u"bearingA"_s, yes(child<QAction>(u"mnuInputBearingA"_s)->isEnabled()) },
            { u"calls"_s, m_link.calls.join(u'/') },
            { u"failure"_s,
                failed ? m_prompter.texts()[0].section(u':', 0, 0).replace(m_dir->path(), u"DIR"_s)
                       : u"-"_s }
        };
        for (const QString &i : expected.split(u';')) // each "name=value" as the browser has it
            QCOMPARE(i.section(u'=', 0, 0) + u'=' + got.value(i.section(u'=', 0, 0), u"?"_s), i);
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); } // no comma decimals
    void init()
    {
        m_dir = std::make_unique<Fixture::AppDirectory>();
        m_prompter.clear();
        m_link.calls.clear();
        QByteArray gears;
        for (const ShaftRecord &r : { shaft("WX-1", 5.5f, 5.5f), shaft("G4", 0.01f, 0),
                 shaft("G5", std::nextafter(0.01f, 1.0f), 0),
                 shaft("ABCDEFGHIJKLMNO", 1234.567f, 7654.321f, "ABCDEFGHIJ12", 123456.7f, -120),
                 shaft("轴系一", 3, 3, "轴承A") })
            gears += RecordLayout::encodeShaft(r);
        QVERIFY(Fixture::writeFile(RecordFiles::gearPath(), gears));
        QVERIFY(Fixture::writeFile(RecordFiles::bearingPath(),
            Fixture::bearingSlot("30208", 1, 0.37f, 1.6f, 0.9f, 63, 40, 80, 18)
                + Fixture::bearingSlot("ABCDEFGHIJ12", 3, 0, 1.6f, 0.9f, 1234.567f, -5, 35, 18)
                + Fixture::bearingSlot("6208-X", 0, 0.24f, 2.8f, 4.2f, 29.5f, 40, 80, 18)
                + slot("BAD12", 12, 32767) + slot("\x81 BAD", 100, 7)
                + slot(QStringEncoder("GBK").encode(u"轴承"_s), 40, 7) + slot("7208B", 4, 42)
                + slot("A\x81\x7F", 2, 7) + slot(QByteArray("NUL").append(9, '\0'), 4, 7)));
    }
    void cleanup() { m_view.reset(); }

    // clang-format off
    void window_data()
    {
        // Steps: "optX", "cmdX" click (optParameter_1 gears, _0 bearings), "key=text" types a bore in the key box,
        // "enter" presses Enter there, "+gear", "+bearing" store a record meanwhile, "close",
        // "show", "right=n", "left=n" click line n, "do=item" triggers a menu item, "folder" breaks gear.sav.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        const QString gears = u"view=记 录--轴系参数/ 编 号/    功率(kW)    转速%1跨距    轴承A        轴承B/lstGear/"_s;
        const QString all = u"30208 ABCDEFGHIJ12 6208-X BAD12 \uFFFD BAD 轴承 7208B A\uFFFD NUL"_s;
        // Filters replace the one in force; the focus goes back to the key box, its text selected.
        const auto filter = [](const char *name, const char *key, const char *then, const QString &models) { QTest::newRow(name)
            << u"optParameter_0|key=77|cmdSelect|key=%1|%2"_s.arg(QString::fromLatin1(key), QLatin1String(then)) << u"models=%1;focus=txtDia;selected=%2"_s.arg(models, QString::fromLatin1(key)); };
        // A right click shows no menu with nothing selected, keeps the chosen line on another one.
        const auto copy = [](const char *name, int row, const char *item, const char *call) { const int gear = qstrcmp(item, "mnuInputShaft") == 0; QTest::newRow(name)
            << u"%1|right=%2|?menu=0;selection=|left=%2|right=%3|?menu=1;selection=%2;shaft=%4;bearingA=%5|do=%6"_s.arg(gear ? u"optParameter_1"_s : u"optParameter_0"_s).arg(row).arg(row == 0 ? 1 : 0).arg(gear).arg(1 - gear).arg(QLatin1String(item))
            << QString(u"calls="_s + QString::fromUtf8(call)); };
        // Shaft lines: number 16 | power 12 | speed 8 | span 8 | model A 13 | model B 13, the power P1 alone when P1 - P2 is
        // at most 0.01 (as floats: G4); bearing lines: model 13 | d, D, B, e, Y1, Y2, Cr 7 each | 4 blanks | type; a bad
        // byte shows as one replacement character (more in the filter rows); a list is as wide as its widest line in cells.
        QTest::newRow("loaded: five blanks, the tab order from 退 出, grey lists") << "" << QString(gears.arg(u"     "_s) + u";rows=16;tabs=cmdExit lstGear lstBearing optParameter_1 optParameter_0 txtDia cmdSelect;greys=#c0c0c0 #c0c0c0 #c0c0c0;widest=75;lines="_s u"WX-1            5.5         960     250     30208        NU210|G4              0.01        960     250     30208        NU210|G5              0.01/0      960     250     30208        NU210|ABCDEFGHIJKLMNO 1234.567/765123456.7-120    ABCDEFGHIJ12 NU210|轴系一             3           960     250     轴承A          NU210"_s);
        QTest::newRow("bearings") << "optParameter_0" << "view=记 录--轴承参数/ 型 号/ d      D      B      e      Y1     Y2     Cr(kN)   类型/lstBearing/key;widest=70;lines=" "30208        40     80     18     0.37   1.6    0.9    63         1|ABCDEFGHIJ12 -5     35     18     0      1.6    0.9    1234.56    3|6208-X       40     80     18     0.24   2.8    4.2    29.5       0|BAD12        32767  80     18     1      1      1      1          12|\uFFFD BAD        7      80     18     1      1      1      1          100|轴承           7      80     18     1      1      1      1          40";
        QTest::newRow("a record saved meanwhile appears on a switch, four blanks") << "optParameter_0|+gear|optParameter_1" << QString(gears.arg(u"    "_s) + u";models=WX-1 G4 G5 ABCDEFGHIJKLM 轴系一 WX-103"_s);
        QTest::newRow("退 出 hides the window as it is, not reread") << "optParameter_0|key=40|cmdSelect|+bearing|cmdExit|?visible=0|show" << "models=30208 6208-X;visible=1";
        QTest::newRow("the close box unloads it") << "optParameter_0|key=40|cmdSelect|close|show" << QString(gears.arg(u"     "_s) + u";key="_s);
        QTest::newRow("back from another window of the program: 退 出 focused") << "optParameter_0|key=40|other" << "focus=cmdExit";
        filter("41.5 halves to even 42", "41.5", "cmdSelect", u"7208B"_s);
        filter("0.5 rounds to 0: all", "0.5", "cmdSelect", all);
        filter("no number: all", "abc", "cmdSelect", all);
        filter("32767 still a bore", "32767", "cmdSelect", u"BAD12"_s);
        filter("beyond 16 bits: not even d 32767", "99999", "cmdSelect", QString());
        filter("Enter filters as it goes down, swallowed", "42", "enter", u"7208B"_s);
        copy("number, browser hidden first", 1, "mnuInputShaft", "shaft: G4 (hidden)");
        copy("tapered roller into A", 0, "mnuInputBearingA", "A: 30208, 0.37, 1.6, 0.9, 63, 1");
        copy("Cr 1234.567 copied as 1234.56 into B", 1, "mnuInputBearingB", "B: ABCDEFGHIJ12, 0, 1.6, 0.9, 1234.56, 3");
        copy("stored type 12 is not taken for 2", 3, "mnuInputBearingA", "A: BAD12, 1, 1, 1, 1, 12");
        QTest::newRow("an unreadable file is reported, the list empty") << "folder" << "models=;failure=DIR/gear.sav";
    }
    // clang-format on
    void window()
    {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        if (steps == u"folder")
            QVERIFY(
                QFile::remove(RecordFiles::gearPath()) && QDir().mkdir(RecordFiles::gearPath()));
        m_view = std::make_unique<frmView>(m_link, m_prompter);
        m_link.browser = m_view.get();
        m_view->showAndLoad();
        QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
        for (const QString &step : steps.split(u'|', Qt::SkipEmptyParts)) {
            const QString name = step.section(u'=', 0, 0), value = step.section(u'=', 1),
                          gear = RecordFiles::gearPath(), bearing = RecordFiles::bearingPath();
            auto *key = child<QLineEdit>(u"txtDia"_s);
            if (step.startsWith(u"opt") || step.startsWith(u"cmd"))
                click(step);
            else if (name == u"key") // typed over the text selected, if any
                QTest::keyClicks(key, value);
            else if (step == u"enter")
                QTest::keyPress(key, Qt::Key_Enter, Qt::KeypadModifier);
            else if (step == u"+gear")
                QVERIFY(Fixture::writeFile(gear,
                    Fixture::readFile(gear) + RecordLayout::encodeShaft(shaft("WX-103", 1, 1))));
            else if (step == u"+bearing")
                QVERIFY(
                    Fixture::writeFile(bearing, Fixture::readFile(bearing) + slot("NEW40", 0, 40)));
            else if (step == u"close")
                m_view->close();
            else if (step == u"show")
                m_view->showAndLoad();
            else if (step == u"other") { // another window of the program, then the browser again
                QWidget other;
                other.show();
                QVERIFY(QTest::qWaitForWindowActive(&other));
                QApplication::setActiveWindow(m_view.get());
                QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
            } else if (name == u"right" || name == u"left")
                QTest::mouseClick(list()->viewport(),
                    name == u"right" ? Qt::RightButton : Qt::LeftButton, {},
                    list()->visualRect(list()->model()->index(value.toInt(), 0)).center());
            else if (name == u"do") {
                child<QAction>(value)->trigger();
                child<QMenu>(u"mnuInput"_s)->hide();
            } else if (step.startsWith(u'?'))
                check(step.mid(1));
            else
                QVERIFY2(step == u"folder", qPrintable(step));
        }
        check(expected);
    }
};

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
