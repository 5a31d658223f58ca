// The record browser window: loading and showing, the views, the bore filter and the right-click
// pop-up that copies a line into the main window.

#include "records/recordfile.h"
#include "support/scriptedprompter.h"
#include "ui/browser/frmview.h"
#include "ui/browser/mainwindowlink.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Stands in for the main window: records what the browser asks of it.
class FakeLink : public MainWindowLink
{
public:
    struct Call
    {
        QString what; // "shaft" or "bearing"
        QChar side;
        QStringList texts; // number, or model, e, y1, y2, cr
        int type = -1;
        bool browserVisible = false;
    };

    QWidget *browser = nullptr;
    QList<Call> calls;

    void recallShaftNumber(const QString &number) override
    {
        calls.append({ QStringLiteral("shaft"), QChar(), { number }, -1, browser->isVisible() });
    }
    void copyBearing(QChar side, const QString &model, const QString &e, const QString &y1,
        const QString &y2, const QString &cr, int type) override
    {
        calls.append({ QStringLiteral("bearing"), side, { model, e, y1, y2, cr }, type,
            browser->isVisible() });
    }
};

ShaftRecord shaft(const QString &number, float p1, float p2, const QString &a, const QString &b)
{
    ShaftRecord r;
    r.ShaftNo = number;
    r.P1 = p1;
    r.P2 = p2;
    r.n = 960;
    r.L = 250;
    r.ModelA = a;
    r.ModelB = b;
    return r;
}

BearingRecord bearing(const QString &model, int type, int d, float e, float y1, float y2, float cr)
{
    BearingRecord r;
    r.Model = model;
    r.Type = static_cast<std::uint8_t>(type);
    r.d = static_cast<std::int16_t>(d);
    r.D = static_cast<std::int16_t>(2 * d);
    r.B = 20;
    r.e = e;
    r.Y1 = y1;
    r.Y2 = y2;
    r.Cr = cr;
    return r;
}

void appendFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Append));
    QCOMPARE(file.write(bytes), bytes.size());
}

const QStringList allBearings { QStringLiteral("30208"), QStringLiteral("NU210"),
    QStringLiteral("6208-X"), QStringLiteral("7208B"), QStringLiteral("BAD7"),
    QStringLiteral("BAD12") };

} // namespace

class tst_frmView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadShowsShaftSystemsWithLoadHeading();
    void switchingViewsRereadsAndSetsHeadings();
    void exitHidesWithoutRereadingAndCloseUnloads();
    void filter_data();
    void filter();
    void enterInKeyBoxFiltersAndIsSwallowed();
    void rightClickWithoutSelectionShowsNoMenu();
    void rightClickKeepsSelectionAndCopiesNumber();
    void rightClickCopiesBearingAsShown_data();
    void rightClickCopiesBearingAsShown();
    void unreadableFileIsReported();

private:
    template <typename T> T *child(const char *name) const
    {
        T *w = m_view->findChild<T *>(QString::fromLatin1(name));
        if (w == nullptr)
            qFatal("no control %s", name);
        return w;
    }
    QStringList shownLines(const char *list) const;
    QStringList shownModels() const;
    QPoint rowCenter(QListView *list, int row) const;
    void select(QListView *list, int row);
    void rightClick(QListView *list, int row);

    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;
    FakeLink m_link;
    frmView *m_view = nullptr;
};

void tst_frmView::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::German));
    QVERIFY(m_dir.isValid());
    RecordFiles::setAppDirectory(m_dir.path());
}

