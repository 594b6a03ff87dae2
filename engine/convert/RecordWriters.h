#pragma once

#include <string_view>

#include "CallRecordBlock.h"
#include "ConversionMode.h"
#include "OutputFile.h"

// The formatting choice as it stands now; asked anew for every record of a
// text output, so a change during a run applies from the next record on.
class FormatChoice {
public:
    virtual bool FormatBox1() const = 0;

protected:
    ~FormatChoice() = default;
};

// Fields joined by the separator, each in its formatted form (FieldForm.h):
// fields 3 and 4 with F shown as a blank, fields 5 to 7 split into pairs by
// "/" and ":", field 13 in hexadecimal, CR LF at the end. A record whose
// first byte is F writes nothing.
void WriteFormattedLine(const CallRecord& record, std::string_view separator, OutputFile& out);

// The 14 fields unchanged, joined by the separator; CR LF at the end only
// when the separator is not empty.
void WriteRawFieldLine(const CallRecord& record, std::string_view separator, OutputFile& out);

// One recoded block: its 8 header bytes first when the separator is empty,
// then its 34 records, as formatted or raw field lines for text output and
// always as raw field lines for binary output.
void WriteBlock(const CallRecordBlock& block, std::string_view separator, OutputType type,
                const FormatChoice& choice, OutputFile& out);

// Bit r of a mask stands for record r (from 0) of a block.
using RecordMask = std::uint64_t;
inline constexpr RecordMask kAllRecords = (RecordMask{1} << kRecordsPerBlock) - 1;

// WriteBlock for the records of the mask only. With an empty separator the
// header goes first, and only for a block with at least one such record.
void WriteSelectedRecords(const CallRecordBlock& block, RecordMask selected, std::string_view separator,
                          OutputType type, const FormatChoice& choice, OutputFile& out);
