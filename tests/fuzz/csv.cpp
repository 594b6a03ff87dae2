// The CSV writer, driven as the converter's -o csv drives it, its output
// read back by an RFC 4180 reader written here.
// Input: a byte of flags; with flag 1 a length byte and that many bytes of
// a field-names file; with flag 2 the first block's number (8 bytes, little
// endian; 0 leaves block and record empty); then records of 60 bytes, any
// bytes at all (commas, quotes, CR, LF, NUL, 0x98).
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "CallRecordBlock.h"
#include "CsvWriter.h"
#include "FuzzCheck.h"
#include "OutputFile.h"
#include "PlainUtf8.h"
#include "RecordLayout.h"

namespace {

constexpr std::size_t kWidths[kFieldCount] = {1, 3, 8, 15, 4, 6, 6, 6, 2, 2, 1, 1, 4, 1};

// windows-1251 from 0x80 to 0xBF, from the code page's table; 0x98 has no
// character and is written as U+FFFD. 0xC0 to 0xFF are U+0410 to U+044F.
constexpr char16_t kHighHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

FUZZ_REFERENCE std::string Utf8Of(const std::uint8_t* bytes, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = bytes[i];
        AppendUtf8(out, b < 0x80 ? b : b < 0xC0 ? kHighHalf[b - 0x80] : char16_t(0x0410 + (b - 0xC0)));
    }
    return out;
}

// The names a field-names file holds: its non-empty lines, CR LF or LF,
// a byte-order mark before the first left out.
FUZZ_REFERENCE std::vector<std::string> PlainNames(std::string_view text) {
    std::vector<std::string> names;
    for (std::size_t at = 0, i = 0; at < text.size(); ++i) {
        const std::size_t lf = text.find('\n', at);
        const std::size_t end = lf == std::string_view::npos ? text.size() : lf;
        std::string line(text.substr(at, end - at));
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (i == 0 && line.starts_with("\xEF\xBB\xBF"))
            line.erase(0, 3);
        if (!line.empty())
            names.push_back(line);
    }
    return names;
}

struct Field {
    std::string Text;
    bool Quoted;
};

// RFC 4180, strictly: fields split by commas, a quoted field's quotes
// doubled, no quote in an unquoted field, and every row ended by CR LF
// (nothing after the last). Anything else fails the property.
FUZZ_REFERENCE std::vector<std::vector<Field>> ReadCsv(std::string_view text) {
    std::vector<std::vector<Field>> rows;
    std::size_t at = 0;
    while (at < text.size()) {
        std::vector<Field> row;
        for (;;) {
            Field field{{}, at < text.size() && text[at] == '"'};
            if (field.Quoted) {
                ++at;
                for (;;) {
                    const std::size_t quote = text.find('"', at);
                    FUZZ_CHECK(quote != std::string_view::npos);
                    field.Text.append(text, at, quote - at);
                    at = quote + 1;
                    if (at < text.size() && text[at] == '"') {
                        field.Text += '"';
                        ++at;
                    } else {
                        break;
                    }
                }
            } else {
                const std::size_t end = std::min(text.find_first_of(",\r\n", at), text.size());
                field.Text.assign(text, at, end - at);
                FUZZ_CHECK(field.Text.find('"') == std::string::npos);
                at = end;
            }
            row.push_back(std::move(field));
            FUZZ_CHECK(at < text.size());
            if (text[at] == ',') {
                ++at;
                continue;
            }
            FUZZ_CHECK(text.substr(at, 2) == "\r\n");
            at += 2;
            break;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// Quoted exactly when it must be, and holding what was meant.
void CheckField(const Field& field, const std::string& expected) {
    FUZZ_CHECK(field.Text == expected);
    FUZZ_CHECK(field.Quoted == (expected.find_first_of(",\"\r\n") != std::string::npos));
}

std::string Hex(const std::uint8_t* bytes, std::size_t n) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t i = 0; i < n; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 15];
    }
    return hex;
}

