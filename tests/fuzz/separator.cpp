// The separator's encoding: UTF-8 to windows-1251.
// Input: any bytes, taken once as windows-1251 text and once as UTF-8.
#include <stdexcept>
#include <string>

#include "FuzzCheck.h"
#include "PlainUtf8.h"
#include "Charset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Valid windows-1251 text (every byte but the unassigned 0x98), in
    // UTF-8 and in UTF-16, comes back as the same bytes.
    std::string cp1251, utf8;
    std::u16string utf16;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0x98)
            continue;
        const char16_t c = CharOfByte(Charset::Windows1251, data[i]);
        FUZZ_CHECK(c != 0 || data[i] == 0);
        cp1251 += static_cast<char>(data[i]);
        utf16 += c;
        AppendUtf8(utf8, c);
        FUZZ_CHECK(ByteOfChar(Charset::Windows1251, c) == static_cast<char>(data[i]));
    }
    FUZZ_CHECK(Utf8ToCharset(Charset::Windows1251, utf8) == cp1251);
    FUZZ_CHECK(EncodeUtf16(Charset::Windows1251, utf16) == cp1251);

    // Any bytes as UTF-8: refused with std::invalid_argument, or taken to
    // bytes that stand for exactly the characters given.
    const std::string_view given(reinterpret_cast<const char*>(data), size);
    std::string converted;
    try {
        converted = Utf8ToCharset(Charset::Windows1251, given);
    } catch (const std::invalid_argument&) {
        return 0;
    }
    std::string back;
    for (const char b : converted)
        AppendUtf8(back, CharOfByte(Charset::Windows1251, static_cast<unsigned char>(b)));
    FUZZ_CHECK(back == given);
    return 0;
}
