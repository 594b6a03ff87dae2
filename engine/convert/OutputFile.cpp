#include "OutputFile.h"

#include <cerrno>
#include <exception>
#include <filesystem>
#include <utility>

#include "IOError.h"
#include "TemporaryFiles.h"

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

// The file that path names once its symbolic links are followed; path
// itself when it is no link. A link to a file that does not exist yet gives
// that file's name.
std::string FollowLinks(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path p = fileaccess::PathOf(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec)))
            return fileaccess::Utf8(p);
        const fs::path target = fs::read_symlink(p, ec);
        if (ec)
            return fileaccess::Utf8(p);
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    throw IOError::FromErrno(ELOOP, path);
}

// Opens the output in the given mode; for a temporary, fills target and
// temporary.
int OpenOutput(const std::string& path, const fileaccess::FileIdentity* mustNotBe, OutputMode mode,
               std::string& target, std::string& temporary) {
    if (mode == OutputMode::Direct)
        return OpenOutput(path, mustNotBe);
    fileaccess::FileInfo info;
    const bool exists = fileaccess::StatPath(path, info);
    if (!exists && errno != ENOENT)
        throw IOError::FromErrno(errno, path);
    if (exists) {
        // The input itself is never renamed over: the refusal is the same as
        // for a direct output.
        if (mustNotBe && info.Regular && info.Identity == *mustNotBe)
            throw IOError::FromErrno(EACCES, path);
        if (info.Directory)
            throw IOError::FromErrno(EISDIR, path);
        if (!info.Regular)
            return OpenOutput(path, mustNotBe);
    }
    target = FollowLinks(path);
    const int fd = TemporaryFiles::Create(target, 0666, temporary);
    if (exists) {
        std::error_code ec;
        std::filesystem::permissions(fileaccess::PathOf(temporary),
                                     static_cast<std::filesystem::perms>(info.Permissions), ec);
        if (ec) {
            fileaccess::Close(fd);
            TemporaryFiles::Discard(temporary);
            throw IOError::FromErrno(ec.value(), path);
        }
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

OutputFile::OutputFile(const std::string& path, const fileaccess::FileIdentity* mustNotBe,
                       OutputMode mode)
    : path_(path), fd_(OpenOutput(path, mustNotBe, mode, target_, temporary_)),
      capacity_(kWriteBufferSize), filling_(kWriteBufferSize),
      writing_(kWriteBufferSize), writer_(&OutputFile::WriterLoop, this) {}

OutputFile::OutputFile(int fd, std::string name)
    : path_(std::move(name)), fd_(fd), capacity_(kWriteBufferSize),
      filling_(kWriteBufferSize), writing_(kWriteBufferSize),
      writer_(&OutputFile::WriterLoop, this) {}

OutputFile::~OutputFile() {
    StopWriter();
    if (fd_ >= 0)
        fileaccess::Close(fd_);
    if (!temporary_.empty())
        TemporaryFiles::Discard(temporary_);
}

void OutputFile::WriterLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return pending_ > 0 || stopping_; });
        if (pending_ == 0)
            return;
        const std::size_t n = pending_;
        lock.unlock();
        const int err = WriteAll(fd_, writing_.Data(), n);
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
        throw IOError(IOStep::Write, writeError_, path_);
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
        filling_ = AlignedBuffer(n);
        std::lock_guard lock(mutex_);
        writing_ = AlignedBuffer(n);
        capacity_ = n;
    }
}

void OutputFile::WriteLarge(const void* data, std::size_t n) {
    MakeRoom(n);
    std::memcpy(filling_.Data() + used_, data, n);
    used_ += n;
}

void OutputFile::Close() {
    if (fd_ < 0)
        return;
    std::exception_ptr failure;
    try {
        HandOver();
        WaitForWriter();
    } catch (...) {
        failure = std::current_exception();
    }
    StopWriter();
    const int fd = std::exchange(fd_, -1);
    if (!fileaccess::Close(fd) && !failure)
        failure = std::make_exception_ptr(IOError(IOStep::Close, errno, path_));
    const std::string temporary = std::exchange(temporary_, {});
    if (failure) {
        if (!temporary.empty())
            TemporaryFiles::Discard(temporary);
        std::rethrow_exception(failure);
    }
    if (!temporary.empty())
        TemporaryFiles::Commit(temporary, target_);
}

void OutputFile::Discard() {
    if (temporary_.empty()) {
        Close();
        return;
    }
    StopWriter();
    if (fd_ >= 0)
        fileaccess::Close(std::exchange(fd_, -1));
    TemporaryFiles::Discard(std::exchange(temporary_, {}));
}
