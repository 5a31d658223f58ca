// The bearing data manager: catalogue lines, their columns and locale-free order; the window's
// additions, edits, refusals, rewrite of bearing.sav, list dump and reload on a return.

#include "catalogue/catalogue.h"
#include "catalogue/editerline.h"
#include "records/recordfile.h"
#include "support/workedexample.h"
#include "ui/bearings/frmediter.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

class TestBearings : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture::AppDirectory> m_dir;
    ScriptedPrompter m_prompter;
    std::unique_ptr<frmEditer> m_w;
    QByteArray m_before; // bearing.sav and the list as the window opened
    QStringList m_linesBefore, m_tabs; // the boxes Tab went through

    static BearingRecord bearing(const QString &model, int type, int d, int D = 0, int B = 0)
    {
        return { model, quint8(type), qint16(d), qint16(D), qint16(B), 0.3f, 0, 0, 20 };
    }
    template <typename T = QLineEdit> T *get(const QString &n) { return m_w->findChild<T *>(n); }
    QListView *list() { return get<QListView>(u"lstBearing"_s); }
    void click(const QString &b) { QTest::mouseClick(get<QPushButton>(b), Qt::LeftButton); }
    QStringList lines() { return static_cast<CatalogueModel *>(list()->model())->lines(); }
    // "file": "kept" (bytes, list as opened) or "list" (stored in list order, temp.sav gone).
    void check(const QString &expected)
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
        const auto yes = [](bool b) { return b ? u"1"_s : u"0"_s; };
        const QHash<QString, QString> got { { u"models"_s, models.join(u' ') },
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
            { u"first"_s, lines().value(0).mid(30) },
            { u"last"_s, lines().value(lines().size() - 1) },
            { u"e"_s, get(u"txtBearing_1"_s)->text() }, { u"tabs"_s, m_tabs.join(u' ') },
            { u"colours"_s, colours.join(u' ') },
            { u"dump"_s, dump == listed ? u"list"_s : QString::fromLatin1(dump) } };
        for (const QString &i : expected.split(u';')) // each "name=value" as the window has it
            QCOMPARE(i.section(u'=', 0, 0) + u'=' + got.value(i.section(u'=', 0, 0), u"?"_s), i);
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }
    void init() { m_dir = std::make_unique<Fixture::AppDirectory>(); }
    void cleanup() { m_w.reset(); }

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
    void window_data()
    {
        // Steps: "unsorted", "empty", "torn" pick the catalogue, "cmdX" clicks, "#n" clicks line n, "enter" presses
        // Enter in the model box, "type=n" picks a type, "box=text" types, "tab=text" types and leaves by Tab, "?facts"
        // checks; "gone": another window drops NU206; "blocked": a folder named TestData.txt; "program", "dialog",
        // "window": 7206 added, the focus comes back from another program, a message box or a program window.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        const auto refused = [](const char *name, const char *steps, const char *focus, const char *message = "") { QTest::newRow(name)
            << QString(u"#1|"_s + QString::fromUtf8(steps) + u"|cmdUpdate"_s) << QString(u"focus="_s + QLatin1String(focus) + u";selected=1;open=1;file=kept;messages="_s + QString::fromUtf8(message)); };
        QTest::newRow("browsing, 更新 only sorts and stores: an unedited line keeps its record's bytes (NaN, Inf), twice") << "#1|cmdUpdate|cmdUpdate" << "first=NaN   -Inf  1.2345Inf      0;focus=cmdUpdate;open=0;file=kept;messages=";
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
    void window()
    {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        const auto write = [](const QList<BearingRecord> &r) {
            QVERIFY(RecordFiles::rewriteBearingFile(RecordFiles::bearingPath(), r).ok());
        };
        const float inf = float(qInf()); // NaN and Inf shown as what they are
        write({ { u"6204"_s, 0, 20, 47, 14, float(qQNaN()), -inf, 1.23456789f, inf },
            bearing(u"NU206"_s, 3, 30, 62) });
        for (const QString &step : steps.split(u'|')) {
            const QString box = step.section(u'=', 0, 0), value = step.section(u'=', 1);
            if (!m_w
                && !QStringList { u"unsorted"_s, u"torn"_s, u"empty"_s, u"twice"_s }.contains(
                    step)) {
                m_prompter.clear();
                m_tabs.clear();
                m_before = Fixture::readFile(RecordFiles::bearingPath());
                m_w = std::make_unique<frmEditer>(m_prompter);
                m_w->show();
                QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
                m_linesBefore = lines();
            }
            if (step == u"unsorted")
                write({ bearing(u"22312"_s, 0, 60, 130, 46), bearing(u"22210"_s, 0, 50, 90, 23),
                    bearing(u"23120"_s, 0, 100, 165, 52),
                    { u"22220"_s, 0, 0, 0, 0, 0.24f, 2.8f, 4.2f, 250 } });
            else if (step == u"torn")
                QVERIFY(Fixture::writeFile(RecordFiles::bearingPath(),
                    Fixture::readFile(RecordFiles::bearingPath())
                        + Fixture::bearingSlot("\x81 BAD").repeated(2) // the first named
                        + "torn tail!"));
            else if (step == u"empty")
                write({});
            else if (step == u"twice") // a model stored twice
                write({ bearing(u"6204"_s, 0, 20), bearing(u"NU206"_s, 3, 30),
                    bearing(u"6204"_s, 0, 25) });
            else if (step.startsWith(u"cmd"))
                click(step);
            else if (step.startsWith(u'#'))
                QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                    list()->visualRect(list()->model()->index(step.mid(1).toInt(), 0)).center());
            else if (step.startsWith(u'?'))
                check(step.mid(1));
            else if (box == u"tab") { // notes the box, and "wrap" if Tab went round the chain's end
                QWidget *f = m_w->focusWidget();
                QWidget *shown = f->objectName().isEmpty() ? f->parentWidget() : f;
                m_tabs << shown->objectName() + u'=' + shown->accessibleName();
                QTest::keyClicks(f, value + u'\t');
                for (QWidget *w = f; w != m_w->focusWidget(); w = w->nextInFocusChain())
                    m_tabs << (w->isWindow() ? QStringList(u"wrap"_s) : QStringList());
            } else if (step == u"enter")
                QTest::keyClick(get(u"txtBearing_0"_s), Qt::Key_Return);
            else if (step == u"gone")
                write({ bearing(u"6204"_s, 0, 20) });
            else if (step == u"blocked") // a folder where the list dump goes
                QVERIFY(QDir(m_dir->path()).mkdir(u"TestData.txt"_s));
            else if (box == u"type")
                get<QComboBox>(u"cboBearing"_s)->setCurrentIndex(value.toInt());
            else if (step == u"down") // the arrow key chooses too
                QTest::keyClick(list(), Qt::Key_Down);
            else if (step.contains(u'='))
                (get<QComboBox>(box) ? get<QComboBox>(box)->lineEdit() : get(box))->setText(value);
            else if (!Module1::AppendBearingRecord(u"7206"_s, 4, 0.68f, 0.87f, 0.92f, 30).ok())
                QFAIL("7206 not added");
            else if (step == u"program") { // as the platform reports the program losing the focus
                for (QWidget *w : std::initializer_list<QWidget *> { nullptr, m_w.get() }) {
                    QApplication::setActiveWindow(w);
                    emit qGuiApp->focusWindowChanged(w ? w->windowHandle() : nullptr);
                }
            } else {
                QWidget other(nullptr, step == u"dialog" ? Qt::Dialog : Qt::Window);
                other.show();
                QVERIFY(QTest::qWaitForWindowActive(&other));
                QApplication::setActiveWindow(m_w.get());
                QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
            }
        }
        check(expected);
    }
};

QTEST_MAIN(TestBearings)
#include "tst_bearings.moc"
