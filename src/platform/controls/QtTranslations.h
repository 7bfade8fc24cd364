#pragma once

#include <QLocale>

// Qt's own translations (Debian's qt6-translations-l10n), so that standard
// buttons and dialogs (message boxes, the print preview, file dialogs) speak
// the operator's language. Needs the application object; false when Qt has no
// translation for that language (the texts stay in English).
bool installQtTranslations(const QLocale& locale = QLocale::system());
