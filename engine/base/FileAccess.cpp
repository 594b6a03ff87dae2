#include "FileAccess.h"

#include "IOError.h"

#include <cerrno>
#include <climits>
#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fileaccess {

namespace {

FileInfo InfoOf(bool regular, bool directory, std::int64_t size, unsigned permissions) {
    FileInfo info;
    info.Regular = regular;
    info.Directory = directory;
    info.Size = size;
    info.Permissions = permissions;
    return info;
}

}  // namespace

#ifdef _WIN32

namespace {

// The errno value whose text means what the Windows error means.
int ErrnoFor(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:  // a folder on the way is missing, as ENOENT on Linux
        return ENOENT;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return ENAMETOOLONG;  // read as "Invalid filename"
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
}

// UTF-8 to UTF-16; false (errno EILSEQ) for bytes that are not UTF-8.
bool Widen(const std::string& path, std::wstring& wide) {
    if (path.empty()) {
        wide.clear();
        return true;
    }
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(),
                                      static_cast<int>(path.size()), nullptr, 0);
    if (n <= 0) {
        errno = EILSEQ;
        return false;
    }
    wide.resize(static_cast<std::size_t>(n));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()),
                        wide.data(), n);
    return true;
}

FileIdentity IdentityOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info))
        return {};  // a console or pipe has no file identity
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

FileInfo InfoOf(const struct _stat64& st) {
    return InfoOf((st.st_mode & _S_IFMT) == _S_IFREG, (st.st_mode & _S_IFMT) == _S_IFDIR,
                  static_cast<std::int64_t>(st.st_size), st.st_mode & 0777);
}

// One read or write moves at most this much: the C runtime counts in int.
constexpr std::size_t kMaxTransfer = 1u << 30;

}  // namespace

int Open(const std::string& path, Access access, unsigned permissions) {
    std::wstring wide;
    if (!Widen(path, wide))
        return -1;
    _doserrno = 0;
    int flags = _O_BINARY | _O_NOINHERIT;
    switch (access) {
    case Access::Read:
        flags |= _O_RDONLY;
        break;
    case Access::WriteCreate:
        flags |= _O_WRONLY | _O_CREAT;
        break;
    case Access::WriteCreateExclusive:
        flags |= _O_WRONLY | _O_CREAT | _O_EXCL;
        break;
    }
    const int pmode = (permissions & 0222) ? (_S_IREAD | _S_IWRITE) : _S_IREAD;
    const int fd = _wopen(wide.c_str(), flags, pmode);
    if (fd < 0 && _doserrno != 0)
        errno = ErrnoFor(static_cast<DWORD>(_doserrno));  // the runtime's own mapping is coarser
    return fd;
}

bool Stat(int fd, FileInfo& info) {
    struct _stat64 st {};
    if (_fstat64(fd, &st) != 0)
        return false;
    info = InfoOf(st);
    info.Identity = IdentityOf(reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
    return true;
}

bool StatPath(const std::string& path, FileInfo& info) {
    std::wstring wide;
    if (!Widen(path, wide))
        return false;
    // Opening for no access at all reads the identity even of a file that
    // another program holds open, and tells devices (NUL, CON) from files.
    const HANDLE handle =
        CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        info = FileInfo{};
        return true;
    }
    struct _stat64 st {};
    _doserrno = 0;
    if (_wstat64(wide.c_str(), &st) != 0) {
        if (_doserrno != 0)
            errno = ErrnoFor(static_cast<DWORD>(_doserrno));
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        return false;
    }
    info = InfoOf(st);
    info.Identity = IdentityOf(handle);
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    return true;
}

std::int64_t Read(int fd, void* data, std::size_t n) {
    return _read(fd, data, static_cast<unsigned>(n < kMaxTransfer ? n : kMaxTransfer));
}

std::int64_t ReadAt(int fd, std::int64_t offset, void* data, std::size_t n) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    DWORD got = 0;
    if (ReadFile(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), data,
                 static_cast<DWORD>(n < kMaxTransfer ? n : kMaxTransfer), &got, &at))
        return got;
    const DWORD error = GetLastError();
    if (error == ERROR_HANDLE_EOF)
        return 0;
    errno = ErrnoFor(error);
    return -1;
}

std::int64_t Write(int fd, const void* data, std::size_t n) {
    return _write(fd, data, static_cast<unsigned>(n < kMaxTransfer ? n : kMaxTransfer));
}

