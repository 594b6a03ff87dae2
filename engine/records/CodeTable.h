#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "CallRecordBlock.h"

// Entry i is the byte that replaces byte value i.
using CodeTable = std::array<std::uint8_t, 256>;

enum class CodeTableKind { EbcdicToAscii, AsciiToEbcdic };

// The file a table is loaded from: "ebcdic-ascii" or "ascii-ebcdic".
const char* CodeTableFile(CodeTableKind kind);

// The pair of tables a window or a batch run recodes through. Whoever
// loads them owns them and hands them to each run; an empty slot is a table
// that was never loaded.
struct CodeTables {
    std::optional<CodeTable> EbcdicToAscii;
    std::optional<CodeTable> AsciiToEbcdic;

    std::optional<CodeTable>& operator[](CodeTableKind kind);
    const std::optional<CodeTable>& operator[](CodeTableKind kind) const;
};

// Reads up to 256 bytes of the file at path into table from entry 0; the
// entries beyond a short file keep their value. Returns how many were read.
// Throws CannotOpenFile "Cannot open file <name>", with the failure of the
// step underneath, when the file cannot be opened or a read fails (a
// folder, a device error): such a table is not a short one.
std::size_t LoadCodeTable(CodeTable& table, const std::filesystem::path& path, const std::string& name);

// Loads the table of that kind from its file in folder (the current folder
// when empty) into a zeroed table and puts it into its slot; the slot is left
// as it was when loading fails. Returns how many bytes were read.
std::size_t LoadCodeTable(CodeTables& tables, CodeTableKind kind, const std::filesystem::path& folder = {});

// Loads EbcdicToAscii, then AsciiToEbcdic, from folder (the current folder
// when empty). Stops at the first file that cannot be loaded.
void LoadCodeTables(CodeTables& tables, const std::filesystem::path& folder = {});

// Translates the header and every record byte except field 13, in place.
void RecodeBlock(CallRecordBlock& block, const CodeTable& table);

// The ways this processor can translate bytes through a table, fastest
// first; RecodeBlock uses the first. Each translates n bytes in place, n a
// multiple of 64.
struct TranslateKernel {
    using Fn = void (*)(std::uint8_t* bytes, std::size_t n, const CodeTable& table);
    const char* Name;
    Fn Translate;
};
std::vector<TranslateKernel> TranslateKernels();
