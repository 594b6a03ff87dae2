#include "CsvWriter.h"

#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <sstream>
#include <utility>
#include <stdexcept>

#include "FileAccess.h"
#include "HexDigits.h"
#include "IOError.h"

namespace {

// Longest row: 14 fields of 16 bytes, each 3 UTF-8 bytes or a doubled
// quote, quoted; two 20-digit numbers; separators and CR LF.
constexpr std::size_t kMaxRow = 14 * (kMaxFieldText * 3 + 2) + 2 * 20 + 16 + 2;

char* Number(char* at, std::uint64_t n) { return std::to_chars(at, at + 20, n).ptr; }

// Bytes that make a record's row other than its fields' bytes as they are:
// those a field is quoted for, and those decoded to more than one byte.
constexpr std::array<bool, 256> kNotPlain = [] {
    std::array<bool, 256> notPlain{};
    for (std::size_t b = 0x80; b < 256; ++b)
        notPlain[b] = true;
    notPlain[','] = notPlain['"'] = notPlain['\r'] = notPlain['\n'] = true;
    return notPlain;
}();

constexpr FieldPlace kBinaryField = kCallRecordFields[12];

// Every text byte of the record (all but field 13's) is plain. Eight bytes
// at a time first: no byte below 0x2D (",", quote, CR and LF all are) and
// none above 0x7F is plain for sure; a borrow may flag a plain word, which
// the bytes then settle.
bool PlainRecord(const std::uint8_t* record) {
    constexpr std::uint64_t kOnes = 0x0101010101010101, kHighs = 0x8080808080808080;
    static_assert(kBinaryField.Offset == 55 && kBinaryField.Offset + kBinaryField.Width == kRecordSize - 1);
    std::uint64_t flagged = 0;
    for (std::size_t at : {0, 8, 16, 24, 32, 40, 47}) {
        std::uint64_t word;
        std::memcpy(&word, record + at, sizeof word);
        flagged |= ((word - kOnes * 0x2D) | word) & kHighs;
    }
    if (kNotPlain[record[kRecordSize - 1]])
        return false;
    if (!flagged)
        return true;
    bool notPlain = false;
    for (std::size_t i = 0; i < kBinaryField.Offset; ++i)
        notPlain |= kNotPlain[record[i]];
    return !notPlain;
}

// Field F's bytes and the comma after it; sizes known here, so that the
// copies need no call.
template <std::size_t F>
char* PutField(const std::uint8_t* record, char* at) {
    constexpr FieldPlace field = kCallRecordFields[F];
    if constexpr (F == 12 && std::endian::native != std::endian::little) {
        for (std::size_t i = 0; i < field.Width; ++i)
            PutHex(record[field.Offset + i], at + 2 * i);
        at += 2 * field.Width;
    } else if constexpr (F == 12) {
        // The 8 hex digits made in a register and stored at once.
        static_assert(field.Width == 4);
        std::uint64_t nibbles = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            const std::uint64_t b = record[field.Offset + i];
            nibbles |= (b >> 4) << (16 * i) | (b & 0x0F) << (16 * i + 8);
        }
        constexpr std::uint64_t kOnes = 0x0101010101010101;
        const std::uint64_t letters = ((nibbles + kOnes * 6) >> 4) & kOnes;  // 1 for a digit above 9
        const std::uint64_t digits = nibbles + kOnes * '0' + letters * ('A' - '9' - 1);
        std::memcpy(at, &digits, 8);  // little-endian: the first digit lowest
        at += 8;
    } else {
        std::memcpy(at, record + field.Offset, field.Width);
        at += field.Width;
    }
    *at = ',';
    return at + 1;
}

template <std::size_t... F>
char* PutFields(const std::uint8_t* record, char* at, std::index_sequence<F...>) {
    ((at = PutField<F>(record, at)), ...);
    return at;
}

}  // namespace

CsvWriter::CsvWriter(const RecordLayout& layout, const CodeTable* table, Charset set)
    : reader_(layout, table), utf8_(Utf8Table(set)), set_(set), plainBlocks_(layout.Kind == LayoutKind::Block && !reader_.Table()) {}

