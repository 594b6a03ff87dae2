#pragma once

#include <stdexcept>
#include <string>

// The codes of the four failures users know by a text of their own. They
// are no errno values (EIO is 5 too): an IOError keeps the system's number
// apart and is never rebuilt from a code.
inline constexpr int kFileNotFound = 2;
inline constexpr int kInvalidFilename = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kFileAccessDenied = 5;

// The step of a file operation that failed.
enum class IOStep { Open, Read, Write, Close, Seek, Rename };

// A failed file operation: the step, the file and the system's errno. Its
// text is the one users know: "File not found", "Invalid filename", "Too
// many open files", "File access denied", or "I/O error N" with the errno
// for anything else.
class IOError : public std::runtime_error {
public:
    IOError(IOStep step, int err, std::string fileName);

    // The same, for the step that most callers fail at.
    static IOError FromErrno(int err, std::string fileName, IOStep step = IOStep::Open);

    // 2, 3, 4 or 5 for the four classes; 0 for any other failure.
    int ClassCode() const { return class_; }
    // The number users are shown: the class code, else the errno.
    int Code() const { return class_ ? class_ : errno_; }
    int Errno() const { return errno_; }
    IOStep Step() const { return step_; }
    const std::string& FileName() const { return fileName_; }

    // The system's own description of the errno: "No space left on device".
    std::string SystemText() const;
    // What happened in words: "cannot write: No space left on device".
    std::string Words() const;

    // The users' text of a class code; any other code gives "I/O error N".
    static std::string TextFor(int code);

private:
    IOStep step_;
    int errno_;
    int class_;
    std::string fileName_;
};

// "open", "read", "write", ...
const char* StepName(IOStep step);

// A file the program loads on its own (a code table) that cannot be read:
// what() is "Cannot open file NAME", Cause() the failure underneath.
class CannotOpenFile : public std::runtime_error {
public:
    CannotOpenFile(std::string name, IOError cause);
    const std::string& Name() const { return name_; }
    const IOError& Cause() const { return cause_; }

private:
    std::string name_;
    IOError cause_;
};
