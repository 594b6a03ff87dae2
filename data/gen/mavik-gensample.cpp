// mavik-gensample: writes a deterministic S12 call-record file for tests,
// the bundled samples and the benchmarks.
//
//   mavik-gensample [--blocks N] [--tail BYTES] [--ebcdic ASCII_EBCDIC_TABLE] [--seed S] OUTPUT
//
// N whole blocks of 2048 bytes, then BYTES (< 2048) bytes of one more block,
// to OUTPUT ("-" for stdout). Records are made in ASCII; with --ebcdic every
// byte but the binary field 13 is recoded through the given 256-byte table.
// The same arguments always give the same bytes, and a file is a prefix of
// any longer file made with the same seed and table.
//
// Deliberately independent of the engine: the samples check the engine, so
// they must not be produced by it.

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kBlockSize = 2048;
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kRecordSize = 60;
constexpr std::size_t kRecordsPerBlock = 34;
constexpr std::size_t kBinaryOffset = 55;  // field 13, four bytes, never recoded
constexpr std::size_t kBinaryWidth = 4;

// Record byte offsets of the fields.
constexpr std::size_t kField1 = 0, kField2 = 1, kField3 = 4, kField4 = 12, kField5 = 27,
                      kField6 = 31, kField7 = 37, kField8 = 43, kField9 = 49, kField10 = 51,
                      kField11 = 53, kField12 = 54, kField13 = 55, kField14 = 59;

constexpr std::size_t kBlocksPerChunk = 512;  // 1 MiB per fwrite

using Table = std::array<std::uint8_t, 256>;

// splitmix64: tiny, fast and fully specified here, so the output never
// depends on the standard library's version.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform enough in [0, n) for sample data.
    std::uint32_t Below(std::uint32_t n)
    {
        return static_cast<std::uint32_t>(((Next() >> 32) * n) >> 32);
    }

private:
    std::uint64_t state_;
};

void PutNumber(std::uint8_t* p, std::size_t width, std::uint64_t value)
{
    for (std::size_t i = width; i-- > 0;) {
        p[i] = static_cast<std::uint8_t>('0' + value % 10);
        value /= 10;
    }
}

// Up to 19 random digits from one draw.
void PutDigits(std::uint8_t* p, std::size_t count, Rng& rng)
{
    std::uint64_t x = rng.Next();
    for (std::size_t i = 0; i < count; ++i) {
        p[i] = static_cast<std::uint8_t>('0' + x % 10);
        x /= 10;
    }
}

// A number field: the digits of the number, then 'F' up to the width, the
// way the exchange pads subscriber numbers.
void PutPaddedNumber(std::uint8_t* p, std::size_t width, std::size_t digits, Rng& rng)
{
    PutDigits(p, digits, rng);
    std::memset(p + digits, 'F', width - digits);
}

void PutString(std::uint8_t* p, std::string_view s)
{
    std::memcpy(p, s.data(), s.size());
}

// Width of each field, indexed by the field number minus 1.
constexpr std::array<std::size_t, 14> kFieldWidth{1, 3, 8, 15, 4, 6, 6, 6, 2, 2, 1, 1, 4, 1};
constexpr std::array<std::size_t, 14> kFieldOffset{kField1,  kField2,  kField3,  kField4, kField5,
                                                   kField6,  kField7,  kField8,  kField9, kField10,
                                                   kField11, kField12, kField13, kField14};

// A random byte position inside one of the given character fields.
std::size_t PositionIn(std::initializer_list<int> fields, Rng& rng)
{
    const int field = fields.begin()[rng.Below(static_cast<std::uint32_t>(fields.size()))];
    return kFieldOffset[field - 1] + rng.Below(static_cast<std::uint32_t>(kFieldWidth[field - 1]));
}

