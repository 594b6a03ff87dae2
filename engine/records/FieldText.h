#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "CodeTable.h"
#include "RecordLayout.h"

// Longest text a field can have: field 4 (15 bytes).
inline constexpr std::size_t kMaxFieldText = 16;

// A field's text as the browser shows it, and its value as a selection
// compares it. Text: in a block file the field's bytes after recoding, as a
// raw field line shows them, and field 13 as its 8 upper-case hex digits; in
// a text output the bytes as the line shows them. Value: the same in every
// layout (see Value).
class FieldReader {
public:
    // table recodes the records of an EBCDIC block file; nullptr (ASCII
    // blocks, text outputs) takes the bytes as they are.
    FieldReader(const RecordLayout& layout, const CodeTable* table);

    // Field n (1-14) of the record's bytes into out (room for kMaxFieldText);
    // returns the text's length.
    std::size_t Text(const std::uint8_t* record, int n, std::uint8_t* out) const;
    std::string Text(const std::uint8_t* record, int n) const;

    // Field n's value, the same in every layout (ConditionValue): as a raw
    // field line shows it after recoding, field 13 as 8 hex digits. A
    // formatted line's field is read back to it: "07/12" is 0712,
    // "23:59:59" 235959, "2B41H7A30H" 2B417A30, and a blank in fields 3 and
    // 4 is F. Into out (room for kMaxFieldText); returns its length.
    std::size_t Value(const std::uint8_t* record, int n, std::uint8_t* out) const;
    std::string Value(const std::uint8_t* record, int n) const;

    FieldPlace Place(int n) const { return places_[static_cast<std::size_t>(n - 1)]; }
    // Field 13 of a block file, shown in hex rather than as its bytes.
    bool IsHex(int n) const { return hex13_ && n == 13; }
    // Field n's value is its text through Table() (or as it is), byte for
    // byte; otherwise it has to be made (field 13, and a formatted line's
    // fields 3 to 7).
    bool ValueIsText(int n) const;
    const CodeTable* Table() const { return table_; }

private:
    FieldPlace places_[kFieldCount];
    bool hex13_;
    bool formatted_;
    bool raw_;
    const CodeTable* table_;
};

// Eight upper-case hex digits for four bytes.
void HexDigits(const std::uint8_t* bytes, std::uint8_t* out);

// What field n's text holds, for a reader to put in words.
enum class FieldKind { Date, Time, Binary, Digits, Text };
struct FieldMeaning {
    FieldKind Kind = FieldKind::Text;
    // A raw text shown the readable way: the date "07/12", the time
    // "23:59:59", field 13's bytes in hex ("2B 41 7A 30" from a block file,
    // "2B417A30" from a raw line). Empty where the text shows it already.
    std::string Shown;
    // On a formatted line, the field's value when it differs from the text
    // ("0712" for "07/12"): the one a condition and the CSV use.
    std::string Value;
};
FieldMeaning MeaningOfField(const RecordLayout& layout, int n, const std::string& text);
