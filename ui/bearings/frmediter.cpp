#include "ui/bearings/frmediter.h"

#include "calc/calcinput.h"
#include "calc/conversions.h"
#include "catalogue/catalogue.h"
#include "catalogue/editerline.h"
#include "ui/common/windowlayer.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QWindow>

namespace {

using WindowLayer::px;
using WindowLayer::setBase;

// Places a control at its designed position; a control whose font needs more height than designed
// grows evenly up and down around the designed middle, so no text is clipped.
void place(QWidget *w, int left, int top, int width, int height)
{
    const int h = std::max(px(height), w->minimumSizeHint().height());
    w->setGeometry(px(left), px(top) + (px(height) - h) / 2, px(width), h);
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLineEdit *makeBox(QWidget *parent, const QString &name, const QColor &color)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    setBase(box, color);
    return box;
}

} // namespace

frmEditer::frmEditer(Prompter &prompter, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmEditer"));
    setWindowTitle(QStringLiteral("数据管理器"));
    WindowLayer::installAccessibleRoles();
    buildControls();
    resetToBrowsing();
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &frmEditer::focusWindowChanged);
}

void frmEditer::buildControls()
{
    setFont(WindowLayer::songTi(11.25));
    setFixedSize(px(9585), px(6675));
    buildList();
    buildBearingFrame();
    buildDimensionFrame();
    buildButtons();

    setTabOrder(cmdAdd, txtBearing[0]);
    setTabOrder(txtBearing[0], cboBearing);
    setTabOrder(cboBearing, txtBearing[1]);
    for (int i = 1; i < 4; ++i)
        setTabOrder(txtBearing[i], txtBearing[i + 1]);
    setTabOrder(txtBearing[4], txtParameter[0]);
    setTabOrder(txtParameter[0], txtParameter[1]);
    setTabOrder(txtParameter[1], txtParameter[2]);
    setTabOrder(txtParameter[2], cmdUpdate);
    setTabOrder(cmdUpdate, cmdEdit);
    setTabOrder(cmdEdit, lstBearing);
}

void frmEditer::buildList()
{
    const QFont cells = WindowLayer::cellFont(9.75);
    lblItem = makeLabel(this, QStringLiteral("lblItem"), EditerLine::heading());
    lblItem->setFont(cells);

    m_lines = new CatalogueModel(this);
    lstBearing = new QListView(this);
    lstBearing->setObjectName(QStringLiteral("lstBearing"));
    lstBearing->setAccessibleName(QStringLiteral("轴承数据"));
    lstBearing->setFont(cells);
    lstBearing->setModel(m_lines);
    lstBearing->setUniformItemSizes(true);
    lstBearing->setLayoutMode(QListView::Batched); // 32767 lines laid out while the window is shown
    lstBearing->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstBearing->setSelectionMode(QAbstractItemView::SingleSelection);
    setBase(lstBearing, QColor(192, 192, 192));
    place(lstBearing, 0, 360, 6735, 6300);
    // The heading starts where the list draws its text: inside the list's frame and the margin
    // that the style leaves before an item's text.
    lstBearing->ensurePolished();
    const int textLeft = lstBearing->x() + lstBearing->frameWidth()
        + lstBearing->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lstBearing) + 1;
    place(lblItem, 120, 120, 6375, 255);
    lblItem->move(textLeft, lblItem->y());

    // A line is chosen by selecting it (click, keys, or the program setting the index); a click on
    // the line already chosen shows it again, which abandons an addition or edit in progress.
    connect(lstBearing->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this](const QItemSelection &selected) {
            if (!m_reselecting && !selected.indexes().isEmpty())
                chooseLine(selected.indexes().constFirst().row());
        });
    connect(lstBearing, &QListView::clicked, this,
        [this](const QModelIndex &index) { chooseLine(index.row()); });
}

