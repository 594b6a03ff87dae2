#include "FileSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "IOError.h"

FileSource::FileSource(std::string path) : path_(std::move(path)) {
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw IOError::FromErrno(errno, path_);
    try {
        struct stat st {};
        if (::fstat(fd_, &st) != 0)
            throw IOError::FromErrno(errno, path_);
        if (S_ISDIR(st.st_mode))
            throw IOError::FromErrno(EISDIR, path_);
        Reload();
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

FileSource::~FileSource() { ::close(fd_); }

void FileSource::Reload() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw IOError::FromErrno(errno, path_);
    // Character devices and pipes report 0; they show as empty.
    size_ = S_ISREG(st.st_mode) || S_ISBLK(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
}

std::size_t FileSource::Read(std::uint64_t offset, void* buffer, std::size_t n) const {
    std::size_t got = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (got < n) {
        const ssize_t r = ::pread(fd_, bytes + got, n - got, static_cast<off_t>(offset + got));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        got += static_cast<std::size_t>(r);
    }
    return got;
}
