#include "OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "IOError.h"

namespace {
constexpr std::size_t kWriteBufferSize = 1 << 20;
}  // namespace

OutputFile::OutputFile(const std::string& path, const struct stat* mustNotBe)
    : path_(path), buffer_(new std::uint8_t[kWriteBufferSize]), capacity_(kWriteBufferSize) {
    // Opened without O_TRUNC: the identity check must come before any byte
    // of an existing file is lost.
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0)
        throw IOError::FromErrno(errno, path);
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const int err = errno;
        ::close(fd_);
        fd_ = -1;
        throw IOError::FromErrno(err, path);
    }
    if (mustNotBe && st.st_dev == mustNotBe->st_dev && st.st_ino == mustNotBe->st_ino) {
        ::close(fd_);
        fd_ = -1;
        throw IOError(kFileAccessDenied, path);
    }
    // Devices such as /dev/null cannot be truncated and need not be.
    if (S_ISREG(st.st_mode) && st.st_size != 0 && ::ftruncate(fd_, 0) != 0) {
        const int err = errno;
        ::close(fd_);
        fd_ = -1;
        throw IOError::FromErrno(err, path);
    }
}

OutputFile::~OutputFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

void OutputFile::Flush() {
    std::size_t done = 0;
    while (done < used_) {
        const ssize_t n = ::write(fd_, buffer_.get() + done, used_ - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            used_ = 0;
            throw IOError::FromErrno(errno, path_);
        }
        done += static_cast<std::size_t>(n);
    }
    used_ = 0;
}

void OutputFile::MakeRoom(std::size_t n) {
    Flush();
    if (n > capacity_) {
        // Only a separator of many kilobytes gets here.
        buffer_.reset(new std::uint8_t[n]);
        capacity_ = n;
    }
}

void OutputFile::WriteLarge(const void* data, std::size_t n) {
    MakeRoom(n);
    std::memcpy(buffer_.get() + used_, data, n);
    used_ += n;
}

void OutputFile::Close() {
    if (fd_ < 0)
        return;
    try {
        Flush();
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        throw IOError::FromErrno(errno, path_);
}
