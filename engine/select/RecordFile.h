#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FileAccess.h"
#include "FileSource.h"
#include "RecordLayout.h"

// A file of call records opened read-only, in a known or recognised layout,
// with 64-bit record numbers. Reads are positioned, so one file may serve
// several threads; Record() keeps a small window of records for a view.
class RecordFile {
public:
    // Recognises the layout when none is given, or when a given text layout
    // does not fit the file (blockCode then decides a block file's code).
    // Throws IOError or LayoutError.
    explicit RecordFile(const std::string& path, std::optional<RecordLayout> layout = std::nullopt,
                        std::optional<BlockCode> blockCode = std::nullopt);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    const std::string& Path() const { return path_; }
    const RecordLayout& Layout() const { return layout_; }
    std::uint64_t Size() const { return size_; }
    std::uint64_t RecordCount() const { return count_; }
    const fileaccess::FileIdentity& Identity() const { return info_.Identity; }

    // Up to n bytes from offset into into; returns how many there were
    // (fewer at the end). Throws IOError when a read fails. Safe from any
    // thread.
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t n) const;
    // Exactly n bytes that the file held when it was opened. Throws IOError
    // when a read fails and std::runtime_error, naming the file, when it has
    // grown shorter since: a scan or an export must not pass for complete.
    void ReadWhole(std::uint64_t offset, std::uint8_t* into, std::size_t n) const;

    // The bytes of record i (RecordBytes() of them), through a window of
    // records around it; nullptr when the file no longer holds it. Throws
    // IOError when the read fails. For one thread at a time; the pointer
    // stays valid until the next call.
    const std::uint8_t* Record(std::uint64_t i);

private:
    static fileaccess::FileInfo RegularFileInfo(const std::string& path);

    std::string path_;
    fileaccess::FileInfo info_;
    FileSource source_;
    RecordLayout layout_;
    std::uint64_t size_ = 0;
    std::uint64_t count_ = 0;
    std::vector<std::uint8_t> window_;
    std::uint64_t windowFirst_ = 0;  // the file offset of window_[0]
};