// The field-names file goes beside the code tables, in a folder of its own.
const ScratchFolder& Tables() {
    static const ScratchFolder folder("mavik-fuzz-csv");
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::uint8_t flags = data[0];
    std::size_t at = 1;

    // The names, through the converter's loader, which reads them exactly
    // when the file holds 14 non-empty lines.
    std::vector<std::string> names;
    if (flags & 1) {
        if (at >= size)
            return 0;
        const std::size_t n = std::min<std::size_t>(data[at], size - at - 1);
        const std::string text(reinterpret_cast<const char*>(data) + at + 1, n);
        at += 1 + n;
        {
            std::ofstream file(Tables().Path() / kFieldNamesFile, std::ios::binary | std::ios::trunc);
            file << text;
            FUZZ_CHECK(file.good());
        }
        const std::vector<std::string> plain = PlainNames(text);
        try {
            names = LoadFieldNames(Tables().Path().string()).value();
        } catch (const std::runtime_error&) {
            FUZZ_CHECK(plain.size() != kFieldCount);
            return 0;  // the converter stops before writing anything
        }
        FUZZ_CHECK(names == plain);
    }
    std::uint64_t firstBlock = 1;
    if (flags & 2) {
        if (size - at < 8)
            return 0;
        firstBlock = 0;
        for (int i = 7; i >= 0; --i)
            firstBlock = firstBlock << 8 | data[at + static_cast<std::size_t>(i)];
        at += 8;
    }
    const std::size_t records = (size - at) / kRecordSize;
    const std::uint8_t* const record0 = data + at;

    // As the converter writes: the header, then a row per record, through
    // the output's own buffer; read back from a second descriptor.
    const int fd = memfd_create("fuzz-csv", 0);
    FUZZ_CHECK(fd >= 0);
    const int back = dup(fd);
    FUZZ_CHECK(back >= 0);
    std::uint64_t undecodable = 0;
    {
        OutputFile out(fd, "fuzz-csv");
        const std::string header = CsvWriter::HeaderRow(names);
        out.Write(header.data(), header.size());
        CsvWriter writer(RecordLayout::Block(BlockCode::Ascii), nullptr, Charset::Windows1251);
        for (std::size_t r = 0; r < records; ++r)
            writer.WriteRow(record0 + r * kRecordSize, firstBlock + r / kRecordsPerBlock, r % kRecordsPerBlock + 1,
                            out);
        out.Close();
        undecodable = writer.Undecodable();
    }
    std::string text;
    char buffer[65536];
    for (ssize_t n; (n = pread(back, buffer, sizeof buffer, static_cast<off_t>(text.size()))) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(back);

    const std::vector<std::vector<Field>> rows = ReadCsv(text);
    FUZZ_CHECK(rows.size() == 1 + records);
    for (const auto& row : rows)
        FUZZ_CHECK(row.size() == 2 + kFieldCount);
    CheckField(rows[0][0], "block");
    CheckField(rows[0][1], "record");
    for (std::size_t n = 0; n < kFieldCount; ++n)
        CheckField(rows[0][2 + n], names.empty() ? "field" + std::to_string(n + 1) : names[n]);

    std::uint64_t undefined = 0;
    for (std::size_t r = 0; r < records; ++r) {
        const std::vector<Field>& row = rows[1 + r];
        const std::uint64_t block = firstBlock + r / kRecordsPerBlock;
        CheckField(row[0], block ? std::to_string(block) : "");
        CheckField(row[1], block ? std::to_string(r % kRecordsPerBlock + 1) : "");
        const std::uint8_t* field = record0 + r * kRecordSize;
        for (std::size_t n = 0; n < kFieldCount; ++n) {
            // Field 13 is binary, written as its hex digits.
            if (n == 12) {
                CheckField(row[2 + n], Hex(field, kWidths[n]));
            } else {
                CheckField(row[2 + n], Utf8Of(field, kWidths[n]));
                undefined += static_cast<std::uint64_t>(std::count(field, field + kWidths[n], 0x98));
            }
            field += kWidths[n];
        }
    }
    FUZZ_CHECK(undecodable == undefined);
    return 0;
}
