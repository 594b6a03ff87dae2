#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The character sets MAVIK reads and writes text in: the 8-bit set of a
// code-table pair's ASCII side (windows-1251 for the Cyrillic pair,
// ISO-8859-1 for the default one), and UTF-8 for text files of its own
// (info.txt, field-names) and for what goes to another program (the CSV,
// the terminal).
enum class Charset { Utf8, Windows1251, Latin1 };

// "UTF-8", "windows-1251", "ISO-8859-1".
const char* CharsetName(Charset set);

// The set a name stands for, whatever its case: those above, and cp1251,
// latin1, iso8859-1 and the like. Nothing for another name.
std::optional<Charset> CharsetNamed(std::string_view name);

// --- The 8-bit sets (Windows1251, Latin1) ---

// The character a byte stands for; 0 for a byte the set leaves undefined
// (0x98 in windows-1251).
char16_t CharOfByte(Charset set, unsigned char byte);

// The byte for a character, if the set has one.
std::optional<char> ByteOfChar(Charset set, char32_t c);

// The whole text in the set; nothing when any character has no byte there.
std::optional<std::string> EncodeUtf16(Charset set, std::u16string_view text);

// UTF-8 text (a command-line argument) in the set. Throws
// std::invalid_argument when it is not valid UTF-8, or names the first
// character that has no byte there.
std::string Utf8ToCharset(Charset set, std::string_view utf8);

// A byte as UTF-8: 1 to 3 bytes. An undefined byte is U+FFFD, the
// replacement character.
struct Utf8OfByte {
    unsigned char Length;
    char Bytes[3];
};
// The UTF-8 of every byte of the set, made once.
const Utf8OfByte* Utf8Table(Charset set);

// Bytes of the set as UTF-8.
std::string CharsetToUtf8(Charset set, std::string_view bytes);

// --- UTF-8, the one codec ---

// Length of the UTF-8 sequence starting at bytes[i] and its code point; 0
// when it is not well formed (overlong forms, surrogates and values past
// U+10FFFF included), -1 when the end of the bytes cuts it off.
int Utf8Sequence(const std::uint8_t* bytes, std::size_t n, std::size_t i, char32_t& cp);

// The code point as UTF-8, appended.
void PutUtf8(std::string& out, char32_t cp);
