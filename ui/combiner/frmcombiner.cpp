#include "ui/combiner/frmcombiner.h"

#include "catalogue/combiner.h"
#include "records/recordfile.h"
#include "ui/common/prompter.h"
#include "ui/common/windowlayer.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmCombiner::frmCombiner(Prompter &prompter, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_prompter(prompter)
    , Frame1(new QGroupBox(this))
    , Label1_0(new QLabel(QStringLiteral("源文件"), Frame1))
    , txtResource(new QLineEdit(Frame1))
    , cmdOpenFile(new QPushButton(QStringLiteral("<<<"), Frame1))
    , Label1_1(new QLabel(QStringLiteral("目标文件"), Frame1))
    , txtDestination(new QLineEdit(Frame1))
    , lblView(new QLabel(this))
    , cmdStart(new QPushButton(QStringLiteral("开 始"), this))
    , cmdExit(new QPushButton(QStringLiteral("退 出>>"), this))
{
    setObjectName(QStringLiteral("frmCombiner"));
    setWindowTitle(QStringLiteral("合并记录"));
    setAttribute(Qt::WA_DeleteOnClose);
    WindowLayer::installAccessibleRoles();
    setFont(WindowLayer::songTi(11.25));

    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label1_0->setObjectName(QStringLiteral("Label1_0"));
    txtResource->setObjectName(QStringLiteral("txtResource"));
    cmdOpenFile->setObjectName(QStringLiteral("cmdOpenFile"));
    Label1_1->setObjectName(QStringLiteral("Label1_1"));
    txtDestination->setObjectName(QStringLiteral("txtDestination"));
    lblView->setObjectName(QStringLiteral("lblView"));
    cmdStart->setObjectName(QStringLiteral("cmdStart"));
    cmdExit->setObjectName(QStringLiteral("cmdExit"));

    cmdOpenFile->setToolTip(QStringLiteral("打开文件"));
    for (QLineEdit *box : { txtResource, txtDestination }) {
        QPalette grey = box->palette();
        grey.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
        box->setPalette(grey);
        box->setMinimumWidth(360);
    }
    txtResource->setAccessibleName(Label1_0->text());
    txtDestination->setAccessibleName(Label1_1->text());
    txtDestination->setReadOnly(true);
    cmdStart->setEnabled(false);

    auto *frame = new QGridLayout(Frame1);
    frame->addWidget(Label1_0, 0, 0, 1, 2);
    frame->addWidget(txtResource, 1, 0);
    frame->addWidget(cmdOpenFile, 1, 1);
    frame->addWidget(Label1_1, 2, 0, 1, 2);
    frame->addWidget(txtDestination, 3, 0);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblView, 1);
    bottom->addWidget(cmdStart);
    bottom->addWidget(cmdExit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(bottom);

    connect(cmdOpenFile, &QPushButton::clicked, this, &frmCombiner::ChooseSourceFile);
    connect(txtResource, &QLineEdit::textChanged, this, [this] { cmdStart->setEnabled(true); });
    connect(cmdStart, &QPushButton::clicked, this, &frmCombiner::MergeRecords);
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::close);

    CombinerLoad();
}

namespace {

// A path longer than its box shows its end, the file name; the whole path is the box's tooltip.
void showPath(QLineEdit *box, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    box->setText(shown);
    box->setCursorPosition(int(shown.size()));
    box->setToolTip(shown);
}

} // namespace

void frmCombiner::CombinerLoad()
{
    m_targetPath = RecordFiles::bearingPath();
    const Result<qint64> count = Combiner::countBearingRecords(m_targetPath);
    showPath(txtDestination, m_targetPath);
    lblView->setText(Combiner::targetCountText(count ? *count : 0));
    if (!count)
        m_prompter.inform(count.error().text());
}

void frmCombiner::ChooseSourceFile()
{
    const QString chosen = m_prompter.openFileName(
        QStringLiteral("打开"), QString(), QStringLiteral("记录文件(*.sav)"));
    if (chosen.isEmpty())
        return; // cancelled: the source stays as it was
    m_sourcePath = chosen;
    showPath(txtResource, m_sourcePath);
}

void frmCombiner::MergeRecords()
{
    // A source typed into the box is not taken over: without a chosen file nothing happens.
    const Result<std::optional<Combiner::MergeResult>> merged
        = Combiner::mergeBearingFiles(m_sourcePath, m_targetPath);
    if (!merged) {
        m_prompter.inform(merged.error().text());
        return;
    }
    if (!*merged)
        return; // no source file: nothing happens
    const Combiner::MergeResult &result = **merged;
    lblView->setText(Combiner::mergeResultText(result.targetCount, result.added));
    if (result.stopped)
        m_prompter.inform(result.stopped->text());
    if (!result.note.isEmpty())
        m_prompter.inform(result.note);
}
