#include "OutputFile.h"

#include <cerrno>

#include "IOError.h"

namespace {
constexpr std::size_t kWriteBufferSize = 1 << 20;

int OpenOutput(const std::string& path, const fileaccess::FileIdentity* mustNotBe) {
    // Opened without truncating: the identity check must come before any
    // byte of an existing file is lost.
    const int fd = fileaccess::Open(path, fileaccess::Access::WriteCreate);
    if (fd < 0)
        throw IOError::FromErrno(errno, path);
    fileaccess::FileInfo info;
    int err = 0;
    if (!fileaccess::Stat(fd, info))
        err = errno;
    else if (mustNotBe && info.Regular && info.Identity == *mustNotBe)
        err = EACCES;
    // Devices such as /dev/null cannot be truncated and need not be.
    else if (info.Regular && info.Size != 0 && !fileaccess::Truncate(fd, 0))
        err = errno;
    if (err != 0) {
        fileaccess::Close(fd);
        throw IOError::FromErrno(err, path);
    }
    return fd;
}

// 0 when all n bytes went out, else the errno of the failure.
int WriteAll(int fd, const std::uint8_t* data, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        const std::int64_t w = fileaccess::Write(fd, data + done, n - done);
        if (w < 0)
            return errno;
        done += static_cast<std::size_t>(w);
    }
    return 0;
}

}  // namespace

OutputFile::OutputFile(const std::string& path, const fileaccess::FileIdentity* mustNotBe)
    : path_(path), fd_(OpenOutput(path, mustNotBe)), capacity_(kWriteBufferSize),
      filling_(new std::uint8_t[kWriteBufferSize]), writing_(new std::uint8_t[kWriteBufferSize]),
      writer_(&OutputFile::WriterLoop, this) {}

OutputFile::~OutputFile() {
    StopWriter();
    if (fd_ >= 0)
        fileaccess::Close(fd_);
}

void OutputFile::WriterLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return pending_ > 0 || stopping_; });
        if (pending_ == 0)
            return;
        const std::size_t n = pending_;
        lock.unlock();
        const int err = WriteAll(fd_, writing_.get(), n);
        lock.lock();
        if (err != 0 && writeError_ == 0)
            writeError_ = err;
        pending_ = 0;
        changed_.notify_all();
    }
}

void OutputFile::StopWriter() {
    if (!writer_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

void OutputFile::WaitForWriter() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return pending_ == 0; });
    if (writeError_ != 0) {
        used_ = 0;
        throw IOError::FromErrno(writeError_, path_);
    }
}

void OutputFile::HandOver() {
    WaitForWriter();
    if (used_ == 0)
        return;
    {
        std::lock_guard lock(mutex_);
        std::swap(filling_, writing_);
        pending_ = used_;
    }
    used_ = 0;
    changed_.notify_all();
}

void OutputFile::MakeRoom(std::size_t n) {
    HandOver();
    if (n > capacity_) {
        // Only a separator of many kilobytes gets here. Both buffers grow,
        // since they take turns; the writer is idle once handed nothing.
        WaitForWriter();
        filling_.reset(new std::uint8_t[n]);
        std::lock_guard lock(mutex_);
        writing_.reset(new std::uint8_t[n]);
        capacity_ = n;
    }
}

void OutputFile::WriteLarge(const void* data, std::size_t n) {
    MakeRoom(n);
    std::memcpy(filling_.get() + used_, data, n);
    used_ += n;
}

void OutputFile::Close() {
    if (fd_ < 0)
        return;
    try {
        HandOver();
        WaitForWriter();
    } catch (...) {
        StopWriter();
        fileaccess::Close(fd_);
        fd_ = -1;
        throw;
    }
    StopWriter();
    const int fd = fd_;
    fd_ = -1;
    if (!fileaccess::Close(fd))
        throw IOError::FromErrno(errno, path_);
}
