#include "ui/main/helpwindow.h"
#include "ui/common/windowlayer.h"

#include "ui/main/schematic.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QMimeDatabase>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

// The resource initialiser must be called from the global namespace.
static void initHelpResources()
{
    Q_INIT_RESOURCE(help);
}

namespace {

QPointer<HelpWindow> g_helpWindow;

// Whether the desktop has a program for the file. Windows and macOS answer through openUrl
// itself; on other desktops openUrl hands the file to xdg-open, which reports success even when
// nothing can show it, so the registered viewer is asked for first.
bool desktopCanOpen(const QString &path)
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    Q_UNUSED(path);
    return true;
#else
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return false;
    const QString mimeType = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start(xdgMime, { QStringLiteral("query"), QStringLiteral("default"), mimeType });
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0
        && !query.readAllStandardOutput().trimmed().isEmpty();
#endif
}

QImage schematicImage()
{
    // 390 x 280 keeps the 3900 x 2800 units of the sketch square.
    const QSize size(390, 280);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(QRect(QPoint(0, 0), size - QSize(1, 1)));
    DrawShaftSchematic(painter, QRectF(QPointF(0, 0), QSizeF(size)), Qt::black);
    return image;
}

} // namespace

const QString HelpBrowser::SchematicImage = QStringLiteral("schematic.png");
const QUrl HelpWindow::HomePage(QStringLiteral("qrc:/help/index.html"));

QString defaultHelpFile()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help.chm"));
}

void showHelp(QWidget *parent, const QString &helpFile)
{
    if (!helpFile.isEmpty() && QFileInfo(helpFile).isFile() && desktopCanOpen(helpFile)
        && QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile)))
        return;

    if (!g_helpWindow) {
        g_helpWindow = new HelpWindow(parent);
        g_helpWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    WindowLayer::bringToFront(g_helpWindow, nullptr);
}

HelpBrowser::HelpBrowser(QWidget *parent)
    : QTextBrowser(parent)
{
    setOpenExternalLinks(true);
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    if (type == QTextDocument::ImageResource && name.fileName() == SchematicImage)
        return schematicImage();
    return QTextBrowser::loadResource(type, name);
}

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new HelpBrowser(this))
    , m_home(new QPushButton(QStringLiteral("目  录"), this))
    , m_back(new QPushButton(QStringLiteral("<< 后退"), this))
    , m_forward(new QPushButton(QStringLiteral("前进 >>"), this))
{
    initHelpResources();
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Tolvenar 帮助"));
    setFont(WindowLayer::songTi(11.25));

    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setAccessibleName(QStringLiteral("帮助内容"));
    m_home->setObjectName(QStringLiteral("cmdHelpHome"));
    m_back->setObjectName(QStringLiteral("cmdHelpBack"));
    m_forward->setObjectName(QStringLiteral("cmdHelpForward"));
    m_back->setEnabled(false);
    m_forward->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_home);
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    connect(m_home, &QPushButton::clicked, m_browser, &QTextBrowser::home);
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QPushButton::setEnabled);

    m_browser->setSource(HomePage);
    resize(680, 560);
}

HelpWindow *HelpWindow::current()
{
    return g_helpWindow.data();
}
