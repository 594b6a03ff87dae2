#pragma once

// What the fuzz targets share: a failed property aborts, so that libFuzzer
// keeps the input and the replay fails; inputs become files where a reader
// only takes a path.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (false)

// Marks a target's plain reference: its branches are not what is fuzzed,
// and counting them would only slow the run and crowd the coverage.
#if defined(__clang__)
#define FUZZ_REFERENCE __attribute__((no_sanitize("coverage")))
#else
#define FUZZ_REFERENCE
#endif

// The bytes as a file in memory, named by a path under /proc/self/fd that
// readers open like any other; closed when this goes away.
class MemoryFile {
public:
    MemoryFile(const std::uint8_t* data, std::size_t size) {
        fd_ = memfd_create("fuzz-input", 0);
        FUZZ_CHECK(fd_ >= 0);
        std::size_t written = 0;
        while (written < size) {
            const ssize_t n = write(fd_, data + written, size - written);
            FUZZ_CHECK(n > 0);
            written += static_cast<std::size_t>(n);
        }
    }
    ~MemoryFile() { close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    int fd_ = -1;
};

// A folder of its own for whatever a target must write, made on first use
// and removed when the program ends.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* name) {
        std::string pattern = (std::filesystem::temp_directory_path() / name).string() + "-XXXXXX";
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};
