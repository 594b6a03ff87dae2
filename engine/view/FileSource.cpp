#include "FileSource.h"

#include <cerrno>

#include "FileAccess.h"
#include "IOError.h"

FileSource::FileSource(std::string path) : path_(std::move(path)) {
    fd_ = fileaccess::Open(path_, fileaccess::Access::Read);
    if (fd_ < 0)
        throw IOError::FromErrno(errno, path_);
    try {
        fileaccess::FileInfo info;
        if (!fileaccess::Stat(fd_, info))
            throw IOError::FromErrno(errno, path_);
        if (info.Directory)
            throw IOError::FromErrno(EISDIR, path_);
        Reload();
    } catch (...) {
        fileaccess::Close(fd_);
        throw;
    }
}

FileSource::~FileSource() { fileaccess::Close(fd_); }

void FileSource::Reload() {
    fileaccess::FileInfo info;
    if (!fileaccess::Stat(fd_, info))
        throw IOError::FromErrno(errno, path_);
    // Devices and pipes show as empty.
    size_ = info.Regular ? static_cast<std::uint64_t>(info.Size) : 0;
}

std::size_t FileSource::ReadUpTo(std::uint64_t offset, void* buffer, std::size_t n, bool& failed) const {
    std::size_t got = 0;
    auto* bytes = static_cast<char*>(buffer);
    failed = false;
    while (got < n) {
        const std::int64_t r =
            fileaccess::ReadAt(fd_, static_cast<std::int64_t>(offset + got), bytes + got, n - got);
        if (r <= 0) {
            failed = r < 0;
            break;
        }
        got += static_cast<std::size_t>(r);
    }
    return got;
}

std::size_t FileSource::Read(std::uint64_t offset, void* buffer, std::size_t n) const {
    bool failed;
    return ReadUpTo(offset, buffer, n, failed);
}

std::size_t FileSource::ReadOrThrow(std::uint64_t offset, void* buffer, std::size_t n) const {
    bool failed;
    const std::size_t got = ReadUpTo(offset, buffer, n, failed);
    if (failed)
        throw IOError(IOStep::Read, errno, path_);
    return got;
}
