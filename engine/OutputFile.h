#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

struct stat;

// The output of a run: created or replaced, written through a large buffer
// of our own (nothing is flushed per field or line), every write and the
// close checked.
class OutputFile {
public:
    // Creates the file, or replaces an existing one. When mustNotBe is given
    // (the open input's identity), a path that names that same file, through
    // any link or spelling, is refused with "File access denied" before
    // anything is truncated. Throws IOError.
    explicit OutputFile(const std::string& path, const struct stat* mustNotBe = nullptr);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(const void* data, std::size_t n) {
        if (n <= capacity_ - used_) {
            std::memcpy(buffer_.get() + used_, data, n);
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
        return buffer_.get() + used_;
    }
    void Commit(std::size_t n) { used_ += n; }

    // Writes out what is buffered and closes; throws IOError on failure.
    void Close();

    const std::string& Path() const { return path_; }

private:
    void Flush();
    void MakeRoom(std::size_t n);
    void WriteLarge(const void* data, std::size_t n);

    std::string path_;
    int fd_ = -1;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
};
