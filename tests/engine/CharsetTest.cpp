#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include "Charset.h"

namespace {

// The sets of the tables, each with the system's name for it and how many
// of its bytes stand for a character.
struct Set {
    Charset set;
    unsigned codePage;
    const char* iconvName;
    int mapped;
};
constexpr Set kSets[] = {{Charset::Windows1251, 1251, "WINDOWS-1251", 255}, {Charset::Latin1, 28591, "ISO-8859-1", 256}};

// The character the system gives for byte b of the set, 0 for none.
char16_t SystemChar(const Set& s, int b) {
    char in = static_cast<char>(b);
#ifdef _WIN32
    wchar_t out[2] = {};
    // 0x98 has no character in 1251; the system passes it through as U+0098.
    if (MultiByteToWideChar(s.codePage, MB_ERR_INVALID_CHARS, &in, 1, out, 2) != 1 ||
        (s.set == Charset::Windows1251 && out[0] == 0x98))
        return 0;
    return static_cast<char16_t>(out[0]);
#else
    iconv_t cd = iconv_open("UTF-16LE", s.iconvName);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    char16_t out[2] = {};
    char* inp = &in;
    char* outp = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1, outLeft = sizeof out;
    const bool converted = iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    return converted ? out[0] : char16_t{0};
#endif
}

}  // namespace

// Both ways, every byte, as the system's own converter has it; UTF-8 of
// each byte too, U+FFFD for one the set leaves undefined.
TEST(Charset, AgreesWithTheSystemForEveryByte) {
    for (const Set& s : kSets) {
        SCOPED_TRACE(CharsetName(s.set));
        int mapped = 0;
        for (int b = 0; b < 256; ++b) {
            const char16_t c = SystemChar(s, b);
            EXPECT_EQ(CharOfByte(s.set, static_cast<unsigned char>(b)), b == 0 ? 0 : c) << "byte " << b;
            std::string utf8;
            PutUtf8(utf8, c == 0 && b != 0 ? 0xFFFD : c);
            EXPECT_EQ(CharsetToUtf8(s.set, std::string(1, static_cast<char>(b))), utf8) << "byte " << b;
            if (c == 0 && b != 0)
                continue;
            ++mapped;
            EXPECT_EQ(ByteOfChar(s.set, c), static_cast<char>(b)) << "byte " << b;
        }
        EXPECT_EQ(mapped, s.mapped);
    }
}

TEST(Charset, TextConvertsWholeOrNotAtAll) {
    EXPECT_EQ(EncodeUtf16(Charset::Windows1251, u"*;Яё№"), std::string("*;\xDF\xB8\xB9"));
    EXPECT_EQ(EncodeUtf16(Charset::Windows1251, u"a\u4E2Db"), std::nullopt);
    EXPECT_EQ(EncodeUtf16(Charset::Windows1251, u"\u0100"), std::nullopt);
    EXPECT_EQ(EncodeUtf16(Charset::Latin1, u"é\u00FF"), std::string("\xE9\xFF"));
    EXPECT_EQ(EncodeUtf16(Charset::Latin1, u"Я"), std::nullopt);
}

// A separator or a condition given as a UTF-8 argument comes out as the
// set's bytes, or is refused naming the character.
TEST(Charset, Utf8ArgumentsGiveTheSetsBytesOrAreRefusedByName) {
    struct Case {
        Charset set;
        const char* utf8;
        const char* bytes;  // nullptr: refused
        const char* said;
    };
    const Case cases[] = {
        {Charset::Windows1251, "*", "*", ""},
        {Charset::Windows1251, "", "", ""},
        {Charset::Windows1251, "\t<|>", "\t<|>", ""},
        {Charset::Windows1251, "a€b", "a\x88" "b", ""},
        {Charset::Windows1251, "Яё№", "\xDF\xB8\xB9", ""},
        {Charset::Latin1, "é×ÿ", "\xE9\xD7\xFF", ""},
        {Charset::Latin1, "€", nullptr, "\"€\" (U+20AC) has no ISO-8859-1 byte"},
        {Charset::Windows1251, "é", nullptr, "\"é\" (U+00E9) has no windows-1251 byte"},
        {Charset::Windows1251, "中", nullptr, "\"中\" (U+4E2D)"},
        {Charset::Windows1251, "a😀", nullptr, "\"😀\" (U+1F600)"},
        {Charset::Windows1251, "\xE2\x82", nullptr, "not valid UTF-8 (byte 1)"},  // cut short
        {Charset::Latin1, "x\x88", nullptr, "not valid UTF-8 (byte 2)"},          // an 8-bit byte itself
        {Charset::Windows1251, "\xC0\xAA", nullptr, "not valid UTF-8"},           // overlong
        {Charset::Windows1251, "\xED\xA0\x80", nullptr, "not valid UTF-8"},       // a surrogate
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        try {
            const std::string bytes = Utf8ToCharset(c.set, c.utf8);
            EXPECT_TRUE(c.bytes) << "accepted";
            EXPECT_EQ(bytes, c.bytes ? c.bytes : "");
        } catch (const std::invalid_argument& e) {
            EXPECT_FALSE(c.bytes) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.said), std::string::npos) << e.what();
        }
    }
}

TEST(Charset, NamesAreKnownWhateverTheirCase) {
    EXPECT_EQ(CharsetNamed("windows-1251"), Charset::Windows1251);
    EXPECT_EQ(CharsetNamed("CP1251"), Charset::Windows1251);
    EXPECT_EQ(CharsetNamed("iso-8859-1"), Charset::Latin1);
    EXPECT_EQ(CharsetNamed("Latin1"), Charset::Latin1);
    EXPECT_EQ(CharsetNamed("koi8-r"), std::nullopt);
    for (Charset set : {Charset::Utf8, Charset::Windows1251, Charset::Latin1})
        EXPECT_EQ(CharsetNamed(CharsetName(set)), set);
}
