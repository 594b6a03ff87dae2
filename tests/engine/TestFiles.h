#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "CallRecordBlock.h"

// A fresh folder per test, removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

using Bytes = std::vector<std::uint8_t>;

void WriteFile(const std::string& path, const Bytes& bytes);
// Makes reads of path fail (EBADF) through every descriptor of it this
// process holds: each becomes a write-only descriptor of the same file, so
// its size and identity stay as they were. False where this cannot be done
// (no /proc/self/fd) or no descriptor of path is open.
bool BreakReads(const std::string& path);
Bytes ReadFile(const std::string& path);
Bytes ToBytes(const std::string& text);

// The README's example record: 2 017 4951FFFF 0123456789FFFFF 0712 235959
// 000130 000090 01 02 3 4 +Az0 5, in ASCII.
CallRecord ExampleRecord();

// A block whose header is "HDR00001" and whose 34 records are the example.
CallRecordBlock ExampleBlock();
Bytes BlockBytes(const CallRecordBlock& block);