void frmEditer::buildBearingFrame()
{
    fraBearing = new QFrame(this);
    fraBearing->setObjectName(QStringLiteral("fraBearing"));
    fraBearing->setFrameStyle(QFrame::Box | QFrame::Sunken);
    place(fraBearing, 6840, 240, 2655, 3560);

    const QString captions[6] = { QStringLiteral("类型"), QStringLiteral("e"), QStringLiteral("Y1"),
        QStringLiteral("Y2"), QStringLiteral("Cr"), QStringLiteral("型号") };
    for (int i = 0; i < 6; ++i)
        lblBearing[i] = makeLabel(fraBearing, QStringLiteral("lblBearing_%1").arg(i), captions[i]);
    for (int i = 0; i < 5; ++i) {
        txtBearing[i] = makeBox(fraBearing, QStringLiteral("txtBearing_%1").arg(i),
            i == 0 ? QColor(192, 255, 255) : QColor(192, 255, 192));
        // Screen readers name each box by the label beside it.
        txtBearing[i]->setAccessibleName(captions[i == 0 ? 5 : i]);
    }
    txtBearing[0]->setMaxLength(EditerLine::ModelWidth);
    txtBearing[0]->setToolTip(QStringLiteral("例如SKF23048"));
    txtBearing[0]->installEventFilter(this);

    cboBearing = new QComboBox(fraBearing);
    cboBearing->setObjectName(QStringLiteral("cboBearing"));
    cboBearing->setEditable(true);
    cboBearing->setInsertPolicy(QComboBox::NoInsert);
    for (int code = 0; code < EditerLine::TypeCount; ++code)
        cboBearing->addItem(typeCodeText(code));
    cboBearing->setAccessibleName(captions[0]);
    cboBearing->lineEdit()->setAccessibleName(captions[0]); // where the typing goes

    place(lblBearing[5], 195, 370, 495, 255);
    place(txtBearing[0], 720, 300, 1695, 350);
    place(lblBearing[0], 195, 900, 735, 255);
    place(cboBearing, 720, 841, 1815, 345);
    for (int i = 1; i <= 4; ++i) {
        place(lblBearing[i], 195, 1440 + (i - 1) * 540, 495, 255);
        place(txtBearing[i], 720, 1377 + (i - 1) * 541, 1455, 350);
    }
}

void frmEditer::buildDimensionFrame()
{
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    place(Frame1, 6840, 3840, 2655, 1880);

    const QString captions[3] = { QStringLiteral("d"), QStringLiteral("D"), QStringLiteral("B") };
    const int labelTop[3] = { 350, 860, 1380 }, labelWidth[3] = { 495, 375, 615 };
    const int boxTop[3] = { 280, 800, 1320 };
    for (int i = 0; i < 3; ++i) {
        lblParameter[i] = makeLabel(Frame1, QStringLiteral("lblParameter_%1").arg(i), captions[i]);
        txtParameter[i]
            = makeBox(Frame1, QStringLiteral("txtParameter_%1").arg(i), QColor(192, 255, 192));
        txtParameter[i]->setAccessibleName(captions[i]);
        place(lblParameter[i], 195, labelTop[i], labelWidth[i], 255);
        place(txtParameter[i], 720, boxTop[i], 1455, 350);
    }
}

void frmEditer::buildButtons()
{
    const auto makeButton = [this](const QString &name, const QString &text) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        return button;
    };
    cmdEdit = makeButton(QStringLiteral("cmdEdit"), QStringLiteral("编辑"));
    cmdAdd = makeButton(QStringLiteral("cmdAdd"), QStringLiteral("增加"));
    cmdUpdate = makeButton(QStringLiteral("cmdUpdate"), QStringLiteral("更新"));
    cmdUpdate->setToolTip(QStringLiteral("排 序"));
    place(cmdEdit, 6840, 6000, 800, 390);
    place(cmdAdd, 7785, 6000, 800, 390);
    place(cmdUpdate, 8730, 6000, 800, 390);
    connect(cmdAdd, &QPushButton::clicked, this, &frmEditer::startAdding);
    connect(cmdEdit, &QPushButton::clicked, this, &frmEditer::startEditing);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmEditer::applyUpdate);
}

void frmEditer::focusWindowChanged(QWindow *window)
{
    // Where the focus was before: another window of the program may have written bearing.sav (the
    // main window's 保存参数, the merger); another program, a pop-up or a message box has not.
    const LastFocus previous = m_lastFocus;
    if (!window)
        m_lastFocus = LastFocus::None;
    else if (window != windowHandle())
        m_lastFocus = window->type() == Qt::Popup || window->type() == Qt::ToolTip
                || window->type() == Qt::Dialog
            ? LastFocus::Transient
            : LastFocus::ProgramWindow;
    if (!window || window != windowHandle())
        return;
    if (m_loaded && previous != LastFocus::ProgramWindow)
        return;
    reload();
    cmdAdd->setFocus(Qt::OtherFocusReason);
}

