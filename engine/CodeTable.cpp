#include "CodeTable.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

CodeTable EbcdicToAscii{};
CodeTable AsciiToEbcdic{};

std::size_t LoadCodeTable(CodeTable& table, const std::string& path, const std::string& name) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("Cannot open file " + name);
    std::size_t got = 0;
    while (got < table.size()) {
        const ssize_t n = ::read(fd, table.data() + got, table.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;  // a short table is accepted: the rest keeps its value
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return got;
}

void LoadCodeTables(const std::string& folder) {
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    LoadCodeTable(EbcdicToAscii, prefix + kEbcdicToAsciiFile, kEbcdicToAsciiFile);
    LoadCodeTable(AsciiToEbcdic, prefix + kAsciiToEbcdicFile, kAsciiToEbcdicFile);
}

namespace {

// Fully unrolled: with no loop counter left, a byte costs a load, a table
// lookup and a store.
template <std::size_t N>
inline void Translate(std::uint8_t* bytes, const CodeTable& table) {
#pragma GCC unroll 64
    for (std::size_t i = 0; i < N; ++i)
        bytes[i] = table[bytes[i]];
}

}  // namespace

void RecodeBlock(CallRecordBlock& block, const CodeTable& table) {
    Translate<kHeaderSize>(block.Header.Bytes, table);
    for (CallRecord& record : block.Records) {
        Translate<kBinaryFieldOffset>(record.Bytes, table);  // fields 1-12
        Translate<1>(record.Bytes + kRecordSize - 1, table);  // field 14
    }
}
