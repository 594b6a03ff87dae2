#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

// The few file operations whose spelling differs between Linux and Windows.
// Paths are UTF-8 on both. Every file is opened in binary mode and is not
// inherited by programs we start. Failures return -1 (or false) and leave
// an errno value in errno, so IOError::FromErrno names them the same way on
// both systems.
namespace fileaccess {

// Which file an open descriptor is: device and inode on Linux, volume
// serial number and file index on Windows. Another spelling of the path, a
// hard link or a symbolic link give the same identity.
struct FileIdentity {
    std::uint64_t Volume = 0;
    std::uint64_t Index = 0;
    bool operator==(const FileIdentity&) const = default;
};

struct FileInfo {
    bool Regular = false;
    bool Directory = false;
    std::int64_t Size = 0;  // 64-bit on both systems
    unsigned Permissions = 0;  // the permission bits (07777 on Linux)
    FileIdentity Identity;
};

enum class Access { Read, WriteCreate, WriteCreateExclusive };

int Open(const std::string& path, Access access, unsigned permissions = 0666);
bool Stat(int fd, FileInfo& info);
// Like Stat, by path; symbolic links are followed.
bool StatPath(const std::string& path, FileInfo& info);
// Reads or writes up to n bytes; returns the count, 0 at the end, -1 on failure.
std::int64_t Read(int fd, void* data, std::size_t n);
// Reads until n bytes are in or the file ends, and returns how many. A
// failed read ends it too and sets error to its errno; error is 0 otherwise.
std::size_t ReadUpTo(int fd, void* data, std::size_t n, int& error);
std::int64_t Write(int fd, const void* data, std::size_t n);
// Reads up to n bytes from offset without moving the file's position for
// other readers; safe from several threads at once.
std::int64_t ReadAt(int fd, std::int64_t offset, void* data, std::size_t n);
// Moves the file's position to offset from its start; false on failure.
bool Seek(int fd, std::int64_t offset);
bool Truncate(int fd, std::int64_t size);
bool Close(int fd);
// Moves from over to, replacing to when it exists.
bool Replace(const std::string& from, const std::string& to);
bool Remove(const std::string& path);

// A path as the UTF-8 text the functions above take, and back. (On Windows
// a path made straight from a std::string would read it in the ANSI code page.)
std::string Utf8(const std::filesystem::path& path);
std::filesystem::path PathOf(const std::string& utf8);

// Where the file name in path begins: after its last '/', and on Windows
// also after a '\\' or a drive's ':'.
std::size_t FileNameStart(const std::string& path);

// Standard input and output as raw bytes: no text-mode translation.
void UseBinaryStandardStreams();

}  // namespace fileaccess

// Opens path read-only and checks that it is a regular file; returns the
// descriptor, whose owner must close it. Throws IOError.
int OpenRegularFileForReading(const std::string& path, fileaccess::FileInfo& info);
