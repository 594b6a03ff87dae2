#include "Windows1251.h"

#include <array>
#include <cstdio>
#include <stdexcept>

namespace {

// Bytes 0x80-0xBF; 0x98 is unassigned (0). 0xC0-0xFF are U+0410-U+044F.
constexpr std::array<char16_t, 64> kUpperHalf{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

}  // namespace

std::optional<char> ToWindows1251(char16_t c) {
    if (c < 0x80)
        return static_cast<char>(c);
    if (c >= 0x0410 && c <= 0x044F)
        return static_cast<char>(0xC0 + (c - 0x0410));
    for (std::size_t i = 0; i < kUpperHalf.size(); ++i)
        if (kUpperHalf[i] == c)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}

std::optional<std::string> ToWindows1251(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (char16_t c : text) {
        const auto b = ToWindows1251(c);
        if (!b)
            return std::nullopt;
        bytes.push_back(*b);
    }
    return bytes;
}

char16_t FromWindows1251(unsigned char byte) {
    if (byte < 0x80)
        return byte;
    if (byte >= 0xC0)
        return static_cast<char16_t>(0x0410 + (byte - 0xC0));
    return kUpperHalf[byte - 0x80];
}

namespace {

// The code point starting at text[i], advancing i; nothing when the bytes
// there are not a well-formed UTF-8 sequence (overlong forms, surrogates and
// values past U+10FFFF included).
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    std::size_t length;
    char32_t c;
    char32_t least;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, least = 0x10000;
    } else {
        return std::nullopt;
    }
    if (i + length > text.size())
        return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return std::nullopt;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return std::nullopt;
    i += length;
    return c;
}

std::string CodePointName(char32_t c) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(c));
    return hex;
}

}  // namespace

std::string Utf8ToWindows1251(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t start = i;
        const auto c = DecodeUtf8(utf8, i);
        if (!c)
            throw std::invalid_argument("not valid UTF-8 (byte " + std::to_string(start + 1) + ")");
        const auto b = *c <= 0xFFFF ? ToWindows1251(static_cast<char16_t>(*c)) : std::nullopt;
        if (!b)
            throw std::invalid_argument("the character \"" + std::string(utf8.substr(start, i - start)) +
                                        "\" (" + CodePointName(*c) + ") has no windows-1251 byte");
        bytes.push_back(*b);
    }
    return bytes;
}

const Utf8OfByte* Windows1251Utf8Table() {
    static const std::array<Utf8OfByte, 256> table = [] {
        std::array<Utf8OfByte, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char16_t c = b == kUndefinedWindows1251 ? char16_t{0xFFFD} : FromWindows1251(static_cast<unsigned char>(b));
            Utf8OfByte& u = t[static_cast<std::size_t>(b)];
            if (c < 0x80) {
                u = {1, {static_cast<char>(c), 0, 0}};
            } else if (c < 0x800) {
                u = {2, {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F)), 0}};
            } else {
                u = {3,
                     {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                      static_cast<char>(0x80 | (c & 0x3F))}};
            }
        }
        return t;
    }();
    return table.data();
}

std::string Windows1251ToUtf8(std::string_view bytes) {
    const Utf8OfByte* table = Windows1251Utf8Table();
    std::string utf8;
    utf8.reserve(bytes.size());
    for (unsigned char b : bytes)
        utf8.append(table[b].Bytes, table[b].Length);
    return utf8;
}
