#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "CodeTable.h"
#include "RecordFile.h"
#include "SelectionIndex.h"

// What an export writes. Lines: a text output's selected lines as they
// stand, or a block file's selected records in the converter's text layout
// (formatted or raw, with Separator), byte for byte what the converter
// writes with the same selection. Csv: RFC 4180 in UTF-8 with a header row.
struct ExportFormat {
    enum Kind { Lines, Csv };
    Kind Format = Lines;
    bool Formatted = true;        // block files, Lines only
    std::string Separator = "*";  // block files, Lines only; may be empty or TAB
};

// Writes the selected records (every record when selection is nullptr) to
// target through a temporary file beside it, renamed over target only when
// complete; on failure or stop nothing is left but what target was. table
// recodes an EBCDIC block file. done counts the records looked at; stop,
// when it turns true, abandons the export. Returns false when stopped.
// Throws IOError (the file named) when a read or a write fails, and
// std::runtime_error when the file has grown shorter since it was opened.
bool ExportSelection(const RecordFile& file, const SelectionIndex* selection, const CodeTable* table,
                     const ExportFormat& format, const std::string& target,
                     const std::atomic<bool>* stop = nullptr, std::atomic<std::uint64_t>* done = nullptr);

// One CSV field: quoted when it holds a comma, a quote, CR or LF, with
// quotes doubled. text is already UTF-8.
std::string CsvField(const std::string& text);

// windows-1251 bytes (the outputs' character set) as UTF-8.
std::string Windows1251ToUtf8(const std::string& bytes);
