#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The two encodings the text viewer knows: UTF-8 (info.txt) and
// windows-1251 (MAVIK's own text outputs).
enum class TextEncoding { Utf8, Windows1251 };

// UTF-8 when bytes are valid UTF-8, else windows-1251. A sequence cut off
// at the end of the sample counts as valid unless the sample is the whole
// file (complete).
TextEncoding DetectTextEncoding(const std::uint8_t* bytes, std::size_t n, bool complete);

// The characters of bytes; invalid UTF-8 shows as U+FFFD, a control byte
// other than TAB as '.', TAB as blanks to the next multiple of 8.
std::u16string DecodeText(const std::uint8_t* bytes, std::size_t n, TextEncoding encoding);

// How much of a file's start tells text from other bytes.
inline constexpr std::size_t kTextSniffBytes = 64 * 1024;

// Whether a file starting with bytes reads as text: no NUL byte in them
// and at least one line end. Only the first kTextSniffBytes are looked at.
bool ReadsAsText(const std::uint8_t* bytes, std::size_t n);

// What a user typed, as the file's bytes; nothing when windows-1251 has no
// byte for one of its characters.
bool EncodeText(std::u16string_view text, TextEncoding encoding, std::string& out);
