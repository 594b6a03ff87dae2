#include "ErrorText.h"

#include <QCoreApplication>

#include "IOError.h"

QString IOErrorText(const IOError& error) {
    const QString file = QString::fromStdString(error.FileName());
    switch (error.Code()) {
    case kFileNotFound:
        return QCoreApplication::translate("IOError", "File not found: %1").arg(file);
    case kInvalidFilename:
        return QCoreApplication::translate("IOError", "Invalid filename: %1").arg(file);
    case kTooManyOpenFiles:
        return QCoreApplication::translate("IOError", "Too many open files: %1").arg(file);
    case kFileAccessDenied:
        return QCoreApplication::translate("IOError", "File access denied: %1").arg(file);
    default:
        return QCoreApplication::translate("IOError", "I/O error %1: %2").arg(error.Code()).arg(file);
    }
}

QString ErrorText(const std::exception& error) {
    if (const auto* io = dynamic_cast<const IOError*>(&error))
        return IOErrorText(*io);
    return QString::fromStdString(error.what());
}

QString ErrorText(const std::exception_ptr& failure) {
    if (!failure)
        return {};
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        return ErrorText(error);
    } catch (...) {
        return QCoreApplication::translate("IOError", "Unknown error");
    }
}
