#include "SelectionExport.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

#include "CallRecordBlock.h"
#include "FieldText.h"
#include "FileAccess.h"
#include "IOError.h"
#include "OutputFile.h"
#include "RecordWalk.h"
#include "RecordWriters.h"
#include "Windows1251.h"

namespace {

using recordwalk::WalkBlocks;
using recordwalk::WalkLines;

struct FixedChoice : FormatChoice {
    explicit FixedChoice(bool on) : on(on) {}
    bool FormatBox1() const override { return on; }
    bool on;
};

bool WriteCsv(const RecordFile& file, const SelectionIndex* selection, const CodeTable* table,
              const std::atomic<bool>* stop, std::atomic<std::uint64_t>* done, OutputFile& out) {
    std::string row;
    for (int n = 1; n <= 14; ++n)
        row += (n > 1 ? ",Field " : "Field ") + std::to_string(n);
    row += "\r\n";
    out.Write(row.data(), row.size());
    const FieldReader reader(file.Layout(), table);
    // A raw line's field 13 is four binary bytes; a spreadsheet gets them in hex.
    const bool binary13 = file.Layout().Kind == LayoutKind::Raw;
    auto writeRecord = [&](const std::uint8_t* record) {
        row.clear();
        for (int n = 1; n <= 14; ++n) {
            if (n > 1)
                row += ',';
            std::string text;
            if (n == 13 && binary13) {
                std::uint8_t hex[8];
                HexDigits(record + reader.Place(13).Offset, hex);
                text.assign(reinterpret_cast<const char*>(hex), 8);
            } else {
                text = Windows1251ToUtf8(reader.Text(record, n));
            }
            row += CsvField(text);
        }
        row += "\r\n";
        out.Write(row.data(), row.size());
    };
    if (file.Layout().IsText())
        return WalkLines(file, selection, stop, done,
                         [&](const std::uint8_t* line, std::uint64_t) { writeRecord(line); });
    return WalkBlocks(
        file, selection, stop, done,
        [&](const std::uint8_t* block, RecordMask mask, std::uint64_t) {
            for (; mask; mask &= mask - 1)
                writeRecord(block + kHeaderSize + kRecordSize * static_cast<std::size_t>(std::countr_zero(mask)));
        });
}

bool WriteLines(const RecordFile& file, const SelectionIndex* selection, const CodeTable* table,
                const ExportFormat& format, const std::atomic<bool>* stop, std::atomic<std::uint64_t>* done,
                OutputFile& out) {
    if (file.Layout().IsText()) {
        const std::size_t length = file.Layout().LineLength();
        return WalkLines(file, selection, stop, done,
                         [&](const std::uint8_t* line, std::uint64_t) { out.Write(line, length); });
    }
    const bool recode = file.Layout().Code == BlockCode::Ebcdic && table;
    const FixedChoice choice(format.Formatted);
    CallRecordBlock block;
    return WalkBlocks(
        file, selection, stop, done,
        [&](const std::uint8_t* bytes, RecordMask mask, std::uint64_t) {
            std::memcpy(&block, bytes, kBlockSize);
            if (recode)
                RecodeBlock(block, *table);
            WriteSelectedRecords(block, mask, format.Separator, OutputType::Text, choice, out);
        });
}

std::string TemporaryBeside(const std::string& target) {
    std::random_device random;
    for (;;) {
        const std::string path = target + ".part" + std::to_string(random() % 1000000);
        fileaccess::FileInfo info;
        if (!fileaccess::StatPath(path, info) && errno == ENOENT)
            return path;
    }
}

}  // namespace

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

std::string Windows1251ToUtf8(const std::string& bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (unsigned char b : bytes) {
        // The one unassigned byte keeps its value as a C1 code, so no byte is lost.
        const char16_t c = b == 0x98 ? char16_t{0x98} : FromWindows1251(b);
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (c >> 12));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

bool ExportSelection(const RecordFile& file, const SelectionIndex* selection, const CodeTable* table,
                     const ExportFormat& format, const std::string& target, const std::atomic<bool>* stop,
                     std::atomic<std::uint64_t>* done) {
    // The rename would put the export in place of the file being read.
    fileaccess::FileInfo info;
    if (fileaccess::StatPath(target, info) && info.Identity == file.Identity())
        throw IOError(kFileAccessDenied, target);
    const std::string temporary = TemporaryBeside(target);
    bool complete = false;
    try {
        OutputFile out(temporary);
        complete = format.Format == ExportFormat::Csv
                       ? WriteCsv(file, selection, table, stop, done, out)
                       : WriteLines(file, selection, table, format, stop, done, out);
        out.Close();
        if (complete && !fileaccess::Replace(temporary, target))
            throw IOError::FromErrno(errno, target);
    } catch (...) {
        fileaccess::Remove(temporary);
        throw;
    }
    if (!complete)
        fileaccess::Remove(temporary);
    return complete;
}
