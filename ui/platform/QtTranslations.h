#pragma once

class QCoreApplication;

// Qt's own dialogs and buttons in Russian, like the rest of the window, from
// Qt's translations (Debian package qt6-translations-l10n). The program's
// own texts are untouched. False when the translations are not installed:
// the standard buttons then stay English.
bool InstallQtRussian(QCoreApplication& application);