void frmEditer::reload()
{
    const QModelIndexList chosen = lstBearing->selectionModel()->selectedIndexes();
    const QString chosenModel = chosen.isEmpty()
        ? QString()
        : EditerLine::modelOf(m_lines->line(chosen.constFirst().row()));
    const bool editing = txtBearing[0]->isEnabled() && !IsAdding;
    LoadEditerList();
    m_loaded = true;

    // The line being edited is found again by the model it had when the edit began; the chosen
    // line by its model. Choosing it again shows it as stored now, unless an addition or edit is in
    // progress, whose boxes hold the user's input.
    const QString model = editing ? m_editModel : chosenModel;
    const int row = model.isEmpty() ? -1 : m_lines->findModel(model);
    if (editing)
        EditIndex = row;
    if (row < 0) {
        // No line chosen (or it is gone): a locked form starts over at the first type. During an
        // addition or edit the type box keeps the user's choice.
        if (!txtBearing[0]->isEnabled())
            resetToBrowsing();
        return;
    }
    m_reselecting = txtBearing[0]->isEnabled();
    lstBearing->setCurrentIndex(m_lines->index(row));
    m_reselecting = false;
    if (!txtBearing[0]->isEnabled())
        chooseLine(row);
}

bool frmEditer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtBearing[0]) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter)
                && txtBearing[0]->text() == QLatin1String("DumpLines"))
                dumpList();
        } else if (event->type() == QEvent::FocusOut) {
            const QString upper = txtBearing[0]->text().toUpper();
            if (upper != txtBearing[0]->text())
                txtBearing[0]->setText(upper);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmEditer::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_loaded)
        return;
    reload();
    cmdAdd->setFocus(Qt::OtherFocusReason);
}

void frmEditer::closeEvent(QCloseEvent *event)
{
    // Closing unloads the window: the next opening starts afresh.
    resetToBrowsing();
    m_lines->setLines({});
    m_loaded = false;
    QWidget::closeEvent(event);
}

void frmEditer::LoadEditerList()
{
    m_loadFailure.clear();
    Result<BearingCatalogue::Catalogue> read = BearingCatalogue::load(RecordFiles::bearingPath());
    m_read = read ? std::move(*read) : BearingCatalogue::Catalogue();
    if (!read) {
        m_loadFailure
            = read.error().text() + QStringLiteral("\n轴承数据未能读入，为免丢失数据，不能更新。");
    }
    m_lines->setRecords(m_read.records);
}

bool frmEditer::SortAndRewrite(QStringList lines)
{
    if (!m_loadFailure.isEmpty()) {
        m_prompter.inform(m_loadFailure);
        return false;
    }
    const QString path = RecordFiles::bearingPath();
    const QString backup = QDir::toNativeSeparators(RecordFiles::backupPathFor(path));
    bool keepBackup = false;
    if (!m_read.readWhole()) {
        // Storing the list drops what it does not hold: asked once, and the file kept first.
        const QString question = QDir::toNativeSeparators(path) + QStringLiteral(":\n")
            + m_read.problems.join(u'\n')
            + QStringLiteral("\n继续更新将只保存列表中的轴承，原文件先逐字节复制为 ") + backup
            + QStringLiteral("。是否继续？");
        if (m_prompter.message(question, QStringLiteral("Tolvenar"), Prompter::Yes | Prompter::No,
                Prompter::Icon::Question, Prompter::No)
            != Prompter::Yes)
            return false;
        keepBackup = true;
    }
    BearingCatalogue::sortLines(lines);
    const Result<BearingCatalogue::Stored> stored
        = BearingCatalogue::store(path, m_read, lines, keepBackup);
    if (!stored) {
        m_prompter.inform(stored.error().text() + QStringLiteral("\n轴承数据未保存。"));
        return false;
    }
    if (*stored == BearingCatalogue::Stored::ChangedMeanwhile) {
        // Another program (or another copy of this one) wrote the catalogue since the list was
        // read: storing the list would drop its records. The list is read again; an addition or
        // edit in progress stays in the boxes for another 更新.
        m_prompter.inform(QDir::toNativeSeparators(path)
            + QStringLiteral(
                ": 文件已被其他程序改动，列表已重新读入，这次更新没有保存。请检查后再按“更新”。"));
        LoadEditerList();
        if (!IsAdding) // the edited line, found again by its model (-1 when it is gone)
            EditIndex = m_lines->findModel(m_editModel);
        return false;
    }
    m_lines->setLines(lines);
    return true;
}

void frmEditer::chooseLine(int row)
{
    if (row < 0 || row >= m_lines->rowCount())
        return;
    const QString line = m_lines->line(row);
    txtBearing[0]->setText(Conv::trimRight(EditerLine::modelOf(line)));
    for (int i = 0; i < 3; ++i)
        txtParameter[i]->setText(EditerLine::columnText(line, EditerLine::ColD + i));
    for (int i = 0; i < 4; ++i)
        txtBearing[i + 1]->setText(EditerLine::columnText(line, EditerLine::ColE + i));
    const int type = EditerLine::typeOf(line);
    // A stored type outside the list leaves no item chosen; an edit must then pick one.
    cboBearing->setCurrentIndex(type >= 0 && type < EditerLine::TypeCount ? type : -1);
    setBoxesEnabled(false);
    cmdEdit->setEnabled(true);
}

