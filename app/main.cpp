#include "ui/main/programwindows.h"
#include "ui/main/singleinstance.h"
#include "ui/main/widgetprompter.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tolvenar"));
    QApplication::setApplicationName(QStringLiteral("Tolvenar"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tolvenar"));

    // Qt's own texts (file dialogs) in Chinese when the translations are installed.
    QTranslator qtTexts;
    if (qtTexts.load(
            QStringLiteral("qt_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    WidgetPrompter prompter;
    // A second start says so and ends; the copy already running is not affected.
    if (!acquireSingleInstance(prompter))
        return 0;

    ProgramWindows windows(prompter);
    windows.main().show();
    return app.exec();
}
