#include "TextEncoding.h"

#include <algorithm>
#include <cstring>

namespace {

void AppendChar(std::u16string& out, char32_t cp) {
    if (cp == '\t') {
        do
            out.push_back(u' ');
        while (out.size() % 8 != 0);
    } else if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) {
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

Charset DetectTextEncoding(const std::uint8_t* bytes, std::size_t n, bool complete, Charset eightBit) {
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
            return eightBit;
        if (length < 0)
            break;
        i += static_cast<std::size_t>(length);
    }
    return Charset::Utf8;
}

std::u16string DecodeText(const std::uint8_t* bytes, std::size_t n, Charset encoding) {
    std::u16string out;
    out.reserve(n);
    if (encoding != Charset::Utf8) {
        for (std::size_t i = 0; i < n; ++i) {
            const char16_t c = CharOfByte(encoding, bytes[i]);
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

bool EncodeText(std::u16string_view text, Charset encoding, std::string& out) {
    out.clear();
    if (encoding != Charset::Utf8) {
        const auto bytes = EncodeUtf16(encoding, text);
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
        PutUtf8(out, cp);
    }
    return true;
}
