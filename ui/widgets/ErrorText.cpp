#include "ErrorText.h"

#include <QCoreApplication>

#include <cerrno>

#include "IOError.h"

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("IOError", text); }

QString WithDescription(const QString& text, const IOError& error) {
    const QString description = SystemDescription(error);
    return description.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, description);
}

}  // namespace

QString SystemDescription(const IOError& error) {
    switch (error.Errno()) {
    case ENOENT:
    case EACCES:
    case EPERM:
    case EMFILE:
    case ENFILE:
        return {};  // the class's own text says it
    case ENOSPC:
        return Tr(QT_TRANSLATE_NOOP("IOError", "no space left on the disk"));
#ifdef EDQUOT
    case EDQUOT:
        return Tr(QT_TRANSLATE_NOOP("IOError", "the disk quota is used up"));
#endif
    case EIO:
        return Tr(QT_TRANSLATE_NOOP("IOError", "the device failed to read or write"));
    case EISDIR:
        return Tr(QT_TRANSLATE_NOOP("IOError", "it is a folder, not a file"));
    case EROFS:
        return Tr(QT_TRANSLATE_NOOP("IOError", "the file system is read-only"));
    case EFBIG:
        return Tr(QT_TRANSLATE_NOOP("IOError", "the file is too large"));
    case ENXIO:
    case ENODEV:
        return Tr(QT_TRANSLATE_NOOP("IOError", "no such device"));
    case ENOTDIR:
        return Tr(QT_TRANSLATE_NOOP("IOError", "a part of the path is not a folder"));
    case ENAMETOOLONG:
        return Tr(QT_TRANSLATE_NOOP("IOError", "the name is too long"));
    case ELOOP:
        return Tr(QT_TRANSLATE_NOOP("IOError", "too many symbolic links"));
    default:
        // No words of our own: the system's, as it gives them.
        return QString::fromStdString(error.SystemText());
    }
}

QString IOErrorText(const IOError& error) {
    const QString file = QString::fromStdString(error.FileName());
    switch (error.ClassCode()) {
    case kFileNotFound:
        return WithDescription(Tr(QT_TRANSLATE_NOOP("IOError", "File not found: %1")).arg(file), error);
    case kInvalidFilename:
        return WithDescription(Tr(QT_TRANSLATE_NOOP("IOError", "Invalid filename: %1")).arg(file), error);
    case kTooManyOpenFiles:
        return WithDescription(Tr(QT_TRANSLATE_NOOP("IOError", "Too many open files: %1")).arg(file), error);
    case kFileAccessDenied:
        return WithDescription(Tr(QT_TRANSLATE_NOOP("IOError", "File access denied: %1")).arg(file), error);
    default:
        // The errno, even one of 2-5: EIO is no refused access.
        return WithDescription(Tr(QT_TRANSLATE_NOOP("IOError", "I/O error %1: %2")).arg(error.Errno()).arg(file), error);
    }
}

QString ErrorText(const std::exception& error) {
    if (const auto* io = dynamic_cast<const IOError*>(&error))
        return IOErrorText(*io);
    if (const auto* table = dynamic_cast<const CannotOpenFile*>(&error))
        return WithDescription(QString::fromStdString(table->what()), table->Cause());
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
