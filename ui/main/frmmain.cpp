#include "ui/main/frmmain.h"

#include "calc/computeloads.h"
#include "ui/common/prompter.h"
#include "ui/common/windowlayer.h"
#include "ui/main/aboutdialog.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

namespace {

using WindowLayer::px;

QRect twipRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// 宋体 at a size in points, fixed in pixels (96 dpi) so the text keeps its place in the twip
// layout whatever the screen's resolution.
QFont songTi(double points)
{
    QFont font = WindowLayer::songTi(points);
    font.setPixelSize(qRound(points * 96.0 / 72.0));
    return font;
}

QFont defaultFont()
{
    return songTi(11.25);
}

QFont captionFont()
{
    return songTi(9.75);
}

QFont unitFont()
{
    return songTi(12);
}

const QColor InputColour(192, 255, 192); // ordinary input boxes
const QColor KeyColour(192, 255, 255); // shaft number and bearing models
const QColor FormColour(212, 208, 200); // active window border, the form's background

// An option button as the form knows it: pressing a selected one keeps it selected. The partner
// of a pair is cleared by frmMain, so both members of a pair can also be unselected.
class OptionButton : public QRadioButton
{
public:
    OptionButton(const QString &caption, QWidget *parent);

protected:
    void nextCheckState() override { setChecked(true); }
};

// Without auto-exclusion Qt would present an option button as a check box to screen readers.
class OptionAccessible : public QAccessibleWidget
{
public:
    explicit OptionAccessible(QAbstractButton *button)
        : QAccessibleWidget(button, QAccessible::RadioButton)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = button()->isChecked();
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return button()->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override
    {
        return QStringList { pressAction() } + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction())
            button()->click();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }
};

QAccessibleInterface *optionAccessibleFactory(const QString &, QObject *object)
{
    if (auto *option = dynamic_cast<OptionButton *>(object))
        return new OptionAccessible(option);
    return nullptr;
}

OptionButton::OptionButton(const QString &caption, QWidget *parent)
    : QRadioButton(caption, parent)
{
    static const bool installed = (QAccessible::installFactory(optionAccessibleFactory), true);
    Q_UNUSED(installed);
    // The button may already have been described while it was only a QRadioButton; drop that
    // description so the next query gets the option button's.
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(this);
    if (iface && !dynamic_cast<OptionAccessible *>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

// A caption that does not fit its label in the fallback serif font (whose Latin letters are wider
// than 宋体's half cells) first tries the fixed-cell CJK font, then a smaller size; the label
// keeps its place and size.
QFont fittedFont(const QFont &font, const QString &caption, int width)
{
    if (QFontMetrics(font).horizontalAdvance(caption) <= width)
        return font;
    QFont fitted = font;
    fitted.setFamilies({ QStringLiteral("SimSun"), QStringLiteral("Noto Sans Mono CJK SC") });
    while (fitted.pixelSize() > 8 && QFontMetrics(fitted).horizontalAdvance(caption) > width)
        fitted.setPixelSize(fitted.pixelSize() - 1);
    return fitted;
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, const QRect &rect,
    const QFont &font, bool highlight = false)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setFont(fittedFont(font, caption, rect.width()));
    label->setGeometry(rect);
    // The CJK fallback fonts have a taller line than 宋体; centring keeps a short label's glyphs
    // inside it, a tall one keeps its text at the top.
    const bool fits = QFontMetrics(label->font()).height() <= rect.height();
    label->setAlignment(Qt::AlignLeft | (fits ? Qt::AlignTop : Qt::AlignVCenter));
    if (highlight) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, pal.color(QPalette::Active, QPalette::Highlight));
        label->setPalette(pal);
    }
    return label;
}

// A list or box drawn like an empty text field of the system (white by default) in every state,
// instead of the button face (a combo box) or the window colour (a disabled box).
void setFieldFace(QWidget *w, QPalette::ColorRole role)
{
    QPalette pal = w->palette();
    pal.setBrush(role, QApplication::palette().brush(QPalette::Active, QPalette::Base));
    w->setPalette(pal);
}

QLineEdit *makeBox(QWidget *parent, const QString &name, const QRect &rect, const QColor &colour,
    const QString &tip = QString(), const QString &text = QString())
{
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setFont(defaultFont());
    box->setGeometry(rect);
    box->setToolTip(tip);
    if (colour.isValid()) {
        QPalette pal = box->palette();
        pal.setColor(QPalette::Base, colour);
        box->setPalette(pal);
    }
    return box;
}