void tst_frmView::init()
{
    QFile::remove(RecordFiles::gearPath());
    QFile::remove(RecordFiles::bearingPath());
    appendFile(RecordFiles::gearPath(),
        RecordLayout::encodeShaft(shaft(
            QStringLiteral("WX-101"), 5.5f, 5.5f, QStringLiteral("30208"), QStringLiteral("NU210")))
            + RecordLayout::encodeShaft(shaft(QStringLiteral("WX-102"), 75, 60,
                QStringLiteral("6208-X"), QStringLiteral("7208B"))));
    QByteArray bearings;
    bearings += RecordLayout::encodeBearing(
        bearing(QStringLiteral("30208"), 1, 40, 0.37f, 1.6f, 0.9f, 63));
    bearings
        += RecordLayout::encodeBearing(bearing(QStringLiteral("NU210"), 3, 50, 0, 0, 0, 1234.567f));
    bearings += RecordLayout::encodeBearing(
        bearing(QStringLiteral("6208-X"), 0, 40, 0.24f, 2.8f, 4.2f, 29.5f));
    bearings += RecordLayout::encodeBearing(
        bearing(QStringLiteral("7208B"), 4, 42, 1.14f, 0.57f, 0.93f, 35.2f));
    bearings += RecordLayout::encodeBearing(bearing(QStringLiteral("BAD7"), 7, 45, 1, 1, 1, 1));
    bearings += RecordLayout::encodeBearing(bearing(QStringLiteral("BAD12"), 12, 45, 1, 1, 1, 1));
    appendFile(RecordFiles::bearingPath(), bearings);

    m_prompter.clear();
    m_link.calls.clear();
    m_view = new frmView(m_link, m_prompter);
    m_link.browser = m_view;
}

void tst_frmView::cleanup()
{
    delete m_view;
    m_view = nullptr;
}

QStringList tst_frmView::shownLines(const char *list) const
{
    const QAbstractItemModel *model = child<QListView>(list)->model();
    QStringList out;
    for (int row = 0; row < model->rowCount(); ++row)
        out.append(model->index(row, 0).data().toString());
    return out;
}

QStringList tst_frmView::shownModels() const
{
    QStringList out;
    for (const QString &line : shownLines("lstBearing"))
        out.append(line.left(12).trimmed());
    return out;
}

QPoint tst_frmView::rowCenter(QListView *list, int row) const
{
    return list->visualRect(list->model()->index(row, 0)).center();
}

void tst_frmView::select(QListView *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCenter(list, row));
}

void tst_frmView::rightClick(QListView *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, rowCenter(list, row));
}

void tst_frmView::loadShowsShaftSystemsWithLoadHeading()
{
    m_view->showAndLoad();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
    QCOMPARE(m_view->windowTitle(), QStringLiteral("记 录--轴系参数"));
    QVERIFY(child<QListView>("lstGear")->isVisible());
    QVERIFY(!child<QListView>("lstBearing")->isVisible());
    QVERIFY(child<QRadioButton>("optParameter_1")->isChecked());
    QVERIFY(!child<QLineEdit>("txtDia")->isEnabled());
    QVERIFY(!child<QPushButton>("cmdSelect")->isEnabled());
    QCOMPARE(child<QLabel>("lblItem_0")->text(), QStringLiteral(" 编 号"));
    QCOMPARE(child<QLabel>("lblItem_1")->text(),
        QStringLiteral("    功率(kW)    转速     跨距    轴承A        轴承B"));
    QCOMPARE(shownLines("lstGear"),
        (QStringList {
            QStringLiteral(
                "WX-101          5.5         960     250     30208        NU210        "),
            QStringLiteral(
                "WX-102          75/60       960     250     6208-X       7208B        ") }));
    QVERIFY(child<QPushButton>("cmdExit")->hasFocus());
    QVERIFY(m_prompter.shown.isEmpty());
}

