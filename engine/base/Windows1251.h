#pragma once

#include <optional>
#include <string>
#include <string_view>

// The window's 8-bit character set: the separator a user types is written
// to the output as these bytes.

// The windows-1251 byte for a UTF-16 code unit, if it has one.
std::optional<char> ToWindows1251(char16_t c);

// The whole text in windows-1251; nothing when any character has no byte there.
std::optional<std::string> ToWindows1251(std::u16string_view text);

// The character a windows-1251 byte stands for; 0 for the one unassigned byte (0x98).
char16_t FromWindows1251(unsigned char byte);

// UTF-8 text (a command-line argument) in windows-1251, as the window would
// write the same characters. Throws std::invalid_argument when the text is
// not valid UTF-8, or names the first character that has no byte there.
std::string Utf8ToWindows1251(std::string_view utf8);

// A windows-1251 byte as UTF-8: 1 to 3 bytes. The unassigned byte 0x98 is
// U+FFFD, the replacement character.
struct Utf8OfByte {
    unsigned char Length;
    char Bytes[3];
};
inline constexpr unsigned char kUndefinedWindows1251 = 0x98;

// The UTF-8 of every byte, made once.
const Utf8OfByte* Windows1251Utf8Table();

// windows-1251 bytes (the outputs' character set) as UTF-8.
std::string Windows1251ToUtf8(std::string_view bytes);
