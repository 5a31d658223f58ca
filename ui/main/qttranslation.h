#pragma once

// Qt's own texts (the file and print dialogs, "Look in", "Cancel") in the user's language.

#include <QLocale>

class QTranslator;

// Loads qtbase_<language>.qm for locale from Qt's translations folder (Debian package
// qt6-translations-l10n). Where Qt has no translation for the locale (the C locale, a language it
// lacks) the Chinese one is loaded: the program's own texts are Chinese. Returns false when
// neither is installed.
bool loadQtTranslation(QTranslator &translator, const QLocale &locale = QLocale());