void tst_frmView::switchingViewsRereadsAndSetsHeadings()
{
    m_view->showAndLoad();
    QTest::mouseClick(child<QRadioButton>("optParameter_0"), Qt::LeftButton);
    QCOMPARE(m_view->windowTitle(), QStringLiteral("记 录--轴承参数"));
    QVERIFY(child<QListView>("lstBearing")->isVisible());
    QVERIFY(!child<QListView>("lstGear")->isVisible());
    QVERIFY(child<QLineEdit>("txtDia")->isEnabled());
    QVERIFY(child<QPushButton>("cmdSelect")->isEnabled());
    QCOMPARE(child<QLabel>("lblItem_0")->text(), QStringLiteral(" 型 号"));
    QCOMPARE(child<QLabel>("lblItem_1")->text(),
        QStringLiteral(" d      D      B      e      Y1     Y2     Cr(kN)   类型"));
    QCOMPARE(shownModels(), allBearings);

    // A record saved meanwhile appears with the next switch; the option handler's heading has
    // four blanks between 转速 and 跨距.
    appendFile(RecordFiles::gearPath(),
        RecordLayout::encodeShaft(shaft(QStringLiteral("WX-103"), 1, 1, QString(), QString())));
    QTest::mouseClick(child<QRadioButton>("optParameter_1"), Qt::LeftButton);
    QCOMPARE(m_view->windowTitle(), QStringLiteral("记 录--轴系参数"));
    QCOMPARE(child<QLabel>("lblItem_1")->text(),
        QStringLiteral("    功率(kW)    转速    跨距    轴承A        轴承B"));
    QCOMPARE(shownLines("lstGear").size(), 3);
    QVERIFY(!child<QLineEdit>("txtDia")->isEnabled());
}

void tst_frmView::exitHidesWithoutRereadingAndCloseUnloads()
{
    m_view->showAndLoad();
    QTest::mouseClick(child<QRadioButton>("optParameter_0"), Qt::LeftButton);
    child<QLineEdit>("txtDia")->setText(QStringLiteral("40"));
    QTest::mouseClick(child<QPushButton>("cmdSelect"), Qt::LeftButton);
    appendFile(RecordFiles::bearingPath(),
        RecordLayout::encodeBearing(bearing(QStringLiteral("NEW40"), 0, 40, 1, 1, 1, 1)));

    QTest::mouseClick(child<QPushButton>("cmdExit"), Qt::LeftButton);
    QVERIFY(!m_view->isVisible());
    // Opening again shows the same window as it was left: same view, filter and lines.
    m_view->showAndLoad();
    QVERIFY(m_view->isVisible());
    QCOMPARE(m_view->windowTitle(), QStringLiteral("记 录--轴承参数"));
    QCOMPARE(child<QLineEdit>("txtDia")->text(), QStringLiteral("40"));
    QCOMPARE(shownModels(), (QStringList { QStringLiteral("30208"), QStringLiteral("6208-X") }));
    QCOMPARE(m_view->parentWidget(), nullptr);
    QCOMPARE(QApplication::topLevelWidgets().count(m_view), 1);

    // The close box unloads it: the next opening starts again in the shaft-system view.
    m_view->close();
    m_view->showAndLoad();
    QCOMPARE(m_view->windowTitle(), QStringLiteral("记 录--轴系参数"));
    QVERIFY(child<QRadioButton>("optParameter_1")->isChecked());
    QVERIFY(child<QLineEdit>("txtDia")->text().isEmpty());
    QCOMPARE(child<QLabel>("lblItem_1")->text(),
        QStringLiteral("    功率(kW)    转速     跨距    轴承A        轴承B"));
    QTest::mouseClick(child<QRadioButton>("optParameter_0"), Qt::LeftButton);
    QCOMPARE(shownModels().size(), allBearings.size() + 1);
}

// clang-format off
void tst_frmView::filter_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("models");

    const QStringList bore40{QStringLiteral("30208"), QStringLiteral("6208-X")};
    QTest::newRow("40") << QStringLiteral("40") << bore40;
    QTest::newRow("40mm") << QStringLiteral("40mm") << bore40;
    QTest::newRow("40.5 -> 40") << QStringLiteral("40.5") << bore40;
    QTest::newRow("41.5 -> 42") << QStringLiteral("41.5") << QStringList{QStringLiteral("7208B")};
    QTest::newRow("no such bore") << QStringLiteral("77") << QStringList();
    QTest::newRow("empty") << QString() << allBearings;
    QTest::newRow("0") << QStringLiteral("0") << allBearings;
    QTest::newRow("-3") << QStringLiteral("-3") << allBearings;
    QTest::newRow("abc") << QStringLiteral("abc") << allBearings;
}
// clang-format on

