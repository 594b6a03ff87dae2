#pragma once

class QCoreApplication;

// Qt's own dialogs and buttons in Russian, like the rest of the window, from
// Qt's translations (Debian package qt6-translations-l10n). False when the
// translations are not installed: the standard buttons then stay English.
bool InstallQtRussian(QCoreApplication& application);

// Our own windows' texts in Russian, from the translation built into the
// program. False only when the build left it out.
bool InstallMavikRussian(QCoreApplication& application);

// Both of the above. The windows read Russian whatever the locale says,
// because the main window is drawn in Russian.
void InstallRussian(QCoreApplication& application);

#include "FormWords.h"

// The form's texts through the installed translators.
class QtFormWords final : public FormWords {
public:
    std::string translate(const char* context, const char* source, const char* disambiguation = nullptr,
                          int n = -1) const override;
};
