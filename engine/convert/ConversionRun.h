#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Charset.h"
#include "CodeTable.h"
#include "IOError.h"
#include "OutputFile.h"
#include "RecordPredicate.h"
#include "RecordWriters.h"

// What a run reads while it goes. The window keeps these current (a change
// takes effect from the next block or record); the batch converter fixes them.
class RunSettings : public FormatChoice {
public:
    virtual int ConversionMode() const = 0;       // read for every block
    virtual std::int64_t BlockCount() const = 0;  // the progress divisor, read for every block
    virtual bool Converting() = 0;                // asked after every block; false ends the run
    virtual void UpdateGauge(int progress) = 0;   // told when the percentage changes
    // A CSV output's header names the 14 fields with these; none: field1...
    virtual std::vector<std::string> FieldNames() const { return {}; }
    // The tables' character set: a CSV output's fields are decoded from it.
    virtual Charset TextCharset() const { return Charset::Windows1251; }

protected:
    ~RunSettings() = default;
};

// Why a run failed, for its caller to put into words.
enum class RunFailureKind {
    None,
    File,             // a file step failed: ConversionResult::FileError says which
    TableNotLoaded,   // the mode recodes through a table that was never loaded
    BlocksNotThere,   // a block range the input does not hold whole
    Other,
};

struct ConversionResult {
    bool Failed = false;          // an I/O step failed (or the run failed otherwise)
    RunFailureKind Kind = RunFailureKind::None;
    std::optional<IOError> FileError;  // Kind File: the step, the file and the errno
    std::string ErrorText;        // what failed, in English, for callers that report it
    std::string ErrorFile;
    std::int64_t BlocksDone = 0;
    std::int64_t BlocksBefore = 0;  // whole blocks passed over before the first one done
    std::int64_t InputSize = -1;  // as the opened input had it; -1 when it did not open
    std::int64_t RecordsSelected = 0;  // with a selection: the records that matched it
    std::int64_t LinesWritten = 0;     // text lines or CSV rows (the header not counted)
    std::int64_t TypeFLeftOut = 0;     // records a formatted output left out: type F
    std::int64_t Undecodable = 0;      // CSV: bytes the set leaves undefined, written as U+FFFD
};

// Done blocks as a whole percentage of blockCount, truncated, within 0-100.
// A count of 0 with blocks done (the file grew since it was measured) is 100.
int ProgressPercent(std::int64_t done, std::int64_t blockCount);

// Converts inputPath into outputPath block by block: opens the input (the
// output is created only when that succeeded), recodes each whole block
// through the mode's table of tables, writes it in the mode's layout with
// the separator, reports progress, stops early when Converting() turns
// false, and closes both files on every path. A block whose mode needs a
// table that was never loaded fails the run ("Cannot open file <name>")
// rather than being written as zeros. With where, only the records it
// matches (tested after recoding, so built for ASCII blocks without a
// table) are written, and a block's header only when one of them is. A CSV
// output (CsvWriter) has a header row first, unless it is a range that
// does not start at block 1 (and RunFiles::HeaderOnEveryPiece is off), so
// that the pieces of a file join.
ConversionResult RunConversion(const std::string& inputPath, const std::string& outputPath,
                               const std::string& separator, const CodeTables& tables,
                               RunSettings& settings, const RecordPredicate* where = nullptr);

// Whole blocks of the input, counted from 1 as the byte viewer counts them.
struct BlockRange {
    std::int64_t First = 1;
    std::int64_t Count = 0;
};

// The text of a range that the input does not hold whole.
std::string RangePastTheEnd(const BlockRange& range, std::int64_t blocksThere);

// Where a run reads and writes.
struct RunFiles {
    std::string Input;            // a path, or what messages call standard input
    std::string Output;           // a path, or what messages call standard output
    bool StandardInput = false;   // read standard input as a stream of blocks
    bool StandardOutput = false;  // write standard output
    OutputMode Mode = OutputMode::Direct;
    // Only these blocks; their output is the same bytes as theirs in the
    // whole file's output, so consecutive ranges join into it. A range the
    // input does not hold whole fails the run.
    std::optional<BlockRange> Blocks = std::nullopt;
    // CSV: the header row on a range from a later block too, for pieces read
    // one by one; without it only the piece from block 1 has it, so that the
    // pieces join.
    bool HeaderOnEveryPiece = false;
};

// The same run over RunFiles. A file's range is checked against its size
// before the output is made and sought to; a stream's is read up to. With
// OutputMode::ReplaceOnSuccess a failed run leaves the output's file as it
// was.
ConversionResult RunConversion(const RunFiles& files, const std::string& separator,
                               const CodeTables& tables, RunSettings& settings,
                               const RecordPredicate* where = nullptr);