QGroupBox *makeFrame(
    QWidget *parent, const QString &name, const QString &caption, const QRect &rect)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    frame->setFont(captionFont());
    frame->setGeometry(rect);
    // Qt would name a frame inside another by the outer one's caption.
    frame->setAccessibleName(caption);
    return frame;
}

QRadioButton *makeOption(
    QWidget *parent, const QString &name, const QString &caption, const QRect &rect)
{
    auto *option = new OptionButton(caption, parent);
    option->setObjectName(name);
    option->setFont(defaultFont());
    option->setGeometry(rect);
    option->setAutoExclusive(false);
    return option;
}

QPushButton *makeButton(
    QWidget *parent, const QString &name, const QString &caption, const QRect &rect)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFont(defaultFont());
    button->setGeometry(rect);
    button->setAutoDefault(true); // Enter presses the focused button, as Space does
    return button;
}

QComboBox *makeTypeList(QWidget *parent, const QString &name, const QRect &rect)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setFont(defaultFont());
    combo->setGeometry(rect);
    combo->setEditable(false);
    combo->setToolTip(QStringLiteral("在列表中选择"));
    setFieldFace(combo, QPalette::Button);
    for (int code = 0; code <= AngularContactBall; ++code)
        combo->addItem(typeCodeText(code), code);
    return combo;
}

QAction *makeAction(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QString indexed(const QString &base, int index)
{
    return base + QLatin1Char('_') + QString::number(index);
}

} // namespace

// The controls as GatherInputs and ValidateInputs read them, by object name.
frmMain::frmMain(Prompter &prompter, QWidget *parent)
    : QMainWindow(parent)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tolvenar"));
    WindowLayer::installAccessibleRoles();

    QPalette pal = palette();
    pal.setColor(QPalette::Window, FormColour);
    pal.setColor(QPalette::Button, FormColour);
    setPalette(pal);

    buildControls();
    buildMenus();
    setTabOrder();
    connectRules();
    load();
}

frmMain::~frmMain()
{
    // The controls go after this body; their focus changes must not reach a half-destroyed form.
    disconnect(qApp, &QApplication::focusChanged, this, &frmMain::upperCaseOnLeaving);
}

MainInputs frmMain::inputs() const
{
    MainInputs in;
    auto texts = [](const auto &boxes, auto &out) {
        for (std::size_t i = 0; i < boxes.size(); ++i)
            out[i] = boxes[i]->text();
    };
    texts(txtParameter, in.parameter);
    texts(txtGear, in.gear);
    texts(txtBearingA, in.bearingA);
    texts(txtBearingB, in.bearingB);
    in.weight = txtWeight->text();
    in.gear1Direction = { optGear1[0]->isChecked(), optGear1[1]->isChecked() };
    in.gear2Direction = { optGear2[0]->isChecked(), optGear2[1]->isChecked() };
    in.assembleA = optAssembleA->isChecked();
    in.assembleB = optAssembleB->isChecked();
    in.weightOn = chkWeight->isChecked();
    auto type = [](const QComboBox *list) {
        return list->currentIndex() >= 0 ? list->currentData().toInt() : 0;
    };
    in.typeA = type(cboTypeA);
    in.typeB = type(cboTypeB);
    return in;
}

QWidget *frmMain::control(MainField field) const
{
    const auto i = static_cast<std::size_t>(field.index);
    switch (field.group) {
    case MainField::Parameter:
        return txtParameter.at(i);
    case MainField::Gear:
        return txtGear.at(i);
    case MainField::BearingA:
        return txtBearingA.at(i);
    case MainField::BearingB:
        return txtBearingB.at(i);
    case MainField::Weight:
        return txtWeight;
    case MainField::Gear1Direction:
        return optGear1.at(i);
    case MainField::Gear2Direction:
        return optGear2.at(i);
    case MainField::Assemble:
        return i == 0 ? optAssembleA : optAssembleB;
    case MainField::WeightOn:
        return chkWeight;
    case MainField::TypeA:
        return cboTypeA;
    case MainField::TypeB:
        return cboTypeB;
    }
    return nullptr;
}

void frmMain::buildControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFont(defaultFont());
    m_client->setFixedSize(px(9585), px(7080));
    setCentralWidget(m_client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    buildPicture();
    buildParameters();
    buildAssembleAndResult();
    buildGears();
    buildBearing(fraBearingA, QStringLiteral("A"), 3720, txtBearingA, lblBearingA, cboTypeA);
    buildBearing(fraBearingB, QStringLiteral("B"), 6000, txtBearingB, lblBearingB, cboTypeB);
    buildCommandsAndWeight();

    // Key fields: Enter recalls a record; leaving one for another control upper-cases it.
    for (QLineEdit *key : { txtParameter[0], txtBearingA[0], txtBearingB[0] })
        key->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &frmMain::upperCaseOnLeaving);
    nameForScreenReaders();
}

