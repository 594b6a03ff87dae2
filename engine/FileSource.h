#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A file opened read-only for the viewers, read by position. The file may
// grow or shrink under us: a read past its end comes back short, never
// fails or faults (positioned reads, not a mapping, for exactly that).
class FileSource {
public:
    // Throws IOError when the file cannot be opened or is a folder.
    explicit FileSource(std::string path);
    ~FileSource();
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    const std::string& Path() const { return path_; }

    // The size seen at opening or at the last Reload().
    std::uint64_t Size() const { return size_; }

    // Takes the file's current size. Throws IOError when it cannot be read.
    void Reload();

    // Reads up to n bytes at offset into buffer; returns how many it got
    // (fewer at the end of the file, 0 past it or on a read error).
    // Safe from several threads at once.
    std::size_t Read(std::uint64_t offset, void* buffer, std::size_t n) const;

private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};
