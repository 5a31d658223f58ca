#include "ui/common/widgetprompter.h"
#include "ui/main/programwindows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QTranslator>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

// A session without XDG_RUNTIME_DIR (xvfb-run, su, a service) makes Qt warn on the terminal and
// fall back to <temp>/runtime-<user>. Naming that same folder beforehand keeps the terminal quiet;
// Qt still creates it with mode 0700 and warns when it is not the user's own.
void provideRuntimeDirectory()
{
#ifdef Q_OS_UNIX
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const uid_t uid = ::geteuid();
    const passwd *entry = ::getpwuid(uid);
    const QString user = entry && entry->pw_name && *entry->pw_name
        ? QString::fromLocal8Bit(entry->pw_name)
        : QString::number(uid);
    qputenv("XDG_RUNTIME_DIR",
        QFile::encodeName(QDir::tempPath() + QStringLiteral("/runtime-") + user));
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    provideRuntimeDirectory();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tolvenar"));
    QApplication::setApplicationName(QStringLiteral("Tolvenar"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tolvenar"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tolvenar"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tolvenar.png")));

    // Qt's own texts (file and print dialogs) in the user's language; a second start says so and
    // ends, the copy already running not affected.
    QTranslator qtTexts;
    WidgetPrompter prompter;
    const std::unique_ptr<ProgramWindows> windows = startProgram(prompter, qtTexts);
    return windows ? app.exec() : 0;
}