// The drawing area of the shaft schematic.
void frmMain::buildPicture()
{
    fraPicture = makeFrame(
        m_client, QStringLiteral("fraPicture"), QString(), twipRect(120, 0, 3615, 3135));
    picA = new QLabel(fraPicture);
    picA->setObjectName(QStringLiteral("picA"));
    picA->setFont(unitFont());
    picA->setGeometry(twipRect(120, 240, 3375, 2775));
    picA->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picA->setAccessibleName(QStringLiteral("轴系简图"));
    picA->setAccessibleDescription(
        QStringLiteral("轴两端为轴承 A（左）和 B（右），跨距 L；齿轮 1 距轴承 A 为 L1，"
                       "齿轮 2 距轴承 B 为 L2。"));
}

void frmMain::buildParameters()
{
    fraParameter = makeFrame(m_client, QStringLiteral("fraParameter"), QStringLiteral("参  数"),
        twipRect(3840, 0, 3045, 3135));
    struct LabelRow
    {
        int index;
        const char16_t *caption;
        QRect rect;
        bool unit;
        bool highlight;
    };
    const LabelRow parameterLabels[] = {
        { 0, u"编 号", twipRect(240, 420, 615, 240), false, false },
        { 1, u"功率(P)", twipRect(240, 1000, 855, 255), false, true },
        { 2, u"转速(n)", twipRect(240, 1580, 975, 360), false, true },
        { 4, u"跨距(L)", twipRect(240, 2140, 975, 375), false, true },
        { 5, u"夹角(a)", twipRect(240, 2685, 975, 300), false, false },
        { 6, u"kW", twipRect(2520, 970, 255, 255), true, false },
        { 7, u"rpm", twipRect(2520, 1530, 495, 375), true, false },
        { 9, u"mm", twipRect(2520, 2100, 495, 255), true, false },
        { 10, u"度", twipRect(2160, 2640, 375, 255), true, false },
    };
    for (const LabelRow &row : parameterLabels)
        lblParameter[row.index] = makeLabel(fraParameter,
            indexed(QStringLiteral("lblParameter"), row.index), QString::fromUtf16(row.caption),
            row.rect, row.unit ? unitFont() : defaultFont(), row.highlight);
    txtParameter[0] = makeBox(fraParameter, QStringLiteral("txtParameter_0"),
        twipRect(840, 360, 2055, 340), KeyColour, QStringLiteral("填完回车自动查找"));
    txtParameter[0]->setMaxLength(RecordLayout::ShaftNoWidth);
    txtParameter[1] = makeBox(fraParameter, QStringLiteral("txtParameter_1"),
        twipRect(1220, 927, 1200, 340), InputColour, QStringLiteral("功率不同时P1/P2"));
    txtParameter[2] = makeBox(fraParameter, QStringLiteral("txtParameter_2"),
        twipRect(1220, 1494, 1200, 340), InputColour);
    txtParameter[3] = makeBox(fraParameter, QStringLiteral("txtParameter_3"),
        twipRect(1220, 2061, 1200, 340), InputColour);
    txtParameter[4] = makeBox(fraParameter, QStringLiteral("txtParameter_4"),
        twipRect(1220, 2630, 840, 340), InputColour, QString(), QStringLiteral("180"));
}

// 轴承安装方式, and 计算结果 with its caption in the highlight colour.
void frmMain::buildAssembleAndResult()
{
    fraAssemble = makeFrame(m_client, QStringLiteral("fraAssemble"), QStringLiteral("轴承安装方式"),
        twipRect(6960, 0, 2415, 1215));
    optAssembleA = makeOption(fraAssemble, QStringLiteral("optAssembleA"),
        QStringLiteral("A 轴承游动"), twipRect(240, 360, 1575, 255));
    optAssembleB = makeOption(fraAssemble, QStringLiteral("optAssembleB"),
        QStringLiteral("B 轴承游动"), twipRect(240, 840, 1575, 255));

    fraResult = makeFrame(m_client, QStringLiteral("fraResult"), QStringLiteral("计算结果"),
        twipRect(6960, 1440, 2535, 1695));
    const QColor normalText = fraResult->palette().color(QPalette::WindowText);
    {
        // Styles draw a group box title in Text or WindowText; the labels inside keep the
        // ordinary text colour.
        QPalette resultPal = fraResult->palette();
        const QColor highlight = resultPal.color(QPalette::Active, QPalette::Highlight);
        resultPal.setColor(QPalette::Text, highlight);
        resultPal.setColor(QPalette::WindowText, highlight);
        fraResult->setPalette(resultPal);
    }
    lblResultA = makeLabel(fraResult, QStringLiteral("lblResultA"), QStringLiteral("A轴承"),
        twipRect(150, 360, 2100, 615), defaultFont());
    lblResultB = makeLabel(fraResult, QStringLiteral("lblResultB"), QStringLiteral("B轴承"),
        twipRect(150, 990, 2100, 585), defaultFont());
    for (QLabel *label : { lblResultA, lblResultB }) {
        label->setWordWrap(true); // a long life takes the second line, as the frame allows
        QPalette labelPal = label->palette();
        labelPal.setColor(QPalette::WindowText, normalText);
        label->setPalette(labelPal);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // A life can be selected and copied (Ctrl+C) into a report or a mail.
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        label->setFocusPolicy(Qt::ClickFocus); // not a stop of the Tab order
    }
}

