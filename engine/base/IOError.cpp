#include "IOError.h"

#include <cerrno>
#include <system_error>

namespace {

// The class a failure belongs to by its meaning; 0 for none.
int ClassOf(int err) {
    switch (err) {
    case ENOENT:
        return kFileNotFound;
    case ENAMETOOLONG:
    case ENOTDIR:
    case ELOOP:
    case EILSEQ:
        return kInvalidFilename;
    case EMFILE:
    case ENFILE:
        return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
        return kFileAccessDenied;
    default:
        // A folder is not refused access: it is no file (EISDIR).
        return 0;
    }
}

// An errno of no class is told by its number, even one that is 2-5 (EIO).
std::string TextOf(int err) {
    const int code = ClassOf(err);
    return code ? IOError::TextFor(code) : "I/O error " + std::to_string(err);
}

}  // namespace

IOError::IOError(IOStep step, int err, std::string fileName)
    : std::runtime_error(TextOf(err)), step_(step), errno_(err), class_(ClassOf(err)), fileName_(std::move(fileName)) {}

IOError IOError::FromErrno(int err, std::string fileName, IOStep step) {
    return IOError(step, err, std::move(fileName));
}

std::string IOError::SystemText() const { return std::generic_category().message(errno_); }

std::string IOError::Words() const { return std::string("cannot ") + StepName(step_) + ": " + SystemText(); }

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

const char* StepName(IOStep step) {
    switch (step) {
    case IOStep::Open:
        return "open";
    case IOStep::Read:
        return "read";
    case IOStep::Write:
        return "write";
    case IOStep::Close:
        return "close";
    case IOStep::Seek:
        return "seek";
    case IOStep::Rename:
        return "rename";
    }
    return "use";
}

CannotOpenFile::CannotOpenFile(std::string name, IOError cause)
    : std::runtime_error("Cannot open file " + name), name_(std::move(name)), cause_(std::move(cause)) {}
