#include "TemporaryFiles.h"

#include <cerrno>
#include <mutex>
#include <random>
#include <set>

#include "FileAccess.h"
#include "IOError.h"

namespace {

// Creating, renaming and removing happen under the lock, so that RemoveAll
// sees every temporary that exists and none appears after it.
std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}
std::set<std::string>& Live() {
    static std::set<std::string> live;
    return live;
}
bool ending = false;

std::string HiddenNameBeside(const std::string& path, std::mt19937& random) {
    const std::size_t nameStart = fileaccess::FileNameStart(path);
    const std::string folder = path.substr(0, nameStart);
    const std::string name = path.substr(nameStart);
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string suffix(6, ' ');
    for (char& c : suffix)
        c = kLetters[random() % (sizeof kLetters - 1)];
    return folder + "." + name + ".mavik-" + suffix;
}

}  // namespace

int TemporaryFiles::Create(const std::string& path, unsigned mode, std::string& tempPath) {
    static std::mt19937 random(std::random_device{}());
    std::lock_guard lock(Lock());
    if (ending)
        throw IOError::FromErrno(EINTR, path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = HiddenNameBeside(path, random);
        const int fd = fileaccess::Open(candidate, fileaccess::Access::WriteCreateExclusive, mode);
        if (fd >= 0) {
            Live().insert(candidate);
            tempPath = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST)
            throw IOError::FromErrno(errno, path);
    }
    throw IOError::FromErrno(EEXIST, path);
}

void TemporaryFiles::Commit(const std::string& tempPath, const std::string& path) {
    std::lock_guard lock(Lock());
    if (Live().erase(tempPath) == 0)
        throw IOError(IOStep::Rename, EINTR, path);  // removed by RemoveAll
    if (!fileaccess::Replace(tempPath, path)) {
        const int err = errno;
        fileaccess::Remove(tempPath);
        throw IOError(IOStep::Rename, err, path);
    }
}

void TemporaryFiles::Discard(const std::string& tempPath) {
    std::lock_guard lock(Lock());
    if (Live().erase(tempPath) != 0)
        fileaccess::Remove(tempPath);
}

void TemporaryFiles::RemoveAll() {
    std::lock_guard lock(Lock());
    ending = true;
    for (const std::string& temp : Live())
        fileaccess::Remove(temp);
    Live().clear();
}