// 齿轮参数: gear 1 on the left, gear 2 on the right (gear 2's label indices run backwards).
void frmMain::buildGears()
{
    fraGear = makeFrame(m_client, QStringLiteral("fraGear"), QStringLiteral("齿轮参数"),
        twipRect(120, 3240, 3495, 3255));
    struct GearRow
    {
        int box;
        QPoint boxAt;
        int label;
        const char16_t *caption;
        QPoint labelAt;
        bool highlight;
        const char16_t *tip;
    };
    const GearRow gearRows[] = {
        { 0, { 720, 360 }, 0, u"L1", { 320, 420 }, true, u"齿轮跨距(mm)" },
        { 1, { 720, 860 }, 1, u"d1", { 320, 915 }, true, u"分度圆(mm)" },
        { 2, { 720, 1360 }, 2, u"β1", { 240, 1425 }, false, u"螺旋角" },
        { 3, { 720, 1860 }, 3, u"α1", { 240, 1920 }, false, u"压力角" },
        { 4, { 2280, 360 }, 7, u"L2", { 1900, 420 }, false, u"齿轮跨距(mm)" },
        { 5, { 2280, 855 }, 6, u"d2", { 1900, 915 }, false, u"分度圆(mm)" },
        { 6, { 2280, 1365 }, 5, u"β2", { 1800, 1425 }, false, u"螺旋角" },
        { 7, { 2280, 1860 }, 4, u"α2", { 1800, 1920 }, false, u"压力角" },
    };
    for (const GearRow &row : gearRows) {
        const bool pressureAngle = row.box == 3 || row.box == 7;
        txtGear[row.box] = makeBox(fraGear, indexed(QStringLiteral("txtGear"), row.box),
            twipRect(row.boxAt.x(), row.boxAt.y(), 735, 340), InputColour,
            QString::fromUtf16(row.tip), pressureAngle ? QStringLiteral("20") : QString());
        lblGear[row.label] = makeLabel(fraGear, indexed(QStringLiteral("lblGear"), row.label),
            QString::fromUtf16(row.caption), twipRect(row.labelAt.x(), row.labelAt.y(), 495, 285),
            defaultFont(), row.highlight);
    }
    Frame1[0] = makeFrame(fraGear, QStringLiteral("Frame1_0"), QStringLiteral("1轮轴向力"),
        twipRect(120, 2400, 1575, 735));
    Frame1[1] = makeFrame(fraGear, QStringLiteral("Frame1_1"), QStringLiteral("2轮轴向力"),
        twipRect(1800, 2400, 1575, 735));
    for (int i = 0; i < 2; ++i) {
        optGear1[i] = makeOption(Frame1[0], indexed(QStringLiteral("optGear1"), i),
            i == 0 ? QStringLiteral("左") : QStringLiteral("右"),
            twipRect(i == 0 ? 160 : 880, 360, 615, 225));
        optGear2[i] = makeOption(Frame1[1], indexed(QStringLiteral("optGear2"), i),
            i == 0 ? QStringLiteral("左") : QStringLiteral("右"),
            twipRect(i == 0 ? 160 : 880, 360, 615, 225));
    }
}

