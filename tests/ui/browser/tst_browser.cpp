// The record browser: its fixed-width lines column by column, the bore key, reading damaged files,
// and the window: views and headings, the filter, and the right-click copy into the main window.

#include "records/recordfile.h"
#include "support/workedexample.h"
#include "ui/browser/frmview.h"
#include "ui/browser/mainwindowlink.h"
#include "ui/browser/viewlines.h"
#include "ui/browser/viewlists.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStringEncoder>
#include <QTest>

#include <cmath>

using Fixture::bearingSlot;
using Fixture::strings;

namespace {

// Stands in for the main window: records what the browser asks of it.
class FakeLink : public MainWindowLink
{
public:
    QWidget *browser = nullptr;
    QStringList calls; // "side: model, e, y1, y2, cr, type", or "shaft: number"; "(hidden)" after
    void recallShaftNumber(const QString &number) override
    {
        calls << QStringLiteral("shaft: ") + number + (browser->isVisible() ? u"" : u" (hidden)");
    }
    void copyBearing(QChar side, const QString &model, const QString &e, const QString &y1,
        const QString &y2, const QString &cr, int type) override
    {
        calls << QStringList { QString(side) + u": " + model, e, y1, y2, cr, QString::number(type) }
                     .join(u", ")
                + (browser->isVisible() ? u"" : u" (hidden)");
    }
};

ShaftRecord shaft(const char *number, float p1, float p2, const char *a = "30208")
{
    ShaftRecord r;
    r.ShaftNo = QString::fromUtf8(number);
    r.P1 = p1, r.P2 = p2, r.n = 960, r.L = 250;
    r.ModelA = QString::fromUtf8(a);
    r.ModelB = QStringLiteral("NU210       "); // as read: padded to 12 characters
    return r;
}

} // namespace

class TestBrowser : public QObject
{
    Q_OBJECT

    Fixture::AppDirectory m_dir;
    ScriptedPrompter m_prompter;
    FakeLink m_link;
    frmView *m_view = nullptr;

