#include "ConversionRun.h"

#include <bit>
#include <exception>
#include <optional>
#include <stdexcept>

#include "BlockReader.h"
#include "CsvWriter.h"
#include "IOError.h"

int ProgressPercent(std::int64_t done, std::int64_t blockCount) {
    if (done <= 0)
        return 0;
    if (blockCount <= 0 || done >= blockCount)
        return 100;
    return static_cast<int>(static_cast<double>(done) / static_cast<double>(blockCount) * 100.0);
}

std::string RangePastTheEnd(const BlockRange& range, std::int64_t blocksThere) {
    const std::string asked = range.Count == 0 ? "no blocks from block " + std::to_string(range.First)
                                               : "blocks " + std::to_string(range.First) + "-" +
                                                     std::to_string(range.First + range.Count - 1);
    return asked + " asked for, but the input has " + std::to_string(blocksThere) +
           (blocksThere == 1 ? " whole block" : " whole blocks");
}

namespace {

// A range the input does not hold: a failure of that input.
class RangeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A mode's table that was never loaded: the run refuses to write zeros.
class TableNotLoaded : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void RecordFailure(ConversionResult& result, RunFailureKind kind, const std::string& text, const std::string& file) {
    if (result.Failed)
        return;  // the first failure is the one worth telling
    result.Failed = true;
    result.Kind = kind;
    result.ErrorText = text;
    result.ErrorFile = file;
}

void RecordFailure(ConversionResult& result, const IOError& e) {
    if (result.Failed)
        return;
    RecordFailure(result, RunFailureKind::File, e.what(), e.FileName());
    result.FileError = e;
}

// The descriptors of the standard streams, the same number on every system.
constexpr int kStandardInput = 0;
constexpr int kStandardOutput = 1;

}  // namespace

ConversionResult RunConversion(const std::string& inputPath, const std::string& outputPath,
                               const std::string& separator, const CodeTables& tables,
                               RunSettings& settings, const RecordPredicate* where) {
    return RunConversion(RunFiles{inputPath, outputPath}, separator, tables, settings, where);
}

ConversionResult RunConversion(const RunFiles& files, const std::string& separator,
                               const CodeTables& tables, RunSettings& settings,
                               const RecordPredicate* where) {
    ConversionResult result;
    std::optional<BlockReader> input;
    std::optional<OutputFile> output;
    try {
        if (files.StandardInput)
            input.emplace(kStandardInput, files.Input);
        else
            input.emplace(files.Input);
        result.InputSize = input->Size();
        const BlockRange* range = files.Blocks ? &*files.Blocks : nullptr;
        if (range) {
            const std::int64_t before = range->First - 1;
            if (!files.StandardInput) {
                const std::int64_t there = result.InputSize / static_cast<std::int64_t>(kBlockSize);
                if (before + range->Count > there)
                    throw RangeError(RangePastTheEnd(*range, there));
            }
            result.BlocksBefore = input->SkipBlocks(before);
            if (result.BlocksBefore < before)
                throw RangeError(RangePastTheEnd(*range, result.BlocksBefore));
        }
        if (files.StandardOutput)
            output.emplace(kStandardOutput, files.Output);
        else
            output.emplace(files.Output, input->Identity(), files.Mode);
        // The run's first mode decides whether it writes CSV: a header row
        // cannot follow lines.
        const bool csv = OutputTypeFor(settings.ConversionMode()) == OutputType::Csv;
        CsvWriter csvWriter(RecordLayout::Block(BlockCode::Ascii), nullptr, settings.TextCharset());
        if (csv && (!range || range->First == 1 || files.HeaderOnEveryPiece)) {
            const std::string header = CsvWriter::HeaderRow(settings.FieldNames());
            output->Write(header.data(), header.size());
        }
        CallRecordBlock block;
        int shown = 0;
        bool stopped = false;
        while ((!range || result.BlocksDone < range->Count) && input->ReadBlock(block)) {
            const int mode = settings.ConversionMode();
            if (const auto kind = RecodeTableFor(mode)) {
                const std::optional<CodeTable>& table = tables[*kind];
                if (!table)
                    throw TableNotLoaded(std::string("Cannot open file ") + CodeTableFile(*kind));
                RecodeBlock(block, *table);
            }
            RecordMask selected = kAllRecords;
            if (where) {
                selected = static_cast<RecordMask>(
                    where->MatchMask(block.Records[0].Bytes, kRecordsPerBlock, sizeof(CallRecord)));
                result.RecordsSelected += std::popcount(selected);
            }
            const OutputType type = OutputTypeFor(mode);
            if (csv) {
                const std::uint64_t number = static_cast<std::uint64_t>(result.BlocksBefore + result.BlocksDone + 1);
                for (RecordMask m = selected; m; m &= m - 1) {
                    const int r = std::countr_zero(m);
                    csvWriter.WriteRow(block.Records[r].Bytes, number, static_cast<std::uint64_t>(r + 1), *output);
                }
                result.LinesWritten += std::popcount(selected);
            } else {
                std::int64_t lines = std::popcount(selected);
                if (type == OutputType::Text && settings.FormatBox1()) {
                    for (RecordMask m = selected; m; m &= m - 1)
                        lines -= block.Records[std::countr_zero(m)].Bytes[0] == 'F';
                    result.TypeFLeftOut += std::popcount(selected) - lines;
                }
                if (type == OutputType::Text)
                    result.LinesWritten += lines;
                WriteSelectedRecords(block, selected, separator, type == OutputType::Csv ? OutputType::Text : type,
                                     settings, *output);
            }
            ++result.BlocksDone;
            const int progress = ProgressPercent(result.BlocksDone, settings.BlockCount());
            if (progress != shown) {
                shown = progress;
                settings.UpdateGauge(progress);
            }
            if (!settings.Converting()) {
                stopped = true;
                break;
            }
        }
        result.Undecodable = static_cast<std::int64_t>(csvWriter.Undecodable());
        // A stream's range is known to be short only once the stream ended.
        if (range && !stopped && result.BlocksDone < range->Count)
            throw RangeError(RangePastTheEnd(*range, range->First - 1 + result.BlocksDone));
    } catch (const IOError& e) {
        RecordFailure(result, e);
    } catch (const RangeError& e) {
        RecordFailure(result, RunFailureKind::BlocksNotThere, e.what(), files.Input);
    } catch (const TableNotLoaded& e) {
        RecordFailure(result, RunFailureKind::TableNotLoaded, e.what(), {});
    } catch (const std::exception& e) {
        RecordFailure(result, RunFailureKind::Other, e.what(), {});
    }
    // Both files are closed on every path; a failed close fails the run.
    try {
        if (input) {
            input->Close();
            if (files.StandardInput)
                result.InputSize = input->Size();
        }
    } catch (const IOError& e) {
        RecordFailure(result, e);
    }
    try {
        if (output) {
            if (result.Failed)
                output->Discard();
            else
                output->Close();
        }
    } catch (const IOError& e) {
        RecordFailure(result, e);
    }
    return result;
}