// A 轴承参数 and B 轴承参数, identical but for the suffix.
void frmMain::buildBearing(QGroupBox *&frame, const QString &suffix, int left,
    std::array<QLineEdit *, 5> &boxes, std::array<QLabel *, 7> &labels, QComboBox *&combo)
{
    frame = makeFrame(m_client, QStringLiteral("fraBearing") + suffix,
        suffix + QStringLiteral(" 轴承参数"), twipRect(left, 3240, 2175, 3675));
    const QString boxName = QStringLiteral("txtBearing") + suffix;
    const QString labelName = QStringLiteral("lblBearing") + suffix;
    labels[0] = makeLabel(frame, indexed(labelName, 0), QStringLiteral("型号"),
        twipRect(120, 440, 495, 345), defaultFont());
    boxes[0] = makeBox(frame, indexed(boxName, 0), twipRect(600, 360, 1420, 340), KeyColour,
        QStringLiteral("例如SKF23052"));
    boxes[0]->setMaxLength(RecordLayout::ModelWidth);
    combo = makeTypeList(frame, QStringLiteral("cboType") + suffix, twipRect(120, 960, 1935, 345));
    const int boxTops[] = { 0, 1560, 2095, 2630, 3165 };
    const int labelTops[] = { 0, 1570, 2116, 2662, 3210 };
    const char16_t *captions[] = { nullptr, u"e", u"Y1", u"Y2", u"Cr" };
    const char16_t *tips[] = { nullptr, u"", u"NSK:Y3=Y1", u"", u"额定动负荷" };
    for (int i = 1; i <= 4; ++i) {
        labels[i] = makeLabel(frame, indexed(labelName, i), QString::fromUtf16(captions[i]),
            twipRect(240, labelTops[i], i == 1 ? 375 : 495, 345), unitFont(), i == 4);
        boxes[i] = makeBox(frame, indexed(boxName, i), twipRect(720, boxTops[i], 855, 340),
            InputColour, QString::fromUtf16(tips[i]));
    }
    labels[6] = makeLabel(frame, indexed(labelName, 6), QStringLiteral("kN"),
        twipRect(1725, 3220, 315, 345), unitFont());
}

// The command buttons, and the self-weight along the shaft axis.
void frmMain::buildCommandsAndWeight()
{
    cmdView = makeButton(m_client, QStringLiteral("cmdView"), QStringLiteral("查  找"),
        twipRect(8320, 3360, 1155, 390));
    cmdCompute = makeButton(m_client, QStringLiteral("cmdCompute"), QStringLiteral("计  算"),
        twipRect(8320, 3960, 1155, 390));
    cmdSaveResult = makeButton(m_client, QStringLiteral("cmdSaveResult"),
        QStringLiteral("保存结果"), twipRect(8320, 4560, 1155, 390));
    cmdSaveParameter = makeButton(m_client, QStringLiteral("cmdSaveParameter"),
        QStringLiteral("保存参数"), twipRect(8320, 5160, 1155, 390));
    cmdClear = makeButton(m_client, QStringLiteral("cmdClear"), QStringLiteral("清  除"),
        twipRect(8320, 5760, 1155, 390));
    cmdExit = makeButton(m_client, QStringLiteral("cmdExit"), QStringLiteral("退 出>>"),
        twipRect(8320, 6480, 1155, 390));

    chkWeight = new QCheckBox(QStringLiteral("考虑轴向自重影响 G="), m_client);
    chkWeight->setObjectName(QStringLiteral("chkWeight"));
    chkWeight->setFont(defaultFont());
    chkWeight->setGeometry(twipRect(120, 6600, 2535, 375));
    chkWeight->setToolTip(QStringLiteral("默认A端朝下"));
    txtWeight = makeBox(m_client, QStringLiteral("txtWeight"), twipRect(2640, 6600, 855, 340),
        QColor(), QStringLiteral("单位:Kg"));
    setFieldFace(txtWeight, QPalette::Base);
    txtWeight->setEnabled(false);
}

// Screen readers name each box by the label beside it.
void frmMain::nameForScreenReaders()
{
    const int parameterLabelOf[] = { 0, 1, 2, 4, 5 };
    for (int i = 0; i < 5; ++i)
        txtParameter[i]->setAccessibleName(lblParameter[parameterLabelOf[i]]->text());
    const int gearLabelOf[] = { 0, 1, 2, 3, 7, 6, 5, 4 };
    for (int i = 0; i < 8; ++i)
        txtGear[i]->setAccessibleName(lblGear[gearLabelOf[i]]->text());
    for (int i = 0; i <= 4; ++i) {
        txtBearingA[i]->setAccessibleName(QStringLiteral("A ") + lblBearingA[i]->text());
        txtBearingB[i]->setAccessibleName(QStringLiteral("B ") + lblBearingB[i]->text());
    }
    cboTypeA->setAccessibleName(QStringLiteral("A 轴承类型"));
    cboTypeB->setAccessibleName(QStringLiteral("B 轴承类型"));
    txtWeight->setAccessibleName(QStringLiteral("G(Kg)"));
}

