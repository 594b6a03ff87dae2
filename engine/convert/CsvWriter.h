#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Charset.h"
#include "CodeTable.h"
#include "FieldText.h"
#include "OutputFile.h"

// Records as RFC 4180 CSV rows in UTF-8 with CR LF: the record's block and
// place in it (both from 1), then its 14 field values (FieldReader::Value)
// decoded from the tables' character set. The one writer of the converter's -o csv and
// the browser's CSV export, so both write the same bytes.
class CsvWriter {
public:
    // layout and table as for FieldReader: the records' bytes as they lie;
    // set (windows-1251 or ISO-8859-1) is what the tables make of them.
    CsvWriter(const RecordLayout& layout, const CodeTable* table, Charset set);

    // "block,record," then the names (quoted where needed), or field1 to
    // field14 without names.
    static std::string HeaderRow(const std::vector<std::string>& names);

    // One row; a block of 0 leaves block and record empty (a formatted
    // output's line, whose record was never counted).
    void WriteRow(const std::uint8_t* record, std::uint64_t block, std::uint64_t place, OutputFile& out);

    // Bytes that the set leaves undefined, written as U+FFFD.
    std::uint64_t Undecodable() const { return undecodable_; }

private:
    FieldReader reader_;
    const Utf8OfByte* utf8_;
    Charset set_;
    bool plainBlocks_;  // records as they lie in a block, needing no recoding
    std::uint64_t numberedBlock_ = 0;
    std::string blockText_;  // numberedBlock_ and its comma
    std::uint64_t undecodable_ = 0;
};

// One CSV field: quoted when it holds a comma, a quote, CR or LF, with
// quotes doubled. text is already UTF-8.
std::string CsvField(const std::string& text);

// A field-names file of the wrong shape: what() names the file and says why.
class FieldNamesError : public std::runtime_error {
public:
    FieldNamesError(std::string fileName, std::size_t lines);
    const std::string& FileName() const { return fileName_; }
    std::size_t Lines() const { return lines_; }  // the non-empty ones it holds

private:
    std::string fileName_;
    std::size_t lines_;
};

// The field names beside the code tables: the file "field-names" in folder,
// 14 non-empty lines of UTF-8 (CR LF or LF). Nothing when there is no such
// file; throws FieldNamesError when it holds other than 14 non-empty lines,
// IOError when it cannot be read.
std::optional<std::vector<std::string>> LoadFieldNames(const std::string& folder);
inline constexpr const char* kFieldNamesFile = "field-names";
