#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "AlignedBuffer.h"
#include "FileAccess.h"

// How an output reaches its name.
enum class OutputMode {
    Direct,            // created or truncated in place; what was written stays
    ReplaceOnSuccess,  // written beside it and renamed over it by a successful Close
};

// The output of a run: created or replaced, written through large buffers
// of our own (nothing is flushed per field or line), every write and the
// close checked. A full buffer is written out by a writer thread while the
// next one fills, so the kernel's copying overlaps the formatting; a write
// that failed there is raised by the next Write, Reserve or Close.
class OutputFile {
public:
    // Creates the file, or replaces an existing one. When mustNotBe is given
    // (the open input's identity), a path that names that same file, through
    // any link or spelling, is refused with "File access denied" before
    // anything is truncated. Throws IOError.
    //
    // ReplaceOnSuccess writes a hidden temporary in the folder of the file
    // (of its target when path is a symbolic link), with the permission bits
    // of the file it replaces, and renames it over that file in Close.
    // Anything but a regular file (a device such as /dev/null, a FIFO) is
    // written directly.
    explicit OutputFile(const std::string& path, const fileaccess::FileIdentity* mustNotBe = nullptr,
                        OutputMode mode = OutputMode::Direct);
    // A descriptor that is already open, such as standard output, written
    // directly and closed by Close; name is what errors call it.
    OutputFile(int fd, std::string name);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(const void* data, std::size_t n) {
        if (n <= capacity_ - used_) {
            std::memcpy(filling_.Data() + used_, data, n);
            used_ += n;
        } else {
            WriteLarge(data, n);
        }
    }

    // Room for n bytes written straight into the buffer; Commit says how
    // many of them were used.
    std::uint8_t* Reserve(std::size_t n) {
        if (n > capacity_ - used_)
            MakeRoom(n);
        return filling_.Data() + used_;
    }
    void Commit(std::size_t n) { used_ += n; }

    // Writes out everything and closes, then puts a temporary in place;
    // throws IOError on failure, and a temporary is then removed.
    void Close();

    // Ends a failed run: a temporary is removed and the file of that name
    // stays as it was; a file written directly is closed like Close, keeping
    // what was written.
    void Discard();

    const std::string& Path() const { return path_; }

private:
    void HandOver();        // passes the filled buffer to the writer
    void WaitForWriter();   // until the writer is idle; raises its failure
    void MakeRoom(std::size_t n);
    void WriteLarge(const void* data, std::size_t n);
    void WriterLoop();
    void StopWriter();

    std::string path_;
    std::string target_;     // where a temporary goes: path_ with its links followed
    std::string temporary_;  // empty when written directly
    int fd_ = -1;
    std::size_t capacity_;
    AlignedBuffer filling_;  // the run's thread writes here
    std::size_t used_ = 0;

    std::mutex mutex_;
    std::condition_variable changed_;
    AlignedBuffer writing_;  // the writer's, while pending_ > 0
    std::size_t pending_ = 0;
    int writeError_ = 0;
    bool stopping_ = false;
    std::thread writer_;
};
