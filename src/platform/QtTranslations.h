#pragma once
// Qt's own texts (standard context menus, dialogs) in the user's language, from the
// translations Debian installs with qt6-translations-l10n.

class QCoreApplication;

// Installs Qt's translations for the default locale (the user's, unless changed), where
// there are some; English stays otherwise.
void InstallQtTranslations(QCoreApplication& application);
