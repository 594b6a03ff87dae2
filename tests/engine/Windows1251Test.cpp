#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include "Windows1251.h"

#ifdef _WIN32
// Checks the built-in table against the system's own code page 1251.
TEST(Windows1251, AgreesWithTheSystemForEveryByte) {
    int mapped = 0;
    for (int b = 0; b < 256; ++b) {
        const char in = static_cast<char>(b);
        wchar_t out[2] = {};
        // 0x98 has no character; the system passes it through as U+0098.
        if (MultiByteToWideChar(1251, MB_ERR_INVALID_CHARS, &in, 1, out, 2) != 1 || out[0] == 0x98)
            continue;
        ++mapped;
        EXPECT_EQ(ToWindows1251(static_cast<char16_t>(out[0])), static_cast<char>(b)) << "byte " << b;
    }
    EXPECT_EQ(mapped, 255);
}
#else
// Checks the built-in table against the C library's own converter.
TEST(Windows1251, AgreesWithIconvForEveryByte) {
    iconv_t cd = iconv_open("UTF-16LE", "WINDOWS-1251");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int mapped = 0;
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        char16_t out[2] = {};
        char* inp = &in;
        char* outp = reinterpret_cast<char*>(out);
        std::size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1))
            continue;  // 0x98 has no character
        ++mapped;
        EXPECT_EQ(ToWindows1251(out[0]), static_cast<char>(b)) << "byte " << b;
    }
    iconv_close(cd);
    EXPECT_EQ(mapped, 255);
}
#endif

TEST(Windows1251, TextConvertsWholeOrNotAtAll) {
    EXPECT_EQ(ToWindows1251(u"*;"), "*;");
    EXPECT_EQ(ToWindows1251(u"Яё№"), std::string("\xDF\xB8\xB9"));
    EXPECT_EQ(ToWindows1251(u"a\u4E2Db"), std::nullopt);
    EXPECT_EQ(ToWindows1251(u'\u0100'), std::nullopt);
}