void MakeCallRecord(std::uint8_t* r, Rng& rng)
{
    r[kField1] = static_cast<std::uint8_t>('0' + rng.Below(10));
    PutDigits(r + kField2, 3, rng);
    PutPaddedNumber(r + kField3, 8, 4 + rng.Below(5), rng);
    PutPaddedNumber(r + kField4, 15, 6 + rng.Below(10), rng);

    PutNumber(r + kField5, 2, 1 + rng.Below(12));
    PutNumber(r + kField5 + 2, 2, 1 + rng.Below(28));
    PutNumber(r + kField6, 2, rng.Below(24));
    PutNumber(r + kField6 + 2, 2, rng.Below(60));
    PutNumber(r + kField6 + 4, 2, rng.Below(60));

    // Most calls last minutes; field 8 carries the same duration in seconds.
    const std::uint32_t seconds = rng.Below(8) == 0 ? rng.Below(3 * 3600) : rng.Below(600);
    PutNumber(r + kField7, 2, seconds / 3600);
    PutNumber(r + kField7 + 2, 2, seconds / 60 % 60);
    PutNumber(r + kField7 + 4, 2, seconds % 60);
    PutNumber(r + kField8, 6, seconds);

    PutNumber(r + kField9, 2, rng.Below(21));
    PutNumber(r + kField10, 2, rng.Below(21));
    PutDigits(r + kField11, 2, rng);  // fields 11 and 12

    const std::uint64_t binary = rng.Next();
    for (std::size_t i = 0; i < kBinaryWidth; ++i) {
        r[kField13 + i] = static_cast<std::uint8_t>(binary >> (8 * i));
    }
    // The bytes that break naive text handling, more often than chance.
    if (rng.Below(4) == 0) {
        static constexpr std::uint8_t kAwkward[] = {0x00, 0x0D, 0x0A, 0xFF};
        r[kField13 + rng.Below(4)] = kAwkward[rng.Below(4)];
    }
    r[kField14] = static_cast<std::uint8_t>('0' + rng.Below(10));

    // Now and then a record that begins with F, or an F and an f where the
    // formatted output must leave them alone.
    const std::uint32_t oddity = rng.Below(64);
    if (oddity < 3) {
        r[kField1] = 'F';
    } else if (oddity < 5) {
        r[PositionIn({2, 5, 6, 7, 8, 9, 10, 11, 12, 14}, rng)] = 'F';
        r[PositionIn({2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14}, rng)] = 'f';
    }
}

// An unused record slot, all F, as the exchange fills the rest of a block.
void MakeFillerRecord(std::uint8_t* r)
{
    std::memset(r, 'F', kRecordSize);
    std::memset(r + kBinaryOffset, 0xFF, kBinaryWidth);
}

// The first block holds one of each case that tests and users look for, so
// that even the smallest sample has them.
void MakeShowcase(std::uint8_t* block)
{
    std::uint8_t* r = block + kHeaderSize;

    // Record 1: field by field "2", "017", "4951FFFF", "0123456789FFFFF",
    // "0712", "235959", "000130", "000090", "01", "02", "3", "4",
    // 0x2B 0x41 0x7A 0x30, "5".
    PutString(r, "2017" "4951FFFF" "0123456789FFFFF" "0712" "235959" "000130"
                 "000090" "01" "02" "3" "4" "+Az0" "5");

    // Record 2: every awkward byte in the binary field.
    r += kRecordSize;
    static constexpr std::uint8_t kAwkward[] = {0x00, 0x0D, 0x0A, 0xFF};
    std::memcpy(r + kField13, kAwkward, sizeof kAwkward);

    // Record 3: a record beginning with F.
    r += kRecordSize;
    r[kField1] = 'F';

    // Record 4: F outside fields 3 and 4, f inside them.
    r += kRecordSize;
    PutString(r + kField3, "4951fFFF");
    PutString(r + kField6, "12F045");
    PutString(r + kField9, "0F");
    r[kField14] = 'f';

    // The last slot is unused.
    MakeFillerRecord(block + kHeaderSize + (kRecordsPerBlock - 1) * kRecordSize);
}

void MakeBlock(std::uint8_t* block, std::uint64_t index, Rng& rng)
{
    // Header: exchange number and a running block number, as characters.
    PutString(block, "01");
    PutNumber(block + 2, kHeaderSize - 2, (index + 1) % 1000000);
    for (std::size_t j = 0; j < kRecordsPerBlock; ++j) {
        MakeCallRecord(block + kHeaderSize + j * kRecordSize, rng);
    }
    if (index == 0) {
        MakeShowcase(block);
    }
}

void Recode(std::uint8_t* block, const Table& table)
{
    for (std::size_t i = 0; i < kHeaderSize; ++i) {
        block[i] = table[block[i]];
    }
    for (std::size_t j = 0; j < kRecordsPerBlock; ++j) {
        std::uint8_t* r = block + kHeaderSize + j * kRecordSize;
        for (std::size_t i = 0; i < kRecordSize; ++i) {
            if (i - kBinaryOffset >= kBinaryWidth) {
                r[i] = table[r[i]];
            }
        }
    }
}

