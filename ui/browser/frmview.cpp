#include "ui/browser/frmview.h"

#include "records/recordfile.h"
#include "records/recordlines.h"
#include "ui/browser/mainwindowlink.h"
#include "ui/browser/recordlistview.h"
#include "ui/common/prompter.h"
#include "ui/common/windowlayer.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

#include <cmath>
#include <tuple>
#include <utility>

frmView::frmView(MainWindowLink &link, Prompter &prompter, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_link(link)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmView"));
    setWindowTitle(QStringLiteral("参数记录"));
    WindowLayer::installAccessibleRoles();
    buildControls();

    connect(optParameter[0], &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            switchView(0);
    });
    connect(optParameter[1], &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            switchView(1);
    });
    connect(cmdSelect, &QPushButton::clicked, this, &frmView::filterBearings);
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::hide);
    connect(lstGear, &RecordListView::menuRequested, this,
        [this](const QPoint &pos) { showInputMenu(lstGear, pos); });
    connect(lstBearing, &RecordListView::menuRequested, this,
        [this](const QPoint &pos) { showInputMenu(lstBearing, pos); });
    connect(mnuInputShaft, &QAction::triggered, this, &frmView::inputShaft);
    connect(mnuInputBearingA, &QAction::triggered, this, [this] { inputBearing(u'A'); });
    connect(mnuInputBearingB, &QAction::triggered, this, [this] { inputBearing(u'B'); });
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &frmView::focusWindowChanged);
    txtDia->installEventFilter(this);
}

void frmView::buildControls()
{
    setFont(WindowLayer::songTi(11.25));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(1, 6, 1, 8);
    outer->setSpacing(4);
    buildLists(outer);
    outer->addSpacing(4);
    outer->addLayout(buildChoiceRow());
    buildInputMenu();

    setTabOrder(cmdExit, lstGear);
    setTabOrder(lstGear, lstBearing);
    setTabOrder(lstBearing, optParameter[1]);
    setTabOrder(optParameter[1], optParameter[0]);
    setTabOrder(optParameter[0], txtDia);
    setTabOrder(txtDia, cmdSelect);
}

void frmView::buildLists(QVBoxLayout *outer)
{
    const QFont lines = WindowLayer::cellFont(9.75);
    auto makeList = [&](const QString &name, const QString &accessibleName) {
        auto *model = new RecordLineModel(this);
        auto *list = new RecordListView(this);
        list->setObjectName(name);
        list->setAccessibleName(accessibleName);
        list->setFont(lines);
        list->setModel(model);
        list->setToolTip(QStringLiteral("单击右键选择"));
        WindowLayer::setBase(list, QColor(192, 192, 192));
        return std::pair { list, model };
    };
    std::tie(lstGear, m_gearLines)
        = makeList(QStringLiteral("lstGear"), QStringLiteral("轴系参数记录"));
    std::tie(lstBearing, m_bearingLines)
        = makeList(QStringLiteral("lstBearing"), QStringLiteral("轴承参数记录"));
    for (int i = 0; i < 2; ++i) {
        lblItem[i] = new QLabel(this);
        lblItem[i]->setObjectName(QStringLiteral("lblItem_%1").arg(i));
        lblItem[i]->setFont(lines);
        lblItem[i]->setTextFormat(Qt::PlainText);
    }

    // The lines are counted in characters; the list must hold a whole line of 70 cells.
    const QFontMetricsF metrics(lines);
    const qreal cell = metrics.horizontalAdvance(u'0');
    const int frame = lstGear->frameWidth();
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, lstGear);
    // An item's text starts after the text margin of the item delegate.
    const int textMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lstGear) + 1;
    const int rowHeight = lstGear->naturalRowHeight();
    for (RecordListView *list : { lstGear, lstBearing }) {
        list->setMinimumWidth(static_cast<int>(std::ceil(72 * cell)) + 2 * frame + scrollBar);
        list->setMinimumHeight(16 * rowHeight + 2 * frame);
    }
    m_gearLines->setCellMetrics(cell, 2 * textMargin, rowHeight);
    m_bearingLines->setCellMetrics(cell, 2 * textMargin, rowHeight);

    // lblItem(1) starts where the second column of a bearing line does, lblItem(0) over the first
    // character of a line.
    lblItem[0]->setFixedWidth(static_cast<int>(std::lround(RecordLines::ModelColumnWidth * cell)));
    auto *headings = new QHBoxLayout;
    headings->setContentsMargins(frame + textMargin, 0, 0, 0);
    headings->setSpacing(0);
    headings->addWidget(lblItem[0]);
    headings->addWidget(lblItem[1], 1);
    outer->addLayout(headings);
    outer->addWidget(lstGear, 1);
    outer->addWidget(lstBearing, 1);
    lstBearing->hide();
}

