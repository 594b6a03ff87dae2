#include "Charset.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace {

// windows-1251 bytes 0x80-0xBF; 0x98 is unassigned (0). 0xC0-0xFF are U+0410-U+044F.
constexpr std::array<char16_t, 64> kUpperHalf1251{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

std::string CodePointName(char32_t c) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(c));
    return hex;
}

std::array<Utf8OfByte, 256> MakeUtf8Table(Charset set) {
    std::array<Utf8OfByte, 256> t{};
    for (int b = 0; b < 256; ++b) {
        const char16_t c = CharOfByte(set, static_cast<unsigned char>(b));
        std::string utf8;
        PutUtf8(utf8, c == 0 && b != 0 ? char32_t{0xFFFD} : c);
        Utf8OfByte& u = t[static_cast<std::size_t>(b)];
        u.Length = static_cast<unsigned char>(utf8.size());
        for (std::size_t k = 0; k < utf8.size(); ++k)
            u.Bytes[k] = utf8[k];
    }
    return t;
}

}  // namespace

const char* CharsetName(Charset set) {
    switch (set) {
    case Charset::Utf8: return "UTF-8";
    case Charset::Windows1251: return "windows-1251";
    case Charset::Latin1: return "ISO-8859-1";
    }
    return "";
}

std::optional<Charset> CharsetNamed(std::string_view name) {
    std::string plain;
    for (char c : name)
        if (c != '-' && c != '_' && c != ' ')
            plain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (plain == "utf8")
        return Charset::Utf8;
    if (plain == "windows1251" || plain == "cp1251")
        return Charset::Windows1251;
    if (plain == "iso88591" || plain == "latin1" || plain == "l1")
        return Charset::Latin1;
    return std::nullopt;
}

char16_t CharOfByte(Charset set, unsigned char byte) {
    if (byte < 0x80 || set == Charset::Latin1)
        return byte;
    if (byte >= 0xC0)
        return static_cast<char16_t>(0x0410 + (byte - 0xC0));
    return kUpperHalf1251[byte - 0x80];
}

std::optional<char> ByteOfChar(Charset set, char32_t c) {
    if (c < 0x80)
        return static_cast<char>(c);
    if (set == Charset::Latin1)
        return c <= 0xFF ? std::optional<char>(static_cast<char>(c)) : std::nullopt;
    if (c >= 0x0410 && c <= 0x044F)
        return static_cast<char>(0xC0 + (c - 0x0410));
    for (std::size_t i = 0; i < kUpperHalf1251.size(); ++i)
        if (kUpperHalf1251[i] == c)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}

std::optional<std::string> EncodeUtf16(Charset set, std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (char16_t c : text) {
        const auto b = ByteOfChar(set, c);
        if (!b)
            return std::nullopt;
        bytes.push_back(*b);
    }
    return bytes;
}

std::string Utf8ToCharset(Charset set, std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    const auto* data = reinterpret_cast<const std::uint8_t*>(utf8.data());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c;
        const int length = Utf8Sequence(data, utf8.size(), i, c);
        if (length <= 0)
            throw std::invalid_argument("not valid UTF-8 (byte " + std::to_string(i + 1) + ")");
        const auto b = ByteOfChar(set, c);
        if (!b)
            throw std::invalid_argument("the character \"" + std::string(utf8.substr(i, length)) + "\" (" +
                                        CodePointName(c) + ") has no " + CharsetName(set) + " byte");
        bytes.push_back(*b);
        i += static_cast<std::size_t>(length);
    }
    return bytes;
}

const Utf8OfByte* Utf8Table(Charset set) {
    static const std::array<Utf8OfByte, 256> windows1251 = MakeUtf8Table(Charset::Windows1251);
    static const std::array<Utf8OfByte, 256> latin1 = MakeUtf8Table(Charset::Latin1);
    return set == Charset::Latin1 ? latin1.data() : windows1251.data();
}

std::string CharsetToUtf8(Charset set, std::string_view bytes) {
    if (set == Charset::Utf8)
        return std::string(bytes);
    const Utf8OfByte* table = Utf8Table(set);
    std::string utf8;
    utf8.reserve(bytes.size());
    for (unsigned char b : bytes)
        utf8.append(table[b].Bytes, table[b].Length);
    return utf8;
}

int Utf8Sequence(const std::uint8_t* bytes, std::size_t n, std::size_t i, char32_t& cp) {
    const std::uint8_t b = bytes[i];
    int length;
    char32_t min;
    if (b < 0x80) {
        cp = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        length = 2, min = 0x80, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3, min = 0x800, cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, min = 0x10000, cp = b & 0x07;
    } else {
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        if (i + k >= n)
            return -1;
        const std::uint8_t c = bytes[i + k];
        if ((c & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

void PutUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}