void tst_frmView::filter()
{
    QFETCH(QString, key);
    QFETCH(QStringList, models);

    m_view->showAndLoad();
    QVERIFY(QTest::qWaitForWindowActive(m_view));
    QTest::mouseClick(child<QRadioButton>("optParameter_0"), Qt::LeftButton);
    auto *txtDia = child<QLineEdit>("txtDia");
    // Start from a filtered list, so "show all" must really refill it.
    txtDia->setText(QStringLiteral("50"));
    QTest::mouseClick(child<QPushButton>("cmdSelect"), Qt::LeftButton);
    QCOMPARE(shownModels(), QStringList { QStringLiteral("NU210") });

    txtDia->setText(key);
    QTest::mouseClick(child<QPushButton>("cmdSelect"), Qt::LeftButton);
    QCOMPARE(shownModels(), models);
    // The focus goes back to the key box with its text selected, so the next key replaces it.
    QVERIFY(txtDia->hasFocus());
    QCOMPARE(txtDia->selectedText(), key);
}

void tst_frmView::enterInKeyBoxFiltersAndIsSwallowed()
{
    m_view->showAndLoad();
    QTest::mouseClick(child<QRadioButton>("optParameter_0"), Qt::LeftButton);
    auto *txtDia = child<QLineEdit>("txtDia");
    txtDia->setFocus();
    QTest::keyClicks(txtDia, QStringLiteral("42"));
    QTest::keyClick(txtDia, Qt::Key_Return);
    QCOMPARE(shownModels(), QStringList { QStringLiteral("7208B") });
    QCOMPARE(txtDia->text(), QStringLiteral("42"));
    QCOMPARE(txtDia->selectedText(), QStringLiteral("42"));
    // Typing replaces the selected key; Enter of the keypad works the same way.
    QTest::keyClicks(txtDia, QStringLiteral("40"));
    QTest::keyClick(txtDia, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(shownModels(), (QStringList { QStringLiteral("30208"), QStringLiteral("6208-X") }));
    QCOMPARE(txtDia->text(), QStringLiteral("40"));
}

void tst_frmView::rightClickWithoutSelectionShowsNoMenu()
{
    m_view->showAndLoad();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
    auto *lstGear = child<QListView>("lstGear");
    auto *menu = child<QMenu>("mnuInput");
    rightClick(lstGear, 1);
    QVERIFY(!menu->isVisible());
    QVERIFY(lstGear->selectionModel()->selectedIndexes().isEmpty());

    // An empty list shows no menu either.
    QFile::resize(RecordFiles::bearingPath(), 0);
    QTest::mouseClick(child<QRadioButton>("optParameter_0"), Qt::LeftButton);
    auto *lstBearing = child<QListView>("lstBearing");
    QCOMPARE(lstBearing->model()->rowCount(), 0);
    QTest::mouseClick(lstBearing->viewport(), Qt::RightButton, {}, QPoint(20, 10));
    QVERIFY(!menu->isVisible());
    QVERIFY(m_link.calls.isEmpty());
}

void tst_frmView::rightClickKeepsSelectionAndCopiesNumber()
{
    m_view->showAndLoad();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
    auto *lstGear = child<QListView>("lstGear");
    auto *menu = child<QMenu>("mnuInput");
    select(lstGear, 1);
    rightClick(lstGear, 0);
    // The right click did not move the selection, and the menu offers only the number.
    QCOMPARE(lstGear->selectionModel()->selectedIndexes().size(), 1);
    QCOMPARE(lstGear->selectionModel()->selectedIndexes().first().row(), 1);
    QVERIFY(menu->isVisible());
    QVERIFY(child<QAction>("mnuInputShaft")->isEnabled());
    QVERIFY(!child<QAction>("mnuInputBearingA")->isEnabled());
    QVERIFY(!child<QAction>("mnuInputBearingB")->isEnabled());

    child<QAction>("mnuInputShaft")->trigger();
    menu->hide();
    QCOMPARE(m_link.calls.size(), 1);
    QCOMPARE(m_link.calls.at(0).what, QStringLiteral("shaft"));
    QCOMPARE(m_link.calls.at(0).texts, QStringList { QStringLiteral("WX-102") });
    QVERIFY(!m_link.calls.at(0).browserVisible); // hidden before the number is written
    QVERIFY(!m_view->isVisible());
}

// clang-format off
void tst_frmView::rightClickCopiesBearingAsShown_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QChar>("side");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("type");

    QTest::newRow("tapered roller into A")
        << 0 << QStringLiteral("mnuInputBearingA") << QChar(u'A')
        << QStringList{QStringLiteral("30208"), QStringLiteral("0.37"), QStringLiteral("1.6"),
                       QStringLiteral("0.9"), QStringLiteral("63")}
        << 1;
    QTest::newRow("Cr 1234.567 copied as 1234.56 into B")
        << 1 << QStringLiteral("mnuInputBearingB") << QChar(u'B')
        << QStringList{QStringLiteral("NU210"), QStringLiteral("0"), QStringLiteral("0"),
                       QStringLiteral("0"), QStringLiteral("1234.56")}
        << 3;
    QTest::newRow("stored type 7 is passed on as 7")
        << 4 << QStringLiteral("mnuInputBearingA") << QChar(u'A')
        << QStringList{QStringLiteral("BAD7"), QStringLiteral("1"), QStringLiteral("1"),
                       QStringLiteral("1"), QStringLiteral("1")}
        << 7;
    QTest::newRow("stored type 12 is not taken for 2")
        << 5 << QStringLiteral("mnuInputBearingB") << QChar(u'B')
        << QStringList{QStringLiteral("BAD12"), QStringLiteral("1"), QStringLiteral("1"),
                       QStringLiteral("1"), QStringLiteral("1")}
        << 12;
}
// clang-format on

