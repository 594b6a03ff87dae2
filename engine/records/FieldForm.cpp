#include "FieldForm.h"

std::string ValueForm(int n) {
    std::string form;
    for (char place : FormOfField(n).Formatted)
        if (IsValuePlace(place))
            form += place;
    return form;
}

std::size_t ReadFormatted(int n, const std::uint8_t* text, std::uint8_t* out) {
    std::size_t length = 0;
    for (char place : FormOfField(n).Formatted) {
        const std::uint8_t c = *text++;
        if (IsValuePlace(place))
            out[length++] = place == 'P' && c == ' ' ? 'F' : c;
    }
    return length;
}

std::string FormattedValue(int n, std::string_view value) {
    if (value.size() != FieldValueWidth(n))
        return std::string(value);
    std::string shown;
    std::size_t at = 0;
    for (char place : FormOfField(n).Formatted)
        shown += IsValuePlace(place) ? value[at++] : place;
    return shown;
}

std::string ConditionValue(int n, std::string_view value) {
    const std::string_view form = FormOfField(n).Formatted;
    const bool hex = FieldValueKind(n) == ValueKind::Hex;
    const bool padded = FieldValueKind(n) == ValueKind::PaddedDigits;
    std::string canonical;
    canonical.reserve(value.size());
    for (char c : value) {
        if (!IsValuePlace(c) && form.find(c) != std::string_view::npos)
            continue;
        if (hex && c >= 'a' && c <= 'f')
            c = static_cast<char>(c - 'a' + 'A');
        canonical += padded && c == ' ' ? 'F' : c;
    }
    return canonical;
}
