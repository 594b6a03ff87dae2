#include "CodeTable.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "FileAccess.h"
#include "IOError.h"

const char* CodeTableFile(CodeTableKind kind) {
    return kind == CodeTableKind::EbcdicToAscii ? "ebcdic-ascii" : "ascii-ebcdic";
}

std::optional<CodeTable>& CodeTables::operator[](CodeTableKind kind) {
    return kind == CodeTableKind::EbcdicToAscii ? EbcdicToAscii : AsciiToEbcdic;
}

const std::optional<CodeTable>& CodeTables::operator[](CodeTableKind kind) const {
    return kind == CodeTableKind::EbcdicToAscii ? EbcdicToAscii : AsciiToEbcdic;
}

std::size_t LoadCodeTable(CodeTable& table, const std::filesystem::path& path, const std::string& name) {
    const std::string file = fileaccess::Utf8(path);
    const int fd = fileaccess::Open(file, fileaccess::Access::Read);
    if (fd < 0)
        throw CannotOpenFile(name, IOError(IOStep::Open, errno, file));
    // A short table is accepted: the rest keeps its value.
    int error;
    const std::size_t got = fileaccess::ReadUpTo(fd, table.data(), table.size(), error);
    fileaccess::Close(fd);
    if (error)
        throw CannotOpenFile(name, IOError(IOStep::Read, error, file));
    return got;
}

std::size_t LoadCodeTable(CodeTables& tables, CodeTableKind kind, const std::filesystem::path& folder) {
    const char* name = CodeTableFile(kind);
    CodeTable table{};
    const std::size_t got = LoadCodeTable(table, folder / name, name);
    tables[kind] = table;
    return got;
}

void LoadCodeTables(CodeTables& tables, const std::filesystem::path& folder) {
    LoadCodeTable(tables, CodeTableKind::EbcdicToAscii, folder);
    LoadCodeTable(tables, CodeTableKind::AsciiToEbcdic, folder);
}

namespace {

void TranslateScalar(std::uint8_t* bytes, std::size_t n, const CodeTable& table) {
#pragma GCC unroll 64
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = table[bytes[i]];
}

#if defined(__x86_64__)
// 64 lookups at a time: two 128-entry byte permutes, chosen by the top bit.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void TranslateVbmi(std::uint8_t* bytes,
                                                                          std::size_t n,
                                                                          const CodeTable& table) {
    const __m512i t0 = _mm512_loadu_si512(table.data());
    const __m512i t1 = _mm512_loadu_si512(table.data() + 64);
    const __m512i t2 = _mm512_loadu_si512(table.data() + 128);
    const __m512i t3 = _mm512_loadu_si512(table.data() + 192);
    for (std::size_t i = 0; i < n; i += 64) {
        const __m512i x = _mm512_loadu_si512(bytes + i);
        const __m512i low = _mm512_permutex2var_epi8(t0, x, t1);
        const __m512i high = _mm512_permutex2var_epi8(t2, x, t3);
        _mm512_storeu_si512(bytes + i, _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high));
    }
}

#endif

}  // namespace

std::vector<TranslateKernel> TranslateKernels() {
    std::vector<TranslateKernel> kernels;
#if defined(__x86_64__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw"))
        kernels.push_back({"avx512vbmi", TranslateVbmi});
#endif
    kernels.push_back({"scalar", TranslateScalar});
    return kernels;
}

namespace {
const TranslateKernel::Fn kTranslate = TranslateKernels().front().Translate;
}  // namespace

void RecodeBlock(CallRecordBlock& block, const CodeTable& table) {
    // The whole block goes through the table in wide steps; field 13 is
    // put back afterwards, which is cheaper than stepping around it.
    std::uint8_t binary[kRecordsPerBlock][kBinaryFieldWidth];
    for (std::size_t r = 0; r < kRecordsPerBlock; ++r)
        std::memcpy(binary[r], block.Records[r].Bytes + kBinaryFieldOffset, kBinaryFieldWidth);
    kTranslate(reinterpret_cast<std::uint8_t*>(&block), kBlockSize, table);
    for (std::size_t r = 0; r < kRecordsPerBlock; ++r)
        std::memcpy(block.Records[r].Bytes + kBinaryFieldOffset, binary[r], kBinaryFieldWidth);
}