void tst_frmView::rightClickCopiesBearingAsShown()
{
    QFETCH(int, row);
    QFETCH(QString, action);
    QFETCH(QChar, side);
    QFETCH(QStringList, texts);
    QFETCH(int, type);

    m_view->showAndLoad();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
    QTest::mouseClick(child<QRadioButton>("optParameter_0"), Qt::LeftButton);
    auto *lstBearing = child<QListView>("lstBearing");
    auto *menu = child<QMenu>("mnuInput");
    select(lstBearing, row);
    rightClick(lstBearing, row == 0 ? 2 : 0); // on another line than the highlighted one
    QCOMPARE(lstBearing->selectionModel()->selectedIndexes().first().row(), row);
    QVERIFY(menu->isVisible());
    QVERIFY(!child<QAction>("mnuInputShaft")->isEnabled());
    QVERIFY(child<QAction>("mnuInputBearingA")->isEnabled());
    QVERIFY(child<QAction>("mnuInputBearingB")->isEnabled());

    m_view->findChild<QAction *>(action)->trigger();
    menu->hide();
    QCOMPARE(m_link.calls.size(), 1);
    const FakeLink::Call call = m_link.calls.at(0);
    QCOMPARE(call.what, QStringLiteral("bearing"));
    QCOMPARE(call.side, side);
    QCOMPARE(call.texts, texts);
    QCOMPARE(call.type, type);
    QVERIFY(call.browserVisible);
    QVERIFY(m_view->isVisible()); // the browser stays in front
}

void tst_frmView::unreadableFileIsReported()
{
    QFile::remove(RecordFiles::gearPath());
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("gear.sav")));
    m_view->showAndLoad();
    QDir(m_dir.path()).rmdir(QStringLiteral("gear.sav"));
    QCOMPARE(shownLines("lstGear"), QStringList());
    QCOMPARE(m_prompter.shown.size(), 1);
    QVERIFY(
        m_prompter.shown.at(0).text.contains(QDir::toNativeSeparators(RecordFiles::gearPath())));
    QCOMPARE(m_prompter.shown.at(0).title, QStringLiteral("Tolvenar"));
    QCOMPARE(m_prompter.shown.at(0).icon, Prompter::Icon::Information);
}

QTEST_MAIN(tst_frmView)
#include "tst_frmview.moc"
