#include "ui/main/frmmain.h"
#include "ui/main/widgetprompter.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tolvenar"));
    QApplication::setApplicationName(QStringLiteral("Tolvenar"));

    // Qt's own texts (file dialogs) in Chinese when the translations are installed.
    QTranslator qtTexts;
    if (qtTexts.load(
            QStringLiteral("qt_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    WidgetPrompter prompter;
    frmMain window(prompter);
    window.show();
    return app.exec();
}