void frmEditer::startAdding()
{
    for (QLineEdit *box : txtBearing)
        box->clear();
    for (QLineEdit *box : txtParameter)
        box->clear();
    setBoxesEnabled(true);
    cmdEdit->setEnabled(false);
    txtBearing[0]->setFocus(Qt::OtherFocusReason);
    IsAdding = true;
}

void frmEditer::startEditing()
{
    // After a reload no line is chosen: there is nothing to edit until the user chooses one.
    const QModelIndexList chosen = lstBearing->selectionModel()->selectedIndexes();
    if (chosen.isEmpty()) {
        refuse(lstBearing, false);
        return;
    }
    EditIndex = chosen.constFirst().row();
    m_editModel = EditerLine::modelOf(m_lines->line(EditIndex));
    setBoxesEnabled(true);
    IsAdding = false;
}

void frmEditer::applyUpdate()
{
    if (!txtBearing[0]->isEnabled()) {
        SortAndRewrite(m_lines->lines());
        return;
    }
    // Leaving the box upper-cases it; a click that kept the focus there must not store otherwise.
    txtBearing[0]->setText(txtBearing[0]->text().toUpper());

    EditerLine::Entry entry;
    entry.model = txtBearing[0]->text();
    for (int i = 0; i < 3; ++i)
        entry.dimensions[static_cast<std::size_t>(i)] = txtParameter[i]->text();
    for (int i = 0; i < 4; ++i)
        entry.factors[static_cast<std::size_t>(i)] = txtBearing[i + 1]->text();
    // The typed text decides the type: it must name one of the items exactly.
    entry.type = cboBearing->findText(cboBearing->currentText());
    std::optional<BearingCatalogue::Edit> edit;
    if (!IsAdding)
        edit = BearingCatalogue::Edit { EditIndex, m_editModel };

    const BearingCatalogue::Change change = BearingCatalogue::applyEntry(
        m_lines->lines(), entry, edit, QDir::toNativeSeparators(RecordFiles::bearingPath()));
    if (!change.message.isEmpty())
        m_prompter.inform(change.message);
    using EditerLine::Field;
    switch (change.refusal.field) {
    case Field::None:
        break;
    case Field::Model:
        return refuse(txtBearing[0], false);
    case Field::ModelTaken:
        return refuse(txtBearing[0], true);
    case Field::Type:
        return refuse(cboBearing, true);
    case Field::Dimension:
        return refuse(txtParameter[change.refusal.index], true);
    case Field::Factor:
        return refuse(txtBearing[change.refusal.index + 1], true);
    case Field::Line:
        return refuse(lstBearing, false);
    case Field::Full:
        return;
    }
    if (!SortAndRewrite(change.lines))
        return;
    const int row = m_lines->findModel(change.model);
    lstBearing->setCurrentIndex(m_lines->index(row));
    chooseLine(row);
}

void frmEditer::dumpList()
{
    const QString path = QDir(RecordFiles::appDirectory()).filePath(QStringLiteral("TestData.txt"));
    if (const Result<> dumped = BearingCatalogue::dumpLines(path, m_lines->lines()); !dumped)
        m_prompter.inform(dumped.error().text());
}

void frmEditer::refuse(QWidget *box, bool selectText)
{
    box->setFocus(Qt::OtherFocusReason);
    if (!selectText)
        return;
    if (auto *edit = qobject_cast<QLineEdit *>(box))
        edit->selectAll();
    else if (auto *combo = qobject_cast<QComboBox *>(box); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

void frmEditer::setBoxesEnabled(bool enabled)
{
    for (QLineEdit *box : txtBearing)
        box->setEnabled(enabled);
    for (QLineEdit *box : txtParameter)
        box->setEnabled(enabled);
    cboBearing->setEnabled(enabled);
}

void frmEditer::resetToBrowsing()
{
    for (QLineEdit *box : txtBearing)
        box->clear();
    for (QLineEdit *box : txtParameter)
        box->clear();
    cboBearing->setCurrentIndex(0);
    setBoxesEnabled(false);
    cmdEdit->setEnabled(false);
    IsAdding = false;
    EditIndex = -1;
    m_editModel.clear();
}
