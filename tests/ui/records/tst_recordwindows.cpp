// The record browser: views, headings, fixed-width lines, the bore filter, the right-click copy.
// The bearing data manager: catalogue lines, their columns and locale-free order; the window's
// additions, edits, refusals, rewrite of bearing.sav, list dump and reload on a return.

#include "catalogue/catalogue.h"
#include "catalogue/editerline.h"
#include "records/recordlines.h"
#include "support/windows.h"
#include "support/workedexample.h"
#include "ui/bearings/frmediter.h"
#include "ui/browser/frmview.h"
#include "ui/browser/mainwindowlink.h"

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

class TestRecordWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture::AppDirectory> m_dir;
    ScriptedPrompter m_prompter;
    FakeLink m_link;
    std::unique_ptr<frmView> m_view;
    std::unique_ptr<frmEditer> m_w; // the data manager
    QByteArray m_before; // bearing.sav and the data manager's list as it opened
    QStringList m_linesBefore, m_tabs; // the boxes Tab went through

    static ShaftRecord shaft(
        const char *no, float p1, float p2, const char *a = "30208", float n = 960, int L = 250)
    {
        return { QString::fromUtf8(no), p1, p2, n, std::int16_t(L), 0, {}, 0, 0,
            QString::fromUtf8(a), u"NU210"_s };
    }
    static QByteArray slot(const QByteArray &model, int type, int d) // D 80, B 18
    {
        return Fixture::bearingSlot(model, type, 1, 1, 1, 1, d, 80, 18);
    }
    static BearingRecord bearing(const QString &model, int type, int d, int D = 0, int B = 0)
    {
        return { model, quint8(type), qint16(d), qint16(D), qint16(B), 0.3f, 0, 0, 20 };
    }
    static void write(const QList<BearingRecord> &r)
    {
        QVERIFY(RecordFiles::rewriteBearingFile(RecordFiles::bearingPath(), r).ok());
    }
    static QString yes(bool b) { return b ? u"1"_s : u"0"_s; }
    QWidget *window() { return m_view ? static_cast<QWidget *>(m_view.get()) : m_w.get(); }
    template <typename T = QLineEdit> T *get(const QString &n)
    {
        return window()->findChild<T *>(n);
    }
    QListView *list() // the one shown
    {
        auto *gears = get<QListView>(u"lstGear"_s);
        return gears && gears->isVisible() ? gears : get<QListView>(u"lstBearing"_s);
    }
    QStringList shown(int width = 13) // the lines of the browser's list shown, cut to width
    {
        QStringList out;
        for (int row = 0; row < list()->model()->rowCount(); ++row)
            out << list()->model()->index(row, 0).data().toString().left(width).trimmed();
        return out;
    }
    QStringList lines() { return static_cast<CatalogueModel *>(list()->model())->lines(); }

    // The browser: "view" is caption / key heading / column heading / visible list / the key box
    // enabled; "tabs" the tab order from the focus.
    QHash<QString, QString> browserFacts()
    {
        QStringList tabs, greys, rows;
        for (QWidget *w = m_view->focusWidget(); w && tabs.size() < 7; w = w->nextInFocusChain())
            if (w->parentWidget() == m_view.get() && !w->isWindow()
                && (w->focusPolicy() & Qt::TabFocus))
                tabs << w->objectName();
        for (const QString &grey : u"lstGear lstBearing txtDia"_s.split(u' '))
            greys << get<QWidget>(grey)->palette().color(QPalette::Base).name();
        for (const QModelIndex &index : list()->selectionModel()->selectedIndexes())
            rows << QString::number(index.row());
        auto *key = get(u"txtDia"_s);
        const bool failed
            = m_prompter.shown.size() == 1 && Fixture::isFailureBox(m_prompter.shown.at(0));
        return { { u"view"_s,
                     u"%1/%2/%3/%4/%5"_s.arg(m_view->windowTitle(),
                         get<QLabel>(u"lblItem_0"_s)->text(), get<QLabel>(u"lblItem_1"_s)->text(),
                         list()->objectName(), key->isEnabled() ? u"key"_s : QString()) },
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
            { u"menu"_s, yes(get<QMenu>(u"mnuInput"_s)->isVisible()) },
            { u"shaft"_s, yes(get<QAction>(u"mnuInputShaft"_s)->isEnabled()) },
            { u"bearingA"_s, yes(get<QAction>(u"mnuInputBearingA"_s)->isEnabled()) },
            { u"calls"_s, m_link.calls.join(u'/') },
            { u"failure"_s,
                failed ? m_prompter.texts()[0].section(u':', 0, 0).replace(m_dir->path(), u"DIR"_s)
                       : u"-"_s } };
    }
    // The data manager: "file" is "kept" (bytes, list as opened) or "list" (stored in list order,
    // temp.sav gone).
    QHash<QString, QString> managerFacts()
    {
        const QModelIndexList chosen = list()->selectionModel()->selectedIndexes();
        QWidget *focus = m_w->focusWidget();
        const auto *edit = qobject_cast<QComboBox *>(focus) ? focus->findChild<QLineEdit *>()
                                                            : qobject_cast<QLineEdit *>(focus);
        const QStringList models = lines().replaceInStrings(QRegularExpression(u" .*"_s), {});
        QStringList fromFile, colours;
        const auto file = RecordFiles::readBearingRecords(RecordFiles::bearingPath());
        for (const BearingRecord &r : file->records)
            fromFile << EditerLine::fromRecord(r);
        for (const QString &box :
            u"txtBearing_0 txtBearing_4 txtParameter_2 lstBearing"_s.split(u' '))
            colours << get<QWidget>(box)->palette().color(QPalette::Base).name();
        const QByteArray dump = Fixture::readFile(m_dir->filePath(u"TestData.txt"_s)),
                         listed = (lines().join(u"\r\n") + u"\r\n").toLatin1();
        const bool kept
            = Fixture::readFile(RecordFiles::bearingPath()) == m_before && lines() == m_linesBefore;
        const bool stored = fromFile == lines() && !QFile::exists(RecordFiles::tempPath());
        return { { u"models"_s, models.join(u' ') },
            { u"chosen"_s, chosen.isEmpty() ? u"-"_s : models.at(chosen.first().row()) },
            { u"type"_s, QString::number(get<QComboBox>(u"cboBearing"_s)->currentIndex()) },
            { u"model"_s, get(u"txtBearing_0"_s)->text() },
            { u"d"_s, get(u"txtParameter_0"_s)->text() + u'/' + get(u"txtParameter_2"_s)->text() },
            { u"open"_s, yes(get(u"txtBearing_0"_s)->isEnabled()) },
            { u"edit"_s, yes(get<QPushButton>(u"cmdEdit"_s)->isEnabled()) },
            { u"focus"_s, focus->objectName() },
            { u"selected"_s,
                yes(!edit || edit->text().trimmed().isEmpty()
                    || edit->selectedText() == edit->text()) },
            { u"file"_s, kept ? u"kept"_s : (stored ? u"list"_s : u"other"_s) },
            { u"types"_s, QString::number(get<QComboBox>(u"cboBearing"_s)->count()) },
            { u"messages"_s, m_prompter.texts().join(u'/').replace(m_dir->path(), u"DIR"_s) },
            { u"header"_s, get<QLabel>(u"lblItem"_s)->text() },
            { u"last"_s, lines().value(lines().size() - 1) },
            { u"e"_s, get(u"txtBearing_1"_s)->text() }, { u"tabs"_s, m_tabs.join(u' ') },
            { u"colours"_s, colours.join(u' ') },
            { u"dump"_s, dump == listed ? u"list"_s : QString::fromLatin1(dump) } };
    }
    void check(const QString &expected) // each "name=value" as the window has it
    {
        const QHash<QString, QString> got = m_view ? browserFacts() : managerFacts();
        for (const QString &i : expected.split(u';'))
            QCOMPARE(i.section(u'=', 0, 0) + u'=' + got.value(i.section(u'=', 0, 0), u"?"_s), i);
    }

    // Opens the browser, or the data manager, on the first step that is no file set-up; then each
    // step ("|"-separated) as the row's comment says; then checks the facts expected.
    void run()
    {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        const bool browser = qstrcmp(QTest::currentTestFunction(), "browser") == 0;
        if (!browser) // NaN and Inf shown as what they are
            write({ bearing(u"6204"_s, 0, 20, 47, 14),
                { u"NU206"_s, 3, 30, 62, 0, float(qQNaN()), -float(qInf()), 1.23456789f,
                    float(qInf()) } });
        const QStringList setUp { u"folder"_s, u"unsorted"_s, u"torn"_s, u"empty"_s, u"twice"_s };
        const QStringList all = steps.split(u'|', Qt::SkipEmptyParts) << u'?' + expected;
        for (const QString &step : all) {
            const QString name = step.section(u'=', 0, 0), value = step.section(u'=', 1),
                          gear = RecordFiles::gearPath(), bearings = RecordFiles::bearingPath();
            if (!window() && !setUp.contains(step)) {
                m_before = Fixture::readFile(bearings);
                if (browser) {
                    m_view = std::make_unique<frmView>(m_link, m_prompter);
                    m_link.browser = m_view.get();
                    m_view->showAndLoad();
                } else {
                    m_w = std::make_unique<frmEditer>(m_prompter);
                    m_w->show();
                }
                QVERIFY(QTest::qWaitForWindowActive(window()));
                m_linesBefore = browser ? QStringList() : lines();
            }
            if (step.startsWith(u"opt") || step.startsWith(u"cmd"))
                QTest::mouseClick(get<QAbstractButton>(step), Qt::LeftButton);
            else if (step.startsWith(u'#') || name == u"right") // a click on a line
                QTest::mouseClick(list()->viewport(),
                    name == u"right" ? Qt::RightButton : Qt::LeftButton, {},
                    list()
                        ->visualRect(list()->model()->index(
                            step.section(QRegularExpression(u"[#=]"_s), 1).toInt(), 0))
                        .center());
            else if (step.startsWith(u'?'))
                check(step.mid(1));
            else if (step == u"enter") // in the key box, or the model box
                browser ? QTest::keyPress(get(u"txtDia"_s), Qt::Key_Enter, Qt::KeypadModifier)
                        : QTest::keyClick(get(u"txtBearing_0"_s), Qt::Key_Return);
            else if (name == u"key") // typed over the text selected, if any
                QTest::keyClicks(get(u"txtDia"_s), value);
            else if (step == u"+gear")
                QVERIFY(Fixture::writeFile(gear,
                    Fixture::readFile(gear) + RecordLayout::encodeShaft(shaft("WX-103", 1, 1))));
            else if (step == u"+bearing")
                QVERIFY(Fixture::writeFile(
                    bearings, Fixture::readFile(bearings) + slot("NEW40", 0, 40)));
            else if (step == u"close")
                m_view->close();
            else if (step == u"show")
                m_view->showAndLoad();
            else if (name == u"do") {
                get<QAction>(value)->trigger();
                get<QMenu>(u"mnuInput"_s)->hide();
            } else if (step == u"folder")
                QVERIFY(QFile::remove(gear) && QDir().mkdir(gear));
            else if (step == u"unsorted")
                write({ bearing(u"22312"_s, 0, 60, 130, 46), bearing(u"22210"_s, 0, 50, 90, 23),
                    bearing(u"23120"_s, 0, 100, 165, 52),
                    { u"22220"_s, 0, 0, 0, 0, 0.24f, 2.8f, 4.2f, 250 } });
            else if (step == u"torn")
                QVERIFY(Fixture::writeFile(bearings,
                    Fixture::readFile(bearings)
                        + Fixture::bearingSlot("\x81 BAD").repeated(2) // the first named
                        + "torn tail!"));
            else if (step == u"empty")
                write({});
            else if (step == u"twice") // a model stored twice
                write({ bearing(u"6204"_s, 0, 20), bearing(u"NU206"_s, 3, 30),
                    bearing(u"6204"_s, 0, 25) });
            else if (name
                == u"tab") { // notes the box, and "wrap" if Tab went round the chain's end
                QWidget *f = m_w->focusWidget();
                QWidget *box = f->objectName().isEmpty() ? f->parentWidget() : f;
                m_tabs << box->objectName() + u'=' + box->accessibleName();
                QTest::keyClicks(f, value + u'\t');
                for (QWidget *w = f; w != m_w->focusWidget(); w = w->nextInFocusChain())
                    m_tabs << (w->isWindow() ? QStringList(u"wrap"_s) : QStringList());
            } else if (step == u"gone")
                write({ bearing(u"6204"_s, 0, 20) });
            else if (step == u"blocked") // a folder where the list dump goes
                QVERIFY(QDir(m_dir->path()).mkdir(u"TestData.txt"_s));
            else if (name == u"type")
                get<QComboBox>(u"cboBearing"_s)->setCurrentIndex(value.toInt());
            else if (step == u"down") // the arrow key chooses too
                QTest::keyClick(list(), Qt::Key_Down);
            else if (step.contains(u'='))
                (get<QComboBox>(name) ? get<QComboBox>(name)->lineEdit() : get(name))
                    ->setText(value);
            else if (!browser
                && !Module1::AppendBearingRecord(u"7206"_s, 4, 0.68f, 0.87f, 0.92f, 30))
                QFAIL("7206 not added");
            else if (step == u"program") { // as the platform reports the program losing the focus
                for (QWidget *w : std::initializer_list<QWidget *> { nullptr, m_w.get() }) {
                    QApplication::setActiveWindow(w);
                    emit qGuiApp->focusWindowChanged(w ? w->windowHandle() : nullptr);
                }
            } else { // a message box ("dialog") or a window of the program, then this one again
                QVERIFY2(step == u"dialog" || step == u"window", qPrintable(step));
                QWidget other(nullptr, step == u"dialog" ? Qt::Dialog : Qt::Window);
                QVERIFY(Fixture::activate(&other) && Fixture::activate(window()));
            }
        }
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); } // no comma decimals
    void init()
    {
        m_dir = std::make_unique<Fixture::AppDirectory>();
        m_prompter = ScriptedPrompter();
        m_tabs.clear();
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
                + slot(QStringEncoder("GBK").encode(u"轴承"_s), 100, 7) + slot("7208B", 4, 42)
                + slot("A\x81\x7F", 2, 7) + slot(QByteArray("NUL").append(9, '\0'), 4, 7)));
    }
    void cleanup() { m_view.reset(), m_w.reset(); }

    // clang-format off
    void browser_data()
    {
        // Steps: "optX", "cmdX" click (optParameter_1 gears, _0 bearings), "key=text" types a bore in the key box,
        // "enter" presses Enter there, "+gear", "+bearing" store a record meanwhile, "close", "show", "right=n",
        // "#n" click line n, "do=item" triggers a menu item, "folder" breaks gear.sav, "window" goes to another.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        const QString gears = u"view=记 录--轴系参数/ 编 号/    功率(kW)    转速%1跨距    轴承A        轴承B/lstGear/"_s;
        const QString all = u"30208 ABCDEFGHIJ12 6208-X BAD12 \uFFFD BAD 轴承 7208B A\uFFFD NUL"_s;
        // Filters replace the one in force; the focus goes back to the key box, its text selected.
        const auto filter = [](const char *name, const char *key, const char *then, const QString &models) { QTest::newRow(name)
            << u"optParameter_0|key=77|cmdSelect|key=%1|%2"_s.arg(QString::fromLatin1(key), QLatin1String(then)) << u"models=%1;focus=txtDia;selected=%2"_s.arg(models, QString::fromLatin1(key)); };
        // A right click shows no menu with nothing selected, keeps the chosen line on another one.
        const auto copy = [](const char *name, int row, const char *item, const char *call) { const int gear = qstrcmp(item, "mnuInputShaft") == 0; QTest::newRow(name)
            << u"%1|right=%2|?menu=0;selection=|#%2|right=%3|?menu=1;selection=%2;shaft=%4;bearingA=%5|do=%6"_s.arg(gear ? u"optParameter_1"_s : u"optParameter_0"_s).arg(row).arg(row == 0 ? 1 : 0).arg(gear).arg(1 - gear).arg(QLatin1String(item))
            << QString(u"calls="_s + QString::fromUtf8(call)); };
        // Shaft lines: number 16 | power 12 | speed 8 | span 8 | model A 13 | model B 13, the power P1 alone when P1 - P2 is
        // at most 0.01 (as floats: G4); bearing lines: model 13 | d, D, B, e, Y1, Y2, Cr 7 each | 4 blanks | type; a bad
        // byte shows as one replacement character (more in the filter rows); a list is as wide as its widest line in cells.
        QTest::newRow("loaded: five blanks, the tab order from 退 出, grey lists") << "" << QString(gears.arg(u"     "_s) + u";rows=16;tabs=cmdExit lstGear lstBearing optParameter_1 optParameter_0 txtDia cmdSelect;greys=#c0c0c0 #c0c0c0 #c0c0c0;widest=75;lines="_s u"WX-1            5.5         960     250     30208        NU210|G4              0.01        960     250     30208        NU210|G5              0.01/0      960     250     30208        NU210|ABCDEFGHIJKLMNO 1234.567/765123456.7-120    ABCDEFGHIJ12 NU210|轴系一             3           960     250     轴承A          NU210"_s);
        QTest::newRow("bearings") << "optParameter_0" << "view=记 录--轴承参数/ 型 号/ d      D      B      e      Y1     Y2     Cr(kN)   类型/lstBearing/key;widest=71;lines=" "30208        40     80     18     0.37   1.6    0.9    63         1|ABCDEFGHIJ12 -5     35     18     0      1.6    0.9    1234.56    3|6208-X       40     80     18     0.24   2.8    4.2    29.5       0|BAD12        32767  80     18     1      1      1      1          12|\uFFFD BAD        7      80     18     1      1      1      1          100|轴承           7      80     18     1      1      1      1          100";
        QTest::newRow("a record saved meanwhile appears on a switch, four blanks") << "optParameter_0|+gear|optParameter_1" << QString(gears.arg(u"    "_s) + u";models=WX-1 G4 G5 ABCDEFGHIJKLM 轴系一 WX-103"_s);
        QTest::newRow("退 出 hides the window as it is, not reread") << "optParameter_0|key=40|cmdSelect|+bearing|cmdExit|?visible=0|show" << "models=30208 6208-X;visible=1";
        QTest::newRow("the close box unloads it") << "optParameter_0|key=40|cmdSelect|close|show" << QString(gears.arg(u"     "_s) + u";key="_s);
        QTest::newRow("back from another window of the program: 退 出 focused") << "optParameter_0|key=40|window" << "focus=cmdExit";
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
    void browser() { run(); }

    // clang-format off
    void columns_data()
    {
        // m: a model fitted, s: its line shown, o: model/type/d lines sorted, else a float; each in
        // four locales (a C locale is a common default on Linux).
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("column");
        QTest::newRow("5 Chinese take 10 of 12 bytes") << "m深沟球轴承ABCD" << "深沟球轴承AB     ";
        QTest::newRow("a Chinese is never split") << "m深沟球轴承轴承" << "深沟球轴承轴      ";
        QTest::newRow("a Chinese then a digit fill the 12 bytes") << "mABCDEFGHI中1" << "ABCDEFGHI中1 ";
        QTest::newRow("shown, Chinese take 2 cells") << "s深沟球轴承A/0/20" << "深沟球轴承A 20    0     0     0.3   0     0     20       0";
        QTest::newRow("short value padded") << "0.5" << "0.5   ";
        QTest::newRow("six whole digits lose the decimals") << "123456.7" << "123456";
        QTest::newRow("0.0001234 keeps one digit") << "0.0001234" << "0.0001";
        QTest::newRow("0.00001234 would cut to 0") << "1.234e-5" << "1.2E-5";
        QTest::newRow("seven whole digits") << "1234567" << "1.2E+6";
        QTest::newRow("a two-digit exponent kept whole") << "1.5e13" << "2E+13 ";
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
        QStringList got;
        for (const char *locale : { "C", "en_US", "zh_CN", "de_DE" }) {
            QLocale::setDefault(QLocale(QLatin1String(locale)));
            QStringList lines;
            for (const QString &b : input.mid(1).split(u' '))
                lines << EditerLine::fromRecord(bearing(b.section(u'/', 0, 0),
                    b.section(u'/', 1, 1).toInt(), b.section(u'/', 2).toInt()));
            BearingCatalogue::sortLines(lines);
            got << (input[0] == u'o'
                    ? lines.replaceInStrings(QRegularExpression(u" .*"_s), {}).join(u' ')
                    : input[0] == u'm' ? EditerLine::fitModel(input.mid(1))
                    : input[0] == u's' ? EditerLine::displayText(lines.first())
                                       : EditerLine::singleColumn(input.toFloat()));
        } // German, as the other tests run, comes last
        QCOMPARE(got, QStringList(4, column));
    }

    // clang-format off
    void dataManager_data()
    {
        // Steps: "unsorted", "empty", "torn" pick the catalogue, "cmdX" clicks, "#n" clicks line n, "enter" presses
        // Enter in the model box, "type=n" picks a type, "box=text" types, "tab=text" types and leaves by Tab, "?facts"
        // checks; "gone": another window drops NU206; "blocked": a folder named TestData.txt; "program", "dialog",
        // "window": 7206 added, the focus comes back from another program, a message box or a program window.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        const auto refused = [](const char *name, const char *steps, const char *focus, const char *message = "") { QTest::newRow(name)
            << QString(u"#1|"_s + QString::fromUtf8(steps) + u"|cmdUpdate"_s) << QString(u"focus="_s + QLatin1String(focus) + u";selected=1;open=1;file=kept;messages="_s + QString::fromUtf8(message)); };
        QTest::newRow("browsing, 更新 only sorts and stores: an unedited line keeps its record's bytes (NaN, Inf), twice") << "#1|cmdUpdate|cmdUpdate" << "last=NU206       30    62    0     NaN   -Inf  1.2345Inf      3;focus=cmdUpdate;open=0;file=kept;messages=";
        refused("adding with a blank model", "cmdAdd|txtBearing_0=   ", "txtBearing_0");
        refused("adding a listed model", "cmdAdd|txtBearing_0=NU206", "txtBearing_0");
        refused("editing NU206 to the other line's model", "cmdEdit|txtBearing_0=6204", "txtBearing_0");
        refused("type text naming no item", "cmdAdd|txtBearing_0=6206|cboBearing=滚子", "cboBearing");
        refused("d 32767.5 beyond 16 bits", "cmdAdd|txtBearing_0=6206|txtParameter_0=32767.5", "txtParameter_0");
        refused("Cr beyond a float", "cmdAdd|txtBearing_0=6206|txtBearing_4=1e39", "txtBearing_4");
        refused("a model GBK lacks (stored as 'E?', it would make 'E😁' a duplicate)", "cmdAdd|txtBearing_0=E😀", "txtBearing_0", "型号中的字符 😀 不能保存（GBK 编码中没有）");
        QTest::newRow("a catalogue not read whole asks, naming every problem") << "torn|cmdUpdate" << "file=kept;messages=DIR/bearing.sav:\nbearing.sav 末尾有 10 个字节不是完整记录\n第 3 个记录的型号不是有效的 GBK 编码\n继续更新将只保存列表中的轴承，原文件先逐字节复制为 DIR/bearing.bak。是否继续？";
        QTest::newRow("a click on the chosen line abandons an addition, an edit") << "#0|cmdAdd|txtParameter_0=7|#0|?model=6204;d=20/14;open=0|cmdEdit|txtParameter_0=7|#0" << "model=6204;d=20/14;open=0";
        // Five types; field colours; Tab goes down the open boxes to 更新, round the chain to the list, each named
        // by its label. The model is upper-cased on leaving its box; d 35.5 and B 34.5 halve to even, D takes the
        // leading number (-32768 fits); a 12-character model meets the d column; a single line is stored, its type
        // read from the line's end; the boxes show what is stored.
        QTest::newRow("an addition stores its values as shown") << "empty|?types=5;colours=#c0ffff #c0ffc0 #c0ffc0 #c0c0c0|cmdAdd|tab=nu2212ecj/c3|tab=|tab=0.2345678|tab=1.5|tab=0.8|tab=1234.567|tab=35.5|tab=-32768abc|tab=34.5|tab=|tab=|?model=NU2212ECJ/C3;tabs=txtBearing_0=型号 cboBearing=类型 txtBearing_1=e txtBearing_2=Y1 txtBearing_3=Y2 txtBearing_4=Cr txtParameter_0=d txtParameter_1=D txtParameter_2=B cmdUpdate= wrap lstBearing=轴承数据|type=3|cmdUpdate" << "last=NU2212ECJ/C336    -3276834    0.23451.5   0.8   1234.5   3;file=list;open=0;e=0.2345";
        QTest::newRow("the main window's new bearing is listed last") << "unsorted|#3" << "header=型号        d     D     B     e     Y1    Y2    Cr(kN)  类型;last=22220       0     0     0     0.24  2.8   4.2   250      0";
        QTest::newRow("browsing, 更新 sorts and stores; an edit sorts into place, stays chosen") << "unsorted|cmdUpdate|?models=22220 22210 22312 23120;file=list;messages=|#0|cmdEdit|txtParameter_0=100|cmdUpdate" << "models=22210 22220 22312 23120;file=list;chosen=22220;model=22220;open=0;messages=";
        QTest::newRow("Enter on DumpLines (case counts) writes the list to TestData.txt, adding goes on") << "unsorted|#0|cmdAdd|txtBearing_0=dumplines|enter|?dump=<missing>|txtBearing_0=DumpLines|enter" << "dump=list;model=DumpLines;open=1;messages=";
        QTest::newRow("a list dump that cannot be written is reported") << "blocked|cmdAdd|txtBearing_0=DumpLines|enter" << "messages=DIR/TestData.txt: 不是一个文件;open=1";
        QTest::newRow("another program, a message box: not reloaded; a window of the program: reloaded, line kept") << "#1|program|dialog|?models=6204 NU206;chosen=NU206|window" << "models=6204 NU206 7206;chosen=NU206;type=3;model=NU206;open=0;edit=1";
        QTest::newRow("nothing chosen: first type; a window of the program, line gone") << "type=2|window|?models=6204 NU206 7206;chosen=-;type=0;model=;open=0;edit=0|#1|gone|window|?models=6204 7206;chosen=-;type=0;model=;open=0;edit=0|cmdUpdate" << "file=list;messages=";
        QTest::newRow("an addition keeps its input, goes into the reloaded list") << "#1|cmdAdd|txtBearing_0=X1|window|?models=6204 NU206 7206;chosen=NU206;type=3;model=X1;open=1;edit=0|cmdUpdate" << "models=6204 7206 NU206 X1;file=list;focus=cmdUpdate";
        QTest::newRow("after a reload the arrow keys still choose a line") << "#0|window|down" << "chosen=NU206;model=NU206;d=30/0";
        QTest::newRow("editing the second of a model stored twice: the first holds it") << "twice|#2|cmdEdit|cmdUpdate" << "focus=txtBearing_0;open=1;file=kept;messages=";
        QTest::newRow("an edit whose line is gone has none to replace") << "#1|cmdEdit|gone|window|?models=6204 7206;chosen=-;type=3;model=NU206;open=1;edit=1|cmdUpdate" << "models=6204 7206;file=list;focus=lstBearing";
    }
    // clang-format on
    void dataManager() { run(); }
};

QTEST_MAIN(TestRecordWindows)
#include "tst_recordwindows.moc"
