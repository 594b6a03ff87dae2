#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

#ifdef __linux__
#include <fcntl.h>
#include <unistd.h>
#endif

TempDir::TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "mavik-test";
    if (info)
        name += std::string("-") + info->test_suite_name() + "-" + info->name();
    for (char& c : name)
        if (c == '/')
            c = '_';
    path_ = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
}

bool BreakReads(const std::string& path) {
#ifdef __linux__
    std::error_code error;
    const std::filesystem::path file = std::filesystem::canonical(path, error);
    if (error)
        return false;
    bool broken = false;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        std::error_code linkError;
        if (std::filesystem::read_symlink(entry.path(), linkError) != file || linkError)
            continue;
        const int fd = std::stoi(entry.path().filename().string());
        const int writeOnly = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
        if (writeOnly < 0)
            return false;
        broken = ::dup3(writeOnly, fd, O_CLOEXEC) == fd;
        ::close(writeOnly);
        if (!broken)
            return false;
    }
    return broken;
#else
    (void)path;
    return false;
#endif
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

CallRecord ExampleRecord() {
    const std::string text = std::string("2") + "017" + "4951FFFF" + "0123456789FFFFF" + "0712" +
                             "235959" + "000130" + "000090" + "01" + "02" + "3" + "4" + "+Az0" + "5";
    CallRecord record;
    std::memcpy(record.Bytes, text.data(), kRecordSize);
    return record;
}

CallRecordBlock ExampleBlock() {
    CallRecordBlock block;
    std::memcpy(block.Header.Bytes, "HDR00001", kHeaderSize);
    for (CallRecord& r : block.Records)
        r = ExampleRecord();
    return block;
}

Bytes BlockBytes(const CallRecordBlock& block) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&block);
    return Bytes(p, p + kBlockSize);
}