    template <typename T> T *child(const char *name) const
    {
        T *w = m_view->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QStringList shown(const char *list, int columns = 12) const
    {
        const QAbstractItemModel *model = child<QListView>(list)->model();
        QStringList out;
        for (int row = 0; row < model->rowCount(); ++row)
            out << model->index(row, 0).data().toString().left(columns).trimmed();
        return out;
    }
    void click(const char *name)
    {
        QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
    }
    void clickRow(const QByteArray &list, int row, Qt::MouseButton button)
    {
        auto *view = child<QListView>(list.constData());
        QTest::mouseClick(
            view->viewport(), button, {}, view->visualRect(view->model()->index(row, 0)).center());
    }
    QStringList selectedRows(const QByteArray &list)
    {
        QStringList rows;
        for (const QModelIndex &i :
            child<QListView>(list.constData())->selectionModel()->selectedIndexes())
            rows << QString::number(i.row());
        return rows;
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German)); // a comma-decimal locale must not leak in
    }
    void init()
    {
        QVERIFY(Fixture::writeFile(RecordFiles::gearPath(),
            RecordLayout::encodeShaft(shaft("WX-101", 5.5f, 5.5f))
                + RecordLayout::encodeShaft(shaft("WX-102", 75, 60, "6208-X"))));
        QVERIFY(Fixture::writeFile(RecordFiles::bearingPath(),
            bearingSlot("30208", 1, 0.37f, 1.6f, 0.9f, 63, 40)
                + bearingSlot("NU210", 3, 0, 0, 0, 1234.567f, 50)
                + bearingSlot("6208-X", 0, 0.24f, 2.8f, 4.2f, 29.5f, 40)
                + bearingSlot("7208B", 4, 1, 1, 1, 1, 42)
                + bearingSlot("BAD12", 12, 1, 1, 1, 1, 45)));
        m_prompter.clear();
        m_link.calls.clear();
        m_view = new frmView(m_link, m_prompter);
        m_link.browser = m_view;
    }
    void cleanup()
    {
        delete m_view;
        m_view = nullptr;
    }

    // Columns: number 16 | power 12 | speed 8 | span 8 | model A 13 | model B 13.
    // clang-format off
    void gearLine_data()
    {
        QTest::addColumn<ShaftRecord>("record");
        QTest::addColumn<QString>("columns");
        QTest::newRow("one power") << shaft("WX-1", 5.5f, 5.5f) << QStringLiteral(
            "WX-1            |5.5         |960     |250     |30208        |NU210        ");
        // 0.01f - 0 is the float nearest 0.01 itself: "at most" keeps P1 alone.
        QTest::newRow("difference of exactly 0.01 shows P1") << shaft("G4", 0.01f, 0) << QStringLiteral(
            "G4              |0.01        |960     |250     |30208        |NU210        ");
        QTest::newRow("just above 0.01 shows both") << shaft("G5", std::nextafter(0.01f, 1.0f), 0)
            << QStringLiteral("G5              |0.01/0      |960     |250     |30208        |NU210        ");
        ShaftRecord r = shaft("ABCDEFGHIJKLMNO", 1234.567f, 7654.321f, "ABCDEFGHIJ12");
        r.n = 123456.7f, r.L = -120;
        QTest::newRow("15-character number, power cut, speed fills 8, 12-character model") << r
            << QStringLiteral("ABCDEFGHIJKLMNO |1234.567/765|123456.7|-120    |ABCDEFGHIJ12 |NU210        ");
        QTest::newRow("Chinese number counts characters") << shaft("轴系一", 3, 3) << QStringLiteral(
            "轴系一             |3           |960     |250     |30208        |NU210        ");
    }
    // clang-format on
    void gearLine()
    {
        QFETCH(ShaftRecord, record);
        QFETCH(QString, columns);
        QList<qsizetype> widths;
        for (const QString &c : columns.split(u'|'))
            widths << c.size();
        QCOMPARE(widths, QList<qsizetype>({ 16, 12, 8, 8, 13, 13 }));
        QCOMPARE(ViewGearLine(record), QString(columns).remove(u'|'));
    }

    // Columns: model 13 | d, D, B, e, Y1, Y2, Cr 7 each | 4 blanks | type.
    // clang-format off
    void bearingLine_data()
    {
        QTest::addColumn<QByteArray>("slot");
        QTest::addColumn<QString>("line");
        //                            model        d      D      B      e      Y1     Y2     Cr
        QTest::newRow("tapered roller") << bearingSlot("30208", 1, 0.37f, 1.6f, 0.9f, 63, 40, 80, 18)
            << QStringLiteral("30208        40     80     18     0.37   1.6    0.9    63         1");
        QTest::newRow("12-character model, negative d, Cr 1234.567 shows 1234.56")
            << bearingSlot("ABCDEFGHIJ12", 3, 0, 1.6f, 0.9f, 1234.567f, -5, 35, 18)
            << QStringLiteral("ABCDEFGHIJ12 -5     35     18     0      1.6    0.9    1234.56    3");
        QTest::newRow("type 200 is shown whole") << bearingSlot("BAD", 200, 1, 1, 1, 1, 40, 80, 18)
            << QStringLiteral("BAD          40     80     18     1      1      1      1          200");
    }
    // clang-format on
    void bearingLine()
    {
        QFETCH(QByteArray, slot);
        QFETCH(QString, line);
        QCOMPARE(ViewBearingLine(RecordLayout::decodeBearing(slot.constData())), line);
    }

    // Each name of the bearing heading stands over the second cell of its column: d over 15
    // (column 14-20), D over 22, ..., Cr over 57, and 类型 over 66-69 where the type digit is 67.
    void headingOverColumns()
    {
        const QString h = ViewLines::bearingHeading();
        QList<qsizetype> at;
        for (const char *name : { "d", "D", "B", "e", "Y1", "Y2", "Cr", "类型" })
            at << 14 + h.indexOf(QString::fromUtf8(name));
        QCOMPARE(at, QList<qsizetype>({ 15, 22, 29, 36, 43, 50, 57, 66 }));
    }

    // clang-format off
    void boreKey_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("key"); // 0: the whole catalogue
        QTest::newRow("40.5 halves to even 40") << QStringLiteral("40.5") << 40;
        QTest::newRow("41.5 halves to even 42") << QStringLiteral("41.5") << 42;
        QTest::newRow("0.5 halves to 0: all") << QStringLiteral("0.5") << 0;
        QTest::newRow("-3: all") << QStringLiteral("-3") << 0;
        QTest::newRow("beyond 16 bits matches nothing") << QStringLiteral("99999") << 32768;
    }
    // clang-format on
    void boreKey()
    {
        QFETCH(QString, text);
        QFETCH(int, key);
        const std::optional<int> bore = ViewLines::boreKey(text);
        QCOMPARE(bore.value_or(0), key);
        QCOMPARE(bore.has_value(), key != 0);
    }

    // Bad GBK, NUL padding and odd types still give one clean line each.
    void damagedFiles()
    {
        QByteArray nulPadded("NUL");
        nulPadded.append(9, '\0');
        QVERIFY(Fixture::writeFile(RecordFiles::bearingPath(),
            bearingSlot("\x81 BAD", 1, 0.37f, 1.6f, 0.9f, 63, 40)
                + bearingSlot("A\x81\x7F", 2, 0.37f, 1.6f, 0.9f, 63, 40)
                + bearingSlot(nulPadded, 9, 0.37f, 1.6f, 0.9f, 63, 40)
                + bearingSlot(QStringEncoder("GBK").encode(QStringLiteral("轴承")), 4, 0.37f, 1.6f,
                    0.9f, 63, 40)));
        QStringList lines;
        StoreError error;
        QVERIFY(
            ViewLists::readBearingLines(RecordFiles::bearingPath(), std::nullopt, lines, error));
        QCOMPARE(lines.size(), 4);
        QStringList models;
        for (const QString &line : std::as_const(lines)) {
            QCOMPARE(line.mid(13, 53),
                QStringLiteral("40     52     15     0.37   1.6    0.9    63         "));
            models << line.left(13);
        }
        const QChar bad(QChar::ReplacementCharacter);
        QCOMPARE(models,
            QStringList({ bad + QStringLiteral(" BAD        "),
                QStringLiteral("A") + bad + QStringLiteral("           "),
                QStringLiteral("NUL          "), QStringLiteral("轴承           ") }));
        QCOMPARE(ViewLines::bearingOfLine(lines.at(2)).type, 9);
    }

    void viewsAndHeadings()
    {
        m_view->showAndLoad();
        QVERIFY(QTest::qWaitForWindowExposed(m_view));
        QVERIFY(!child<QListView>("lstBearing")->isVisible()
            && !child<QLineEdit>("txtDia")->isEnabled());
        QCOMPARE(child<QLabel>("lblItem_1")->text(), ViewLines::gearHeadingOnLoad());
        QCOMPARE(shown("lstGear", 70),
            QStringList({ ViewGearLine(shaft("WX-101", 5.5f, 5.5f)).trimmed(),
                ViewGearLine(shaft("WX-102", 75, 60, "6208-X")).trimmed() }));
        QVERIFY(child<QPushButton>("cmdExit")->hasFocus());

        click("optParameter_0");
        QVERIFY(
            !child<QListView>("lstGear")->isVisible() && child<QLineEdit>("txtDia")->isEnabled());
        QCOMPARE(child<QLabel>("lblItem_1")->text(), ViewLines::bearingHeading());
        QCOMPARE(shown("lstBearing"), strings({ "30208", "NU210", "6208-X", "7208B", "BAD12" }));

        // A record saved meanwhile appears with the next switch, under the other heading.
        QFile gear(RecordFiles::gearPath());
        QVERIFY(gear.open(QIODevice::Append)
            && gear.write(RecordLayout::encodeShaft(shaft("WX-103", 1, 1))));
        gear.close();
        click("optParameter_1");
        QCOMPARE(child<QLabel>("lblItem_1")->text(), ViewLines::gearHeadingOnSwitch());
        QCOMPARE(shown("lstGear").size(), 3);

        // Exit hides the window as it is; the close box unloads it.
        click("optParameter_0");
        child<QLineEdit>("txtDia")->setText(QStringLiteral("40"));
        click("cmdSelect");
        QFile bearings(RecordFiles::bearingPath());
        QVERIFY(bearings.open(QIODevice::Append)
            && bearings.write(bearingSlot("NEW40", 0, 1, 1, 1, 1, 40)));
        bearings.close();
        click("cmdExit");
        QVERIFY(!m_view->isVisible());
        m_view->showAndLoad(); // not reread
        QCOMPARE(shown("lstBearing"), strings({ "30208", "6208-X" }));
        m_view->close();
        m_view->showAndLoad(); // unloaded: the shaft-system view again, no key
        QVERIFY(child<QListView>("lstGear")->isVisible()
            && child<QLineEdit>("txtDia")->text().isEmpty());
    }

    void filter()
    {
        m_view->showAndLoad();
        QVERIFY(QTest::qWaitForWindowActive(m_view));
        click("optParameter_0");
        auto *txtDia = child<QLineEdit>("txtDia");
        for (const auto &[key, models] : { std::pair { "41.5", strings({ "7208B" }) },
                 std::pair { "abc", strings({ "30208", "NU210", "6208-X", "7208B", "BAD12" }) },
                 std::pair { "40", strings({ "30208", "6208-X" }) },
                 std::pair { "77", QStringList() } }) {
            txtDia->setText(QString::fromLatin1(key));
            click("cmdSelect");
            QCOMPARE(shown("lstBearing"), models);
            // The focus goes back to the key box with its text selected, to be typed over.
            QVERIFY(txtDia->hasFocus());
            QCOMPARE(txtDia->selectedText(), QString::fromLatin1(key));
        }
        QTest::keyClicks(txtDia, QStringLiteral("42"));
        QTest::keyClick(txtDia, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(shown("lstBearing"), strings({ "7208B" }));
        QCOMPARE(txtDia->text(), QStringLiteral("42")); // Enter swallowed
    }

    // clang-format off
    void rightClick_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("call"); // "(hidden)": the browser hid before the call
        QTest::newRow("number, browser hidden first") << QStringLiteral("lstGear") << 1
            << QStringLiteral("mnuInputShaft") << QStringLiteral("shaft: WX-102 (hidden)");
        QTest::newRow("tapered roller into A") << QStringLiteral("lstBearing") << 0
            << QStringLiteral("mnuInputBearingA") << QStringLiteral("A: 30208, 0.37, 1.6, 0.9, 63, 1");
        QTest::newRow("Cr 1234.567 copied as 1234.56 into B") << QStringLiteral("lstBearing") << 1
            << QStringLiteral("mnuInputBearingB") << QStringLiteral("B: NU210, 0, 0, 0, 1234.56, 3");
        QTest::newRow("stored type 12 is not taken for 2") << QStringLiteral("lstBearing") << 4
            << QStringLiteral("mnuInputBearingA") << QStringLiteral("A: BAD12, 1, 1, 1, 1, 12");
    }
    // clang-format on
    void rightClick()
    {
        QFETCH(QString, list);
        QFETCH(int, row);
        QFETCH(QString, action);
        QFETCH(QString, call);
        m_view->showAndLoad();
        QVERIFY(QTest::qWaitForWindowExposed(m_view));
        if (list == u"lstBearing")
            click("optParameter_0");
        const QByteArray name = list.toLatin1();
        auto *menu = child<QMenu>("mnuInput");
        clickRow(name, row, Qt::RightButton); // nothing selected: no menu, no selection
        QVERIFY(!menu->isVisible());
        QVERIFY(selectedRows(name).isEmpty());
        clickRow(name, row, Qt::LeftButton);
        clickRow(name, row == 0 ? 1 : 0, Qt::RightButton); // on another line
        QCOMPARE(selectedRows(name), QStringList { QString::number(row) }); // not moved
        QVERIFY(menu->isVisible());
        QCOMPARE(child<QAction>("mnuInputShaft")->isEnabled(), list == u"lstGear");
        QCOMPARE(child<QAction>("mnuInputBearingA")->isEnabled(), list == u"lstBearing");
        m_view->findChild<QAction *>(action)->trigger();
        menu->hide();
        QCOMPARE(m_link.calls, QStringList { call });
    }

    void unreadableFileIsReported()
    {
        QFile::remove(RecordFiles::gearPath());
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("gear.sav")));
        m_view->showAndLoad();
        QVERIFY(QDir(m_dir.path()).rmdir(QStringLiteral("gear.sav")));
        QVERIFY(shown("lstGear").isEmpty());
        QCOMPARE(m_prompter.shown.size(), 1);
        QVERIFY(Fixture::isFailureBox(m_prompter.shown.at(0)));
        QVERIFY(m_prompter.shown.at(0).text.startsWith(
            QDir::toNativeSeparators(RecordFiles::gearPath())));
    }
};

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
