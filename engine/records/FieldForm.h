#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "CallRecordBlock.h"

// What a field's value is made of.
enum class ValueKind {
    Date,          // field 5: MMDD, formatted MM/DD
    Time,          // fields 6 and 7: hhmmss, formatted hh:mm:ss
    Hex,           // field 13: 4 binary bytes, valued as 8 hex digits, formatted XXXXHXXXXH
    Digits,        // fields 2, 8 to 12 and 14
    PaddedDigits,  // fields 3 and 4: digits padded with F, formatted with blanks for the F
    Text,          // field 1, the record's type: any character
};

// The one description of a field's text forms. Formatted is the field on a
// formatted line, a character a place:
//   T  a byte of the record as it is
//   D  a digit of the record, as it is
//   P  a digit of the record, or the F that pads it, written as a blank
//   X  a hex digit of the record's binary bytes, two a byte
//   any other character stands for itself ("/" in MM/DD).
// The field's value (what a condition compares, what the CSV writes, what a
// raw line shows but for field 13's hex) is the same places without the
// characters that stand for themselves: "DD/DD" is valued "DDDD".
struct FieldForm {
    ValueKind Kind;
    std::string_view Formatted;
    const char* Example;  // a whole value, as a raw field line shows it
};

inline constexpr std::array<FieldForm, 14> kFieldForms{{
    {ValueKind::Text, "T", "2"},
    {ValueKind::Digits, "DDD", "017"},
    {ValueKind::PaddedDigits, "PPPPPPPP", "4951FFFF"},
    {ValueKind::PaddedDigits, "PPPPPPPPPPPPPPP", "0123456789FFFFF"},
    {ValueKind::Date, "DD/DD", "0712"},
    {ValueKind::Time, "DD:DD:DD", "235959"},
    {ValueKind::Time, "DD:DD:DD", "000130"},
    {ValueKind::Digits, "DDDDDD", "000090"},
    {ValueKind::Digits, "DD", "01"},
    {ValueKind::Digits, "DD", "02"},
    {ValueKind::Digits, "D", "3"},
    {ValueKind::Digits, "D", "4"},
    {ValueKind::Hex, "XXXXHXXXXH", "2B417A30"},
    {ValueKind::Digits, "D", "5"},
}};

// A place of a form that takes a character of the value.
constexpr bool IsValuePlace(char place) { return place == 'T' || place == 'D' || place == 'P' || place == 'X'; }

constexpr const FieldForm& FormOfField(int n) { return kFieldForms[static_cast<std::size_t>(n - 1)]; }

constexpr std::size_t FormattedWidth(int n) { return FormOfField(n).Formatted.size(); }

// Characters in field n's value: its width, 8 for field 13.
constexpr std::size_t FieldValueWidth(int n) {
    std::size_t width = 0;
    for (char place : FormOfField(n).Formatted)
        width += IsValuePlace(place);
    return width;
}

// Whether the formatted line shows field n as its value, byte for byte.
constexpr bool FormattedIsValue(int n) {
    for (char place : FormOfField(n).Formatted)
        if (place != 'T' && place != 'D')
            return false;
    return true;
}

constexpr ValueKind FieldValueKind(int n) { return FormOfField(n).Kind; }
constexpr const char* FieldValueExample(int n) { return FormOfField(n).Example; }

// Every value place but the hex digits takes one byte of the record.
static_assert([] {
    for (int n = 1; n <= 14; ++n) {
        const std::size_t bytes = kCallRecordFields[static_cast<std::size_t>(n - 1)].Width;
        if (FieldValueWidth(n) != (FieldValueKind(n) == ValueKind::Hex ? 2 * bytes : bytes))
            return false;
    }
    return true;
}());

// The value places of field n's form, in order: "DDDD" for "DD/DD".
std::string ValueForm(int n);

// Field n of a formatted line (FormattedWidth(n) bytes at text) read back to
// its value, into out (room for FieldValueWidth(n)): "07/12" is 0712, a
// blank in fields 3 and 4 is F. Returns FieldValueWidth(n).
std::size_t ReadFormatted(int n, const std::uint8_t* text, std::uint8_t* out);

// A whole value of field n shown as the formatted line shows it: "0712" is
// "07/12", "2B417A30" is "2B41H7A30H"; a value of another length as it is.
std::string FormattedValue(int n, std::string_view value);

// A value written in either form, to the value form: the characters that
// stand for themselves are dropped, hex digits upper-cased and, on a padded
// field, a blank is the F it stands for.
std::string ConditionValue(int n, std::string_view value);
