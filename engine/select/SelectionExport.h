#pragma once

#include <memory>
#include <cstdint>
#include <string>
#include <vector>

#include "Charset.h"
#include "CodeTable.h"
#include "Job.h"
#include "RecordFile.h"
#include "SelectionIndex.h"

// What an export writes. Lines: a text output's selected lines as they
// stand, or a block file's selected records in the converter's text layout
// (formatted or raw, with Separator), byte for byte what the converter
// writes with the same selection. Csv: what the converter's -o csv writes
// for the same records (CsvWriter).
struct ExportFormat {
    enum Kind { Lines, Csv };
    Kind Format = Lines;
    bool Formatted = true;        // block files, Lines only
    std::string Separator = "*";  // block files, Lines only; may be empty or TAB
    std::vector<std::string> FieldNames;  // Csv: the header's, or none (field1...)
    Charset TextCharset = Charset::Windows1251;  // Csv: the tables' set, the fields decoded from it
};

// Writes the selected records (every record when selection is nullptr) to
// target, replacing it only when complete; on failure or stop nothing is
// left but what target was. table recodes an EBCDIC block file. Counts the
// records looked at in progress->Done and abandons the export when
// progress->Stop turns true. Returns false when stopped. Throws IOError
// (the file named) when a read or a write fails, and std::runtime_error
// when the file has grown shorter since it was opened.
bool ExportSelection(const RecordFile& file, const SelectionIndex* selection, const CodeTable* table,
                     const ExportFormat& format, const std::string& target, JobProgress* progress = nullptr);

// One export on a job of its own; its result is there when it ran to the
// end. table is copied: the caller's may change.
std::unique_ptr<Job<bool>> StartExport(std::shared_ptr<const RecordFile> file,
                                       std::shared_ptr<const SelectionIndex> selection, const CodeTable* table,
                                       ExportFormat format, std::string target);
