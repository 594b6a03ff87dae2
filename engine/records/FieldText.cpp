#include "FieldText.h"

#include <cstring>

#include "FieldForm.h"
#include "HexDigits.h"

void HexDigits(const std::uint8_t* bytes, std::uint8_t* out) {
    for (std::size_t i = 0; i < kBinaryFieldWidth; ++i)
        PutHex(bytes[i], out + 2 * i);
}

FieldReader::FieldReader(const RecordLayout& layout, const CodeTable* table)
    : hex13_(layout.Kind == LayoutKind::Block),
      formatted_(layout.Kind == LayoutKind::Formatted),
      raw_(layout.Kind == LayoutKind::Raw),
      table_(layout.Kind == LayoutKind::Block && layout.Code == BlockCode::Ebcdic ? table : nullptr) {
    for (int n = 1; n <= kFieldCount; ++n)
        places_[n - 1] = layout.Field(n);
}

std::size_t FieldReader::Text(const std::uint8_t* record, int n, std::uint8_t* out) const {
    const FieldPlace place = Place(n);
    const std::uint8_t* bytes = record + place.Offset;
    if (IsHex(n)) {
        HexDigits(bytes, out);
        return 8;
    }
    if (table_) {
        for (std::size_t i = 0; i < place.Width; ++i)
            out[i] = (*table_)[bytes[i]];
    } else {
        std::memcpy(out, bytes, place.Width);
    }
    return place.Width;
}

std::string FieldReader::Text(const std::uint8_t* record, int n) const {
    std::uint8_t text[kMaxFieldText];
    const std::size_t length = Text(record, n, text);
    return std::string(reinterpret_cast<const char*>(text), length);
}

bool FieldReader::ValueIsText(int n) const {
    if (n == 13)
        return false;
    return !formatted_ || FormattedIsValue(n);
}

std::size_t FieldReader::Value(const std::uint8_t* record, int n, std::uint8_t* out) const {
    const std::uint8_t* bytes = record + Place(n).Offset;
    if (raw_ && n == 13) {
        HexDigits(bytes, out);
        return 8;
    }
    if (formatted_)
        return ReadFormatted(n, bytes, out);
    return Text(record, n, out);
}

std::string FieldReader::Value(const std::uint8_t* record, int n) const {
    std::uint8_t value[kMaxFieldText];
    const std::size_t length = Value(record, n, value);
    return std::string(reinterpret_cast<const char*>(value), length);
}

namespace {

bool AllDigits(const std::string& text) {
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return !text.empty();
}

FieldMeaning ShownMeaning(const RecordLayout& layout, int n, const std::string& text) {
    const bool raw = layout.Kind != LayoutKind::Formatted;
    switch (FieldValueKind(n)) {
    case ValueKind::Date:
    case ValueKind::Time: {
        const FieldKind kind = FieldValueKind(n) == ValueKind::Date ? FieldKind::Date : FieldKind::Time;
        if (raw && text.size() == FieldValueWidth(n))
            return {kind, FormattedValue(n, text), {}};
        return {kind, {}, {}};
    }
    case ValueKind::Hex:
        if (layout.Kind == LayoutKind::Block) {
            std::string spaced;
            for (std::size_t i = 0; i < text.size(); i += 2) {
                if (i)
                    spaced += ' ';
                spaced.append(text, i, 2);
            }
            return {FieldKind::Binary, spaced, {}};
        }
        if (layout.Kind == LayoutKind::Raw && text.size() == 4) {
            std::uint8_t hex[8];
            HexDigits(reinterpret_cast<const std::uint8_t*>(text.data()), hex);
            return {FieldKind::Binary, std::string(reinterpret_cast<const char*>(hex), 8), {}};
        }
        return {FieldKind::Binary, {}, {}};
    default:
        return {AllDigits(text) ? FieldKind::Digits : FieldKind::Text, {}, {}};
    }
}

}  // namespace

FieldMeaning MeaningOfField(const RecordLayout& layout, int n, const std::string& text) {
    FieldMeaning meaning = ShownMeaning(layout, n, text);
    // A formatted line shows the field otherwise than its value: name the
    // value too.
    if (layout.Kind == LayoutKind::Formatted) {
        std::string value = ConditionValue(n, text);
        if (value != text)
            meaning.Value = std::move(value);
    }
    return meaning;
}