QHBoxLayout *frmView::buildChoiceRow()
{
    optParameter[0] = new QRadioButton(QStringLiteral("轴承参数"), this);
    optParameter[1] = new QRadioButton(QStringLiteral("轴系参数"), this);
    optParameter[0]->setObjectName(QStringLiteral("optParameter_0"));
    optParameter[1]->setObjectName(QStringLiteral("optParameter_1"));
    Label1 = new QLabel(QStringLiteral("关键值(d)"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtDia = new QLineEdit(this);
    txtDia->setObjectName(QStringLiteral("txtDia"));
    WindowLayer::setBase(txtDia, QColor(192, 192, 192));
    txtDia->setFixedWidth(
        QFontMetrics(txtDia->font()).horizontalAdvance(QStringLiteral("000000")) + 12);
    Label1->setBuddy(txtDia);
    cmdSelect = new QPushButton(QStringLiteral("筛 选"), this);
    cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    cmdExit = new QPushButton(QStringLiteral("退 出>>"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));

    auto *row = new QHBoxLayout;
    row->setContentsMargins(12, 0, 4, 0);
    row->addWidget(optParameter[1]);
    row->addSpacing(8);
    row->addWidget(optParameter[0]);
    row->addStretch(1);
    row->addWidget(Label1);
    row->addWidget(txtDia);
    row->addSpacing(4);
    row->addWidget(cmdSelect);
    row->addSpacing(8);
    row->addWidget(cmdExit);
    return row;
}

void frmView::buildInputMenu()
{
    mnuInput = new QMenu(QStringLiteral("读进数据"), this);
    mnuInput->setObjectName(QStringLiteral("mnuInput"));
    mnuInputShaft = mnuInput->addAction(QStringLiteral("->编  号"));
    mnuInputShaft->setObjectName(QStringLiteral("mnuInputShaft"));
    mnuSpace1 = mnuInput->addSeparator();
    mnuSpace1->setObjectName(QStringLiteral("mnuSpace1"));
    mnuInputBearingA = mnuInput->addAction(QStringLiteral("->轴 承A"));
    mnuInputBearingA->setObjectName(QStringLiteral("mnuInputBearingA"));
    mnuInputBearingB = mnuInput->addAction(QStringLiteral("->轴 承B"));
    mnuInputBearingB->setObjectName(QStringLiteral("mnuInputBearingB"));
}

void frmView::showAndLoad()
{
    if (!m_loaded)
        load();
    WindowLayer::bringToFront(this, nullptr);
    cmdExit->setFocus();
}

void frmView::load()
{
    // A fresh window: the shaft-system view as its option handler sets it, then the headings of the
    // load and the list. (Reading gear.sav once gives the same list as reading it twice.)
    txtDia->clear();
    {
        const QSignalBlocker blocker(optParameter[1]);
        optParameter[1]->setChecked(true);
    }
    setView(1);
    lblItem[0]->setText(RecordLines::gearKeyHeading());
    lblItem[1]->setText(RecordLines::gearHeadingOnLoad());
    m_bearingLines->setRecords(QList<BearingRecord>());
    FillGearList();
    m_loaded = true;
}

void frmView::setView(int i)
{
    const bool gears = i == 1;
    setWindowTitle(gears ? QStringLiteral("记 录--轴系参数") : QStringLiteral("记 录--轴承参数"));
    lstGear->setVisible(gears);
    lstBearing->setVisible(!gears);
    txtDia->setEnabled(!gears);
    cmdSelect->setEnabled(!gears);
    lblItem[0]->setText(gears ? RecordLines::gearKeyHeading() : RecordLines::bearingKeyHeading());
    lblItem[1]->setText(gears ? RecordLines::gearHeadingOnSwitch() : RecordLines::bearingHeading());
}

void frmView::switchView(int i)
{
    // Each switch re-reads its file, so records saved meanwhile appear; a filter in force is lost.
    setView(i);
    if (i == 1)
        FillGearList();
    else
        FillBearingList();
}

void frmView::FillGearList()
{
    auto read = RecordFiles::readShaftRecords(RecordFiles::gearPath());
    if (!read)
        m_prompter.inform(read.error().text());
    m_gearLines->setRecords(read ? std::move(read->records) : QList<ShaftRecord>());
}

void frmView::FillBearingList()
{
    fillBearings(std::nullopt);
}

void frmView::fillBearings(std::optional<int> bore)
{
    auto read = RecordFiles::readBearingRecords(RecordFiles::bearingPath());
    if (!read)
        m_prompter.inform(read.error().text());
    QList<BearingRecord> records = read ? std::move(read->records) : QList<BearingRecord>();
    m_bearingLines->setRecords(bore ? RecordLines::withBore(records, *bore) : std::move(records));
}

void frmView::filterBearings()
{
    fillBearings(RecordLines::boreKey(txtDia->text()));
    // The next key value replaces this one.
    txtDia->setFocus();
    txtDia->selectAll();
}

bool frmView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtDia && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            filterBearings();
            return true; // the Enter goes no further
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmView::showInputMenu(RecordListView *list, const QPoint &globalPos)
{
    if (!list->isVisible() || list->selectedRow() < 0)
        return;
    const bool gears = list == lstGear;
    mnuInputShaft->setEnabled(gears);
    mnuInputBearingA->setEnabled(!gears);
    mnuInputBearingB->setEnabled(!gears);
    mnuInput->popup(globalPos);
}

void frmView::inputShaft()
{
    const int row = lstGear->selectedRow();
    if (row < 0)
        return;
    const QString number = RecordLines::numberOfGearLine(m_gearLines->line(row));
    hide();
    m_link.recallShaftNumber(number);
}

void frmView::inputBearing(QChar side)
{
    const int row = lstBearing->selectedRow();
    if (row < 0)
        return;
    const RecordLines::BearingCopy copy = RecordLines::bearingOfLine(m_bearingLines->line(row));
    m_link.copyBearing(side, copy.model, copy.e, copy.Y1, copy.Y2, copy.Cr, copy.type);
}

void frmView::closeEvent(QCloseEvent *event)
{
    // The close box unloads the window: the next showing loads it afresh.
    m_loaded = false;
    event->accept();
}

void frmView::focusWindowChanged(QWindow *window)
{
    // Activation from another window of the program puts the focus on cmdExit; coming back from
    // another program (no focus window in between) or from the pop-up menu leaves it where it was.
    const QWindow *previous = m_lastFocusWindow;
    m_lastFocusWindow = window;
    if (window == nullptr || window != windowHandle() || previous == nullptr || previous == window)
        return;
    if (previous->type() == Qt::Popup || previous->type() == Qt::ToolTip)
        return;
    cmdExit->setFocus();
}
