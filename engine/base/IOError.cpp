#include "IOError.h"

#include <cerrno>

IOError::IOError(int code, std::string fileName)
    : IOError(code, TextFor(code), std::move(fileName)) {}

IOError::IOError(int code, std::string text, std::string fileName)
    : std::runtime_error(std::move(text)), code_(code), fileName_(std::move(fileName)) {}

IOError IOError::FromErrno(int err, std::string fileName) {
    switch (err) {
    case ENOENT:
        return IOError(kFileNotFound, std::move(fileName));
    case ENAMETOOLONG:
    case ENOTDIR:
    case ELOOP:
    case EILSEQ:
        return IOError(kInvalidFilename, std::move(fileName));
    case EMFILE:
    case ENFILE:
        return IOError(kTooManyOpenFiles, std::move(fileName));
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return IOError(kFileAccessDenied, std::move(fileName));
    default:
        // Spelled out here, not through TextFor: EIO is 5 and must not read
        // as "File access denied".
        return IOError(err, "I/O error " + std::to_string(err), std::move(fileName));
    }
}

std::string IOError::TextFor(int code) {
    switch (code) {
    case kFileNotFound:
        return "File not found";
    case kInvalidFilename:
        return "Invalid filename";
    case kTooManyOpenFiles:
        return "Too many open files";
    case kFileAccessDenied:
        return "File access denied";
    default:
        return "I/O error " + std::to_string(code);
    }
}