bool Seek(int fd, std::int64_t offset) {
    return _lseeki64(fd, offset, SEEK_SET) == offset;
}

bool Truncate(int fd, std::int64_t size) {
    const errno_t err = _chsize_s(fd, size);
    if (err != 0)
        errno = err;
    return err == 0;
}

bool Close(int fd) {
    return _close(fd) == 0;
}

bool Replace(const std::string& from, const std::string& to) {
    std::wstring wideFrom, wideTo;
    if (!Widen(from, wideFrom) || !Widen(to, wideTo))
        return false;
    if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    errno = ErrnoFor(GetLastError());
    return false;
}

bool Remove(const std::string& path) {
    std::wstring wide;
    return Widen(path, wide) && _wunlink(wide.c_str()) == 0;
}

void UseBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

#else

int Open(const std::string& path, Access access, unsigned permissions) {
    int flags = O_CLOEXEC;
    switch (access) {
    case Access::Read:
        flags |= O_RDONLY;
        break;
    case Access::WriteCreate:
        flags |= O_WRONLY | O_CREAT;
        break;
    case Access::WriteCreateExclusive:
        flags |= O_WRONLY | O_CREAT | O_EXCL;
        break;
    }
    int fd;
    do
        fd = ::open(path.c_str(), flags, static_cast<mode_t>(permissions));
    while (fd < 0 && errno == EINTR);
    return fd;
}

namespace {

FileInfo InfoOf(const struct stat& st) {
    FileInfo info = fileaccess::InfoOf(S_ISREG(st.st_mode), S_ISDIR(st.st_mode),
                                       static_cast<std::int64_t>(st.st_size), st.st_mode & 07777);
    info.Identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return info;
}

}  // namespace

bool Stat(int fd, FileInfo& info) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    info = InfoOf(st);
    return true;
}

bool StatPath(const std::string& path, FileInfo& info) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    info = InfoOf(st);
    return true;
}

std::int64_t Read(int fd, void* data, std::size_t n) {
    ssize_t got;
    do
        got = ::read(fd, data, n);
    while (got < 0 && errno == EINTR);
    return got;
}

std::int64_t ReadAt(int fd, std::int64_t offset, void* data, std::size_t n) {
    ssize_t got;
    do
        got = ::pread(fd, data, n, static_cast<off_t>(offset));
    while (got < 0 && errno == EINTR);
    return got;
}

std::int64_t Write(int fd, const void* data, std::size_t n) {
    ssize_t put;
    do
        put = ::write(fd, data, n);
    while (put < 0 && errno == EINTR);
    return put;
}

bool Seek(int fd, std::int64_t offset) {
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

bool Truncate(int fd, std::int64_t size) {
    return ::ftruncate(fd, static_cast<off_t>(size)) == 0;
}

bool Close(int fd) {
    return ::close(fd) == 0;
}

bool Replace(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

void UseBinaryStandardStreams() {}

#endif

std::size_t FileNameStart(const std::string& path) {
#ifdef _WIN32
    const std::size_t separator = path.find_last_of("/\\:");
#else
    const std::size_t separator = path.rfind('/');
#endif
    return separator == std::string::npos ? 0 : separator + 1;
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::size_t ReadUpTo(int fd, void* data, std::size_t n, int& error) {
    auto* bytes = static_cast<std::uint8_t*>(data);
    std::size_t got = 0;
    error = 0;
    while (got < n) {
        const std::int64_t read = Read(fd, bytes + got, n - got);
        if (read <= 0) {
            error = read < 0 ? errno : 0;
            break;
        }
        got += static_cast<std::size_t>(read);
    }
    return got;
}

}  // namespace fileaccess

int OpenRegularFileForReading(const std::string& path, fileaccess::FileInfo& info) {
    const int fd = fileaccess::Open(path, fileaccess::Access::Read);
    if (fd < 0)
        throw IOError::FromErrno(errno, path);
    if (!fileaccess::Stat(fd, info)) {
        const int err = errno;
        fileaccess::Close(fd);
        throw IOError::FromErrno(err, path);
    }
    if (!info.Regular) {
        // A folder, device or pipe has no block structure to measure or read.
        fileaccess::Close(fd);
        throw IOError::FromErrno(info.Directory ? EISDIR : EACCES, path);
    }
    return fd;
}
