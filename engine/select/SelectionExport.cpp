#include "SelectionExport.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <cstring>
#include <vector>

#include "CallRecordBlock.h"
#include "FieldText.h"
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
                     const ExportFormat& format, const std::string& target, JobProgress* progress) {
    const std::atomic<bool>* stop = progress ? &progress->Stop : nullptr;
    std::atomic<std::uint64_t>* done = progress ? &progress->Done : nullptr;
    // The file being read is never the target, through any link or spelling.
    OutputFile out(target, &file.Identity(), OutputMode::ReplaceOnSuccess);
    const bool complete = format.Format == ExportFormat::Csv
                              ? WriteCsv(file, selection, table, stop, done, out)
                              : WriteLines(file, selection, table, format, stop, done, out);
    if (complete)
        out.Close();
    else
        out.Discard();
    return complete;
}

std::unique_ptr<Job<bool>> StartExport(std::shared_ptr<const RecordFile> file,
                                       std::shared_ptr<const SelectionIndex> selection, const CodeTable* table,
                                       ExportFormat format, std::string target) {
    return std::make_unique<Job<bool>>(
        [file = std::move(file), selection = std::move(selection),
         table = table ? std::optional<CodeTable>(*table) : std::nullopt, format = std::move(format),
         target = std::move(target)](JobProgress& progress) -> std::optional<bool> {
            progress.Total = file->RecordCount();
            if (!ExportSelection(*file, selection.get(), table ? &*table : nullptr, format, target, &progress))
                return std::nullopt;
            return true;
        });
}
