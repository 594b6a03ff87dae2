#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "Charset.h"

// The character set a code-table pair's ASCII side is in: how the bytes
// the tables make (and an ASCII input's own) are read as characters.
inline constexpr const char* kCharsetFile = "charset";

// Where a pair's set came from, so that a reader can say it.
enum class CharsetSource {
    File,        // the file "charset" beside the tables names it
    Recognised,  // one of the two pairs MAVIK ships, told by its ebcdic-ascii
    Option,      // given by whoever opens the file (--charset)
    Default,     // none of those: windows-1251, which a reader must say
};

struct TablesCharset {
    Charset Set = Charset::Windows1251;
    CharsetSource Source = CharsetSource::Default;
};

// A file "charset" that names no 8-bit set MAVIK knows, or cannot be read.
class CharsetFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The set of the tables in folder (the current folder when empty): the
// first line of its file "charset" (windows-1251 or ISO-8859-1, any case);
// else the shipped pairs, recognised by their ebcdic-ascii; else
// windows-1251 by default. Throws CharsetFileError.
TablesCharset CharsetOfTables(const std::filesystem::path& folder);

// An 8-bit set named by a user (--charset): windows-1251 or ISO-8859-1 and
// their other names. Throws std::invalid_argument naming the known ones.
Charset EightBitCharsetNamed(const std::string& name);

// For a viewer told no set: the tables' in folder (the current folder, where
// the window loads them from), windows-1251 when their file "charset"
// cannot be read or names no set.
Charset CharsetOfTablesOrDefault(const std::filesystem::path& folder = {});
