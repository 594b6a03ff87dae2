#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

bool Install(QCoreApplication& application, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(name, folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

}  // namespace

bool InstallQtRussian(QCoreApplication& application) {
    return Install(application, QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool InstallMavikRussian(QCoreApplication& application) {
    return Install(application, QStringLiteral("mavik_ru"), QStringLiteral(":/i18n"));
}

void InstallRussian(QCoreApplication& application) {
    InstallQtRussian(application);
    InstallMavikRussian(application);
}

std::string QtFormWords::translate(const char* context, const char* source, const char* disambiguation,
                                   int n) const {
    return QCoreApplication::translate(context, source, disambiguation, n).toStdString();
}