void frmMain::buildMenus()
{
    QMenuBar *bar = menuBar();

    MnuOperation = bar->addMenu(QStringLiteral("操 作(&O)"));
    MnuOperation->setObjectName(QStringLiteral("MnuOperation"));
    mnuView = makeAction(MnuOperation, QStringLiteral("mnuView"), QStringLiteral("查   找"));
    mnuCompute = makeAction(MnuOperation, QStringLiteral("mnuCompute"), QStringLiteral("计   算"));
    mnuCompute->setShortcut(QKeySequence(Qt::Key_F5));
    mnuSaveResult
        = makeAction(MnuOperation, QStringLiteral("mnuSaveResult"), QStringLiteral("保存结果"));
    mnuSaveParameter
        = makeAction(MnuOperation, QStringLiteral("mnuSaveParameter"), QStringLiteral("保存参数"));
    mnuClear = makeAction(MnuOperation, QStringLiteral("mnuClear"), QStringLiteral("清   除"));
    mnuSpace1 = MnuOperation->addSeparator();
    mnuSpace1->setObjectName(QStringLiteral("mnuSpace1"));
    mnuExit = makeAction(MnuOperation, QStringLiteral("mnuExit"), QStringLiteral("退   出"));

    mnuTools = bar->addMenu(QStringLiteral("工 具(&T)"));
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    mnuToolsCombiner
        = makeAction(mnuTools, QStringLiteral("mnuToolsCombiner"), QStringLiteral("合并记录"));
    mnuToolsEditer
        = makeAction(mnuTools, QStringLiteral("mnuToolsEditer"), QStringLiteral("数据管理器"));
    mnuToolsEditer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    mnuToolsPrint
        = makeAction(mnuTools, QStringLiteral("mnuToolsPrint"), QStringLiteral("打印窗口"));

    mnuHelp = bar->addMenu(QStringLiteral("帮 助(&H)"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    // The F1 in the caption is a hint only; the key itself is the window's shortcut below.
    mnuExplain
        = makeAction(mnuHelp, QStringLiteral("mnuExplain"), QStringLiteral("帮   助     F1"));
    mnuSpace2 = mnuHelp->addSeparator();
    mnuSpace2->setObjectName(QStringLiteral("mnuSpace2"));
    Test = makeAction(mnuHelp, QStringLiteral("Test"), QStringLiteral("详细计算数据"));
    // Last, so that the entries above keep their places.
    QAction *about
        = makeAction(mnuHelp, QStringLiteral("mnuAbout"), QStringLiteral("关于 Tolvenar"));
    connect(about, &QAction::triggered, this, &frmMain::showAbout);

    auto *helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
    helpKey->setObjectName(QStringLiteral("helpKey"));
    helpKey->setContext(Qt::ApplicationShortcut); // F1 shows help from every window
    connect(helpKey, &QShortcut::activated, this, &frmMain::helpRequested);
}

void frmMain::setTabOrder()
{
    QList<QWidget *> order { cmdView };
    for (QLineEdit *box : txtParameter)
        order.append(box);
    for (QLineEdit *box : txtGear)
        order.append(box);
    order << txtBearingA[0] << cboTypeA << txtBearingA[1] << txtBearingA[2] << txtBearingA[3]
          << txtBearingA[4];
    order << txtBearingB[0] << cboTypeB << txtBearingB[1] << txtBearingB[2] << txtBearingB[3]
          << txtBearingB[4];
    order << cmdCompute << cmdSaveResult << cmdSaveParameter << cmdClear << cmdExit << chkWeight
          << txtWeight << optAssembleA << optAssembleB << optGear1[0] << optGear1[1] << optGear2[1]
          << optGear2[0];
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    cmdView->setFocus(); // the first in the order has the focus when the window opens
}

void frmMain::connectRules()
{
    // Commands.
    connect(cmdView, &QPushButton::clicked, this, &frmMain::viewRequested);
    connect(mnuView, &QAction::triggered, this, &frmMain::viewRequested);
    connect(cmdCompute, &QPushButton::clicked, this, &frmMain::cmdCompute_Click);
    connect(mnuCompute, &QAction::triggered, this, &frmMain::cmdCompute_Click);
    connect(cmdSaveResult, &QPushButton::clicked, this, &frmMain::saveResultReport);
    connect(mnuSaveResult, &QAction::triggered, this, &frmMain::saveResultReport);
    connect(cmdSaveParameter, &QPushButton::clicked, this, &frmMain::saveParameters);
    connect(mnuSaveParameter, &QAction::triggered, this, &frmMain::saveParameters);
    connect(cmdClear, &QPushButton::clicked, this, &frmMain::cmdClear_Click);
    connect(mnuClear, &QAction::triggered, this, &frmMain::cmdClear_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::close);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuToolsCombiner, &QAction::triggered, this, &frmMain::combinerRequested);
    connect(mnuToolsEditer, &QAction::triggered, this, &frmMain::editerRequested);
    connect(mnuToolsPrint, &QAction::triggered, this, &frmMain::printRequested);
    connect(mnuExplain, &QAction::triggered, this, &frmMain::helpRequested);
    connect(Test, &QAction::triggered, this, &frmMain::writeDetailedData);

    // Type and weight rules.
    connect(cboTypeA, &QComboBox::currentIndexChanged, this, &frmMain::ApplyBearingTypeA);
    connect(cboTypeB, &QComboBox::currentIndexChanged, this, &frmMain::ApplyBearingTypeB);
    connect(chkWeight, &QCheckBox::toggled, this, &frmMain::ApplyWeightOption);

    // Withdrawing stale results. textChanged fires for the program's assignments as for typing.
    for (int i = 1; i <= 4; ++i)
        connect(txtParameter[i], &QLineEdit::textChanged, this, [this] { invalidate(); });
    for (QLineEdit *box : txtGear)
        connect(box, &QLineEdit::textChanged, this, [this] { invalidate(true); });
    for (const auto *boxes : { &txtBearingA, &txtBearingB })
        for (QLineEdit *box : *boxes)
            connect(box, &QLineEdit::textChanged, this, [this] { invalidate(); });

    // Option pairs: selecting one clears its partner; both may stay unselected.
    const std::pair<QRadioButton *, QRadioButton *> pairs[] = { { optAssembleA, optAssembleB },
        { optGear1[0], optGear1[1] }, { optGear2[0], optGear2[1] } };
    for (const auto &[first, second] : pairs) {
        for (auto [self, partner] : { std::pair { first, second }, std::pair { second, first } }) {
            connect(self, &QRadioButton::toggled, this, [this, partner = partner](bool on) {
                if (!on)
                    return;
                partner->setChecked(false);
                invalidate();
            });
        }
    }
}

void frmMain::load()
{
    selectType(cboTypeA, SphericalRoller);
    selectType(cboTypeB, SphericalRoller);
    m_input.Fa1Dir = -1;
    m_input.Fa2Dir = -1;
    cmdSaveResult->setEnabled(false);
    cmdSaveParameter->setEnabled(false);
    Test->setEnabled(false);
    mnuSaveResult->setEnabled(false);
    mnuSaveParameter->setEnabled(false);
}

void frmMain::selectType(QComboBox *combo, int code)
{
    if (combo->currentIndex() != code) {
        combo->setCurrentIndex(code); // the change signal runs the rule
        return;
    }
    if (combo == cboTypeA)
        ApplyBearingTypeA();
    else
        ApplyBearingTypeB();
}

void frmMain::setFactorField(QLabel *label, QLineEdit *box, bool on)
{
    label->setEnabled(on);
    box->setEnabled(on);
    if (!on)
        box->setText(QString());
}

void frmMain::applyFieldEnabling(
    int code, const std::array<QLabel *, 7> &labels, const std::array<QLineEdit *, 5> &boxes)
{
    const TypeFactors used = factorsUsed(code);
    setFactorField(labels[1], boxes[1], used.e);
    setFactorField(labels[2], boxes[2], used.y1);
    setFactorField(labels[3], boxes[3], used.y2);
}

void frmMain::ApplyBearingTypeA()
{
    if (cboTypeA->currentIndex() < 0)
        return;
    const int code = cboTypeA->currentData().toInt();
    if (code < SphericalRoller || code > AngularContactBall)
        return;

    // Bearing B's type follows: a floating pair gets its counterpart.
    static constexpr int pairedB[] = { 0, 1, 3, 2, 4 };
    selectType(cboTypeB, pairedB[code]);

    const bool adjusted = code == SingleRowTapered || code == AngularContactBall;
    optAssembleA->setText(adjusted ? QStringLiteral("面对面安装") : QStringLiteral("A 轴承游动"));
    optAssembleB->setText(adjusted ? QStringLiteral("背对背安装") : QStringLiteral("B 轴承游动"));

    switch (code) {
    case SphericalRoller:
        optAssembleA->setChecked(false);
        optAssembleB->setChecked(false);
        break;
    case PairedTapered:
        optAssembleB->setChecked(true);
        break;
    default:
        optAssembleA->setChecked(true);
        break;
    }

    applyFieldEnabling(code, lblBearingA, txtBearingA);
}

void frmMain::ApplyBearingTypeB()
{
    if (cboTypeB->currentIndex() < 0)
        return;
    const int code = cboTypeB->currentData().toInt();
    if (code < SphericalRoller || code > AngularContactBall)
        return;
    applyFieldEnabling(code, lblBearingB, txtBearingB);
}

void frmMain::ApplyWeightOption()
{
    txtWeight->setEnabled(chkWeight->isChecked());
    invalidate();
}

void frmMain::invalidate(bool onlyResult)
{
    cmdSaveResult->setEnabled(false);
    if (!onlyResult)
        cmdSaveParameter->setEnabled(false);
}

void frmMain::cmdClear_Click()
{
    for (QLineEdit *box : m_client->findChildren<QLineEdit *>()) {
        if (qobject_cast<QComboBox *>(box->parentWidget()))
            continue; // a combo box's own editor is not a text box of the form
        box->setText(QString());
    }
    for (QRadioButton *option : m_client->findChildren<QRadioButton *>())
        option->setChecked(false);
    txtParameter[4]->setText(QStringLiteral("180"));
    txtGear[3]->setText(QStringLiteral("20"));
    txtGear[7]->setText(QStringLiteral("20"));
    selectType(cboTypeA, SphericalRoller);
    selectType(cboTypeB, SphericalRoller);
    chkWeight->setChecked(false);
    lblResultA->setText(QStringLiteral("A轴承"));
    lblResultB->setText(QStringLiteral("B轴承"));
    mnuSaveResult->setEnabled(false);
    mnuSaveParameter->setEnabled(false);
    Test->setEnabled(false);
}

bool frmMain::reportFault(Fault fault)
{
    const QString text = faultText(fault); // none for a skipped step: the command goes on
    if (text.isEmpty())
        return false;
    m_prompter.inform(text);
    return true;
}

void frmMain::cmdCompute_Click()
{
    const MainInputs window = inputs();
    if (reportFault(GatherInputs(window, m_input, m_flags)))
        return;
    if (const std::optional<Refusal> refusal = ValidateInputs(window, m_input)) {
        m_prompter.inform(refusal->text);
        focusConcernedField(refusal->field); // where the user has to act
        return;
    }
    if (reportFault(ComputeLoads(m_input, m_result)))
        return;

    lblResultA->setText(
        QStringLiteral("A轴承:") + lifeCaptionNumber(m_result.LhA) + QStringLiteral(" 万小时"));
    lblResultB->setText(
        QStringLiteral("B轴承:") + lifeCaptionNumber(m_result.LhB) + QStringLiteral(" 万小时"));
    setSaveCommandsEnabled(true);
}

void frmMain::setSaveCommandsEnabled(bool enabled)
{
    cmdSaveResult->setEnabled(enabled);
    cmdSaveParameter->setEnabled(enabled);
    Test->setEnabled(enabled);
    mnuSaveResult->setEnabled(enabled);
    mnuSaveParameter->setEnabled(enabled);
}

void frmMain::showAbout()
{
    AboutDialog(this).exec();
}

QWidget *frmMain::drawingArea() const
{
    return picA;
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    auto *key = qobject_cast<QLineEdit *>(watched);
    const int which = key == txtParameter[0] ? ShaftNumberKey
        : key == txtBearingA[0]              ? ModelAKey
        : key == txtBearingB[0]              ? ModelBKey
                                             : -1;
    if (which < 0)
        return QMainWindow::eventFilter(watched, event);

    if (event->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent *>(event)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            recallKey(which);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::upperCaseOnLeaving(QWidget *old, QWidget *now)
{
    // Only a move to another control of this form is leaving a key field. When the focus leaves the
    // window (a message box, the print question, another window or program, a menu) the field
    // stays as typed: upper-casing it there would withdraw the save commands of a valid result.
    // Nor does the program placing the focus after a refused computation edit anything.
    auto *key = qobject_cast<QLineEdit *>(old);
    if (!key || (key != txtParameter[0] && key != txtBearingA[0] && key != txtBearingB[0]))
        return;
    if (m_placingFocus || !now || now == old || !m_client->isAncestorOf(now))
        return;
    const QString upper = key->text().toUpper();
    if (upper != key->text())
        key->setText(upper); // an edit like any other: the invalidation rule runs
}

void frmMain::focusConcernedField(MainField concerned)
{
    QWidget *field = control(concerned);
    if (!field || !field->isEnabled())
        return;
    m_placingFocus = true;
    field->setFocus(Qt::OtherFocusReason);
    m_placingFocus = false;
}

void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        emit activated();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    emit unloading();
    QMainWindow::closeEvent(event);
}
