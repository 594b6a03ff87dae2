#pragma once

#include <stdexcept>
#include <string>

inline constexpr int kFileNotFound = 2;
inline constexpr int kInvalidFilename = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kFileAccessDenied = 5;

// A failed file operation, with the text the users know for its code and
// the file it concerns. Code() is 2, 3, 4 or 5 for the classes above, or
// the system's own error number for anything else ("I/O error %d").
class IOError : public std::runtime_error {
public:
    IOError(int code, std::string fileName);

    // Classifies a Linux errno value by meaning.
    static IOError FromErrno(int err, std::string fileName);

    static std::string TextFor(int code);

    int Code() const { return code_; }
    const std::string& FileName() const { return fileName_; }

private:
    IOError(int code, std::string text, std::string fileName);

    int code_;
    std::string fileName_;
};