std::string CsvWriter::HeaderRow(const std::vector<std::string>& names) {
    std::string row = "block,record";
    // Appended piece by piece: GCC 12 warns wrongly (-Wrestrict) about "," + text.
    for (int n = 1; n <= kFieldCount; ++n) {
        row += ',';
        if (names.size() == kFieldCount) {
            row += CsvField(names[static_cast<std::size_t>(n - 1)]);
        } else {
            row += "field";
            row += std::to_string(n);
        }
    }
    row += "\r\n";
    return row;
}

// Straight into the output buffer, without a string per field: this runs
// for every record of a file.
void CsvWriter::WriteRow(const std::uint8_t* record, std::uint64_t block, std::uint64_t place, OutputFile& out) {
    const Utf8OfByte* const utf8 = utf8_;
    char* const start = reinterpret_cast<char*>(out.Reserve(kMaxRow));
    char* at = start;
    if (block) {
        // A block's rows follow one another: its number is written once.
        if (block != numberedBlock_) {
            numberedBlock_ = block;
            char digits[20];
            blockText_.assign(digits, Number(digits, block));
            blockText_ += ',';
        }
        std::memcpy(at, blockText_.data(), blockText_.size());
        at += blockText_.size();
        if (place < 10) {
            *at++ = static_cast<char>('0' + place);
        } else {
            at = Number(at, place);
        }
        *at++ = ',';
    } else {
        *at++ = ',';
        *at++ = ',';
    }
    if (plainBlocks_ && PlainRecord(record)) {
        // The common record: each field's bytes as they are, field 13 in hex.
        at = PutFields(record, at, std::make_index_sequence<kFieldCount>{});
        at[-1] = '\r';
        *at++ = '\n';
        out.Commit(static_cast<std::size_t>(at - start));
        return;
    }
    std::uint8_t value[kMaxFieldText];
    for (int n = 1; n <= kFieldCount; ++n) {
        const std::size_t length = reader_.Value(record, n, value);
        bool quoted = false;
        for (std::size_t i = 0; i < length; ++i)
            quoted |= value[i] == ',' || value[i] == '"' || value[i] == '\r' || value[i] == '\n';
        if (quoted)
            *at++ = '"';
        for (std::size_t i = 0; i < length; ++i) {
            const std::uint8_t b = value[i];
            if (b < 0x80) {
                if (b == '"')
                    *at++ = '"';
                *at++ = static_cast<char>(b);
            } else {
                undecodable_ += set_ == Charset::Windows1251 && b == 0x98;
                std::memcpy(at, utf8[b].Bytes, 3);
                at += utf8[b].Length;
            }
        }
        if (quoted)
            *at++ = '"';
        *at++ = n < kFieldCount ? ',' : '\r';
    }
    *at++ = '\n';
    out.Commit(static_cast<std::size_t>(at - start));
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

FieldNamesError::FieldNamesError(std::string fileName, std::size_t lines)
    : std::runtime_error(fileName + ": must hold 14 non-empty lines, one field name each; it holds " +
                         std::to_string(lines)),
      fileName_(std::move(fileName)), lines_(lines) {}

std::optional<std::vector<std::string>> LoadFieldNames(const std::string& folder) {
    const std::filesystem::path path = fileaccess::PathOf(folder.empty() ? "." : folder) / kFieldNamesFile;
    const std::string name = fileaccess::Utf8(path);
    const int fd = fileaccess::Open(name, fileaccess::Access::Read);
    if (fd < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw IOError(IOStep::Open, errno, name);
    }
    // A small file: read whole, so that every failure keeps its errno.
    std::string text;
    char chunk[4096];
    int error;
    std::size_t n;
    do {
        n = fileaccess::ReadUpTo(fd, chunk, sizeof chunk, error);
        text.append(chunk, n);
    } while (n == sizeof chunk && !error);
    fileaccess::Close(fd);
    if (error)
        throw IOError(IOStep::Read, error, name);
    std::vector<std::string> names;
    bool first = true;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (first && line.starts_with("\xEF\xBB\xBF"))
            line.erase(0, 3);  // a byte-order mark some editors put first
        first = false;
        if (!line.empty())
            names.push_back(line);
    }
    if (names.size() != kFieldCount)
        throw FieldNamesError(name, names.size());
    return names;
}
