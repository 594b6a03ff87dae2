#include "SelectionExport.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <cstring>
#include <vector>

#include "CallRecordBlock.h"
#include "CsvWriter.h"
#include "FieldText.h"
#include "OutputFile.h"
#include "RecordWalk.h"
#include "RecordWriters.h"

namespace {

using recordwalk::WalkBlocks;
using recordwalk::WalkLines;

struct FixedChoice : FormatChoice {
    explicit FixedChoice(bool on) : on(on) {}
    bool FormatBox1() const override { return on; }
    bool on;
};

// The converter's -o csv for the same records: its writer, and the block
// and record of each record from where it lies. A raw output's line k is
// record k of the file it was made from; a formatted output left type-F
// records out, so its lines cannot say theirs.
bool WriteCsv(const RecordFile& file, const SelectionIndex* selection, const CodeTable* table,
              const ExportFormat& format, const std::atomic<bool>* stop, std::atomic<std::uint64_t>* done,
              OutputFile& out) {
    const std::string header = CsvWriter::HeaderRow(format.FieldNames);
    out.Write(header.data(), header.size());
    CsvWriter writer(file.Layout(), table, format.TextCharset);
    const bool numbered = file.Layout().Kind != LayoutKind::Formatted;
    if (file.Layout().IsText())
        return WalkLines(file, selection, stop, done, [&](const std::uint8_t* line, std::uint64_t l) {
            writer.WriteRow(line, numbered ? l / kRecordsPerBlock + 1 : 0, l % kRecordsPerBlock + 1, out);
        });
    return WalkBlocks(
        file, selection, stop, done,
        [&](const std::uint8_t* block, RecordMask mask, std::uint64_t first) {
            for (; mask; mask &= mask - 1) {
                const auto r = static_cast<std::size_t>(std::countr_zero(mask));
                writer.WriteRow(block + kHeaderSize + kRecordSize * r, first / kRecordsPerBlock + 1, r + 1, out);
            }
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

bool ExportSelection(const RecordFile& file, const SelectionIndex* selection, const CodeTable* table,
                     const ExportFormat& format, const std::string& target, JobProgress* progress) {
    const std::atomic<bool>* stop = progress ? &progress->Stop : nullptr;
    std::atomic<std::uint64_t>* done = progress ? &progress->Done : nullptr;
    // The file being read is never the target, through any link or spelling.
    OutputFile out(target, &file.Identity(), OutputMode::ReplaceOnSuccess);
    const bool complete = format.Format == ExportFormat::Csv
                              ? WriteCsv(file, selection, table, format, stop, done, out)
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
