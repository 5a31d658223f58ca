#include "ui/main/aboutdialog.h"

#include "records/recordfile.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef TOLVENAR_VERSION
#error "TOLVENAR_VERSION comes from the build (the project version)"
#endif

// The resource initialiser must be called from the global namespace.
static void initAboutResources()
{
    Q_INIT_RESOURCE(about);
}

QString AboutDialog::version()
{
    return QStringLiteral(TOLVENAR_VERSION);
}

QString AboutDialog::licenceText()
{
    initAboutResources();
    QFile file(QStringLiteral(":/about/LICENSE"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于 Tolvenar"));

    const QString folder = QDir::toNativeSeparators(RecordFiles::appDirectory());
    auto *text = new QLabel(this);
    text->setObjectName(QStringLiteral("lblAbout"));
    text->setTextFormat(Qt::RichText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse); // the folder can be copied
    text->setText(QStringLiteral("<h2>Tolvenar</h2>"
                                 "<p>斜齿轮轴系滚动轴承额定寿命计算</p>"
                                 "<p>版本：%1<br>Qt 版本：%2<br>许可证：MIT</p>"
                                 "<p>记录文件（gear.sav、bearing.sav）所在的文件夹：<br>%3</p>")
                      .arg(version().toHtmlEscaped(),
                          QString::fromLatin1(qVersion()).toHtmlEscaped(), folder.toHtmlEscaped()));

    auto *licence = new QPlainTextEdit(licenceText(), this);
    licence->setObjectName(QStringLiteral("txtLicence"));
    licence->setAccessibleName(QStringLiteral("许可证"));
    licence->setReadOnly(true);
    licence->setMinimumSize(560, 220);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(licence);
    layout->addWidget(buttons);
}
