#include "FieldText.h"

#include <cstring>

void HexDigits(const std::uint8_t* bytes, std::uint8_t* out) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < 4; ++i) {
        out[2 * i] = static_cast<std::uint8_t>(kDigits[bytes[i] >> 4]);
        out[2 * i + 1] = static_cast<std::uint8_t>(kDigits[bytes[i] & 0x0F]);
    }
}

FieldReader::FieldReader(const RecordLayout& layout, const CodeTable* table)
    : hex13_(layout.Kind == LayoutKind::Block),
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
