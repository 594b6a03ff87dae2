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

// A separator given as a UTF-8 argument comes out as the window's bytes.
TEST(Windows1251, Utf8ArgumentsGiveTheWindowsBytes) {
    struct Case {
        const char* utf8;
        const char* bytes;
    };
    for (const Case& c : {Case{"*", "*"}, Case{"<|>", "<|>"}, Case{"", ""}, Case{"\t", "\t"},
                          Case{"€", "\x88"}, Case{"Яё№", "\xDF\xB8\xB9"}, Case{"a€b", "a\x88" "b"}})
        EXPECT_EQ(Utf8ToWindows1251(c.utf8), c.bytes) << c.utf8;
}

TEST(Windows1251, Utf8ArgumentsThatCannotBeWrittenAreRefusedByName) {
    struct Case {
        const char* utf8;
        const char* said;
    };
    for (const Case& c : {Case{"中", "\"中\" (U+4E2D)"}, Case{"a😀", "\"😀\" (U+1F600)"},
                          Case{"\xE2\x82", "not valid UTF-8 (byte 1)"},   // cut short
                          Case{"x\x88", "not valid UTF-8 (byte 2)"},      // windows-1251 itself
                          Case{"\xC0\xAA", "not valid UTF-8"},            // overlong
                          Case{"\xED\xA0\x80", "not valid UTF-8"}}) {     // a surrogate
        try {
            Utf8ToWindows1251(c.utf8);
            ADD_FAILURE() << "accepted " << c.utf8;
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(c.said), std::string::npos) << e.what();
        }
    }
}
