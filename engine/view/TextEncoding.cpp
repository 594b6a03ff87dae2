#include "TextEncoding.h"

#include <algorithm>
#include <cstring>

#include "Windows1251.h"

namespace {

// Length of the UTF-8 sequence starting at bytes[i] and its code point; 0
// when it is not valid, -1 when it is cut off by the end of the bytes.
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

void AppendChar(std::u16string& out, char32_t cp) {
    if (cp == '\t') {
        do
            out.push_back(u' ');
        while (out.size() % 8 != 0);
    } else if (cp < 0x20 || cp == 0x7F) {
        out.push_back(u'.');
    } else if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

}  // namespace

TextEncoding DetectTextEncoding(const std::uint8_t* bytes, std::size_t n, bool complete) {
    std::size_t i = 0;
    while (i < n) {
        // ASCII runs, eight at a time.
        while (i + 8 <= n) {
            std::uint64_t word;
            __builtin_memcpy(&word, bytes + i, 8);
            if (word & 0x8080808080808080ull)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        char32_t cp;
        const int length = Utf8Sequence(bytes, n, i, cp);
        if (length == 0 || (length < 0 && complete))
            return TextEncoding::Windows1251;
        if (length < 0)
            break;
        i += static_cast<std::size_t>(length);
    }
    return TextEncoding::Utf8;
}

std::u16string DecodeText(const std::uint8_t* bytes, std::size_t n, TextEncoding encoding) {
    std::u16string out;
    out.reserve(n);
    if (encoding == TextEncoding::Windows1251) {
        for (std::size_t i = 0; i < n; ++i) {
            const char16_t c = FromWindows1251(bytes[i]);
            AppendChar(out, c == 0 ? u'.' : c);
        }
        return out;
    }
    for (std::size_t i = 0; i < n;) {
        char32_t cp;
        const int length = Utf8Sequence(bytes, n, i, cp);
        if (length <= 0) {
            out.push_back(u'\uFFFD');
            ++i;
        } else {
            AppendChar(out, cp);
            i += static_cast<std::size_t>(length);
        }
    }
    return out;
}

bool ReadsAsText(const std::uint8_t* bytes, std::size_t n) {
    n = std::min(n, kTextSniffBytes);
    return std::memchr(bytes, 0, n) == nullptr && std::memchr(bytes, '\n', n) != nullptr;
}

bool EncodeText(std::u16string_view text, TextEncoding encoding, std::string& out) {
    out.clear();
    if (encoding == TextEncoding::Windows1251) {
        const auto bytes = ToWindows1251(text);
        if (!bytes)
            return false;
        out = *bytes;
        return true;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
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
    return true;
}
