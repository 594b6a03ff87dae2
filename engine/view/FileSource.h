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
    // (fewer at the end of the file or where a read failed, 0 past the end).
    // Safe from several threads at once.
    std::size_t Read(std::uint64_t offset, void* buffer, std::size_t n) const;

    // Like Read, for whoever must not take a failed read for the end of the
    // file: a read that fails throws IOError naming the file. Fewer than n
    // bytes only at the end of the file.
    std::size_t ReadOrThrow(std::uint64_t offset, void* buffer, std::size_t n) const;

private:
    // Up to n bytes; failed (and errno) says whether a read failed first.
    std::size_t ReadUpTo(std::uint64_t offset, void* buffer, std::size_t n, bool& failed) const;

    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};