constexpr const char* kUsage =
    "usage: mavik-gensample [--blocks N] [--tail BYTES] [--ebcdic ASCII_EBCDIC_TABLE] [--seed S] OUTPUT\n"
    "Writes N (default 3) blocks of 2048 bytes and BYTES (< 2048) bytes of one more block of\n"
    "sample S12 call records to OUTPUT (\"-\" for stdout), in ASCII or, with --ebcdic, recoded\n"
    "through the given 256-byte table except the binary field 13. Seed default 1.\n";

[[noreturn]] void Usage(const char* message)
{
    std::fprintf(stderr, "mavik-gensample: %s\n%s", message, kUsage);
    std::exit(2);
}

std::uint64_t ParseNumber(const char* option, const char* text)
{
    std::uint64_t value = 0;
    const char* end = text + std::strlen(text);
    const auto [ptr, ec] = std::from_chars(text, end, value);
    if (ec != std::errc() || ptr != end || ptr == text) {
        Usage((std::string(option) + " needs a non-negative number").c_str());
    }
    return value;
}

bool LoadTable(const char* path, Table& table)
{
    std::FILE* f = std::fopen(path, "rb");
    if (!f) {
        std::perror(path);
        return false;
    }
    const std::size_t n = std::fread(table.data(), 1, table.size(), f);
    const bool longer = std::fgetc(f) != EOF;
    std::fclose(f);
    if (n != table.size() || longer) {
        std::fprintf(stderr, "mavik-gensample: %s: a code table must be exactly 256 bytes\n", path);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::uint64_t blocks = 3;
    std::uint64_t tail = 0;
    std::uint64_t seed = 1;
    const char* tablePath = nullptr;
    const char* outputPath = nullptr;

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                Usage((std::string(arg) + " needs a value").c_str());
            }
            return argv[++i];
        };
        if (arg == "--blocks") {
            blocks = ParseNumber("--blocks", value());
        } else if (arg == "--tail") {
            tail = ParseNumber("--tail", value());
        } else if (arg == "--seed") {
            seed = ParseNumber("--seed", value());
        } else if (arg == "--ebcdic") {
            tablePath = value();
        } else if (arg == "-h" || arg == "--help") {
            std::printf("%s", kUsage);
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-') {
            Usage(("unknown option " + std::string(arg)).c_str());
        } else if (outputPath) {
            Usage("only one OUTPUT");
        } else {
            outputPath = argv[i];
        }
    }
    if (!outputPath) {
        Usage("OUTPUT missing");
    }
    if (tail >= kBlockSize) {
        Usage("--tail must be less than 2048");
    }

    Table table{};
    if (tablePath && !LoadTable(tablePath, table)) {
        return 1;
    }

    const bool toStdout = std::string_view(outputPath) == "-";
    std::FILE* out = toStdout ? stdout : std::fopen(outputPath, "wb");
    if (!out) {
        std::perror(outputPath);
        return 1;
    }

    Rng rng(seed);
    std::vector<std::uint8_t> buffer(kBlocksPerChunk * kBlockSize);
    const std::uint64_t total = blocks + (tail > 0 ? 1 : 0);
    bool ok = true;
    for (std::uint64_t done = 0; done < total && ok;) {
        const std::uint64_t n = std::min<std::uint64_t>(kBlocksPerChunk, total - done);
        for (std::uint64_t k = 0; k < n; ++k) {
            std::uint8_t* block = buffer.data() + k * kBlockSize;
            MakeBlock(block, done + k, rng);
            if (tablePath) {
                Recode(block, table);
            }
        }
        // The block after the last whole one is cut to the tail's length.
        std::size_t bytes = n * kBlockSize;
        if (done + n > blocks) {
            bytes -= kBlockSize - tail;
        }
        ok = std::fwrite(buffer.data(), 1, bytes, out) == bytes;
        done += n;
    }
    if (toStdout) {
        ok = std::fflush(out) == 0 && ok;
    } else {
        ok = std::fclose(out) == 0 && ok;
    }
    if (!ok) {
        std::perror(outputPath);
        return 1;
    }
    return 0;
}
