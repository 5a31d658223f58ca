#include "ui/main/qttranslation.h"

#include <QLibraryInfo>
#include <QTranslator>

bool loadQtTranslation(QTranslator &translator, const QLocale &locale)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QString base = QStringLiteral("qtbase");
    const QString separator = QStringLiteral("_");
    return translator.load(locale, base, separator, folder)
        || translator.load(QLocale(QLocale::Chinese, QLocale::China), base, separator, folder);
}
