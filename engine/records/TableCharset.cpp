#include "TableCharset.h"

#include <cstdint>

#include "CodeTable.h"
#include "FileAccess.h"

namespace {

// FNV-1a of a table's 256 bytes: enough to tell the two shipped tables from
// any other, without holding them here.
std::uint64_t Fingerprint(const CodeTable& table) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (std::uint8_t b : table)
        h = (h ^ b) * 0x100000001b3ull;
    return h;
}

// The ebcdic-ascii of data/codetables (IBM037 to ISO-8859-1) and of
// data/codetables/cyrillic (IBM1025 to windows-1251).
constexpr std::uint64_t kDefaultPair = 0x10d9253fba729141ull;
constexpr std::uint64_t kCyrillicPair = 0xf663e65d1636ca77ull;

// Up to max bytes of a file; false when it is not there or not readable.
bool ReadStart(const std::filesystem::path& path, std::string& out, std::size_t max) {
    const int fd = fileaccess::Open(fileaccess::Utf8(path), fileaccess::Access::Read);
    if (fd < 0)
        return false;
    out.assign(max, '\0');
    int error;
    out.resize(fileaccess::ReadUpTo(fd, out.data(), max, error));
    fileaccess::Close(fd);
    return error == 0;
}

}  // namespace

Charset EightBitCharsetNamed(const std::string& name) {
    const auto set = CharsetNamed(name);
    if (!set || *set == Charset::Utf8)
        throw std::invalid_argument("\"" + name + "\" is not a character set of code tables (windows-1251 or ISO-8859-1)");
    return *set;
}

TablesCharset CharsetOfTables(const std::filesystem::path& folder) {
    const std::filesystem::path file = folder / kCharsetFile;
    fileaccess::FileInfo info;
    if (fileaccess::StatPath(fileaccess::Utf8(file), info)) {
        std::string text;
        if (info.Directory || !ReadStart(file, text, 64))
            throw CharsetFileError(fileaccess::Utf8(file) + ": cannot be read");
        const std::size_t end = text.find_first_of("\r\n");
        std::string name = text.substr(0, end);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
            name.pop_back();
        try {
            return {EightBitCharsetNamed(name), CharsetSource::File};
        } catch (const std::invalid_argument& e) {
            throw CharsetFileError(fileaccess::Utf8(file) + ": " + e.what());
        }
    }
    std::string bytes;
    if (ReadStart(folder / CodeTableFile(CodeTableKind::EbcdicToAscii), bytes, 257) && bytes.size() == 256) {
        CodeTable table;
        for (std::size_t i = 0; i < table.size(); ++i)
            table[i] = static_cast<std::uint8_t>(bytes[i]);
        const std::uint64_t print = Fingerprint(table);
        if (print == kDefaultPair)
            return {Charset::Latin1, CharsetSource::Recognised};
        if (print == kCyrillicPair)
            return {Charset::Windows1251, CharsetSource::Recognised};
    }
    return {};
}

Charset CharsetOfTablesOrDefault(const std::filesystem::path& folder) {
    try {
        return CharsetOfTables(folder).Set;
    } catch (const CharsetFileError&) {
        return Charset::Windows1251;
    }
}
