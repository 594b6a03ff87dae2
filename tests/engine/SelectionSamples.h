#pragma once

#include <string>

#include "CodeTable.h"
#include "TestFiles.h"

// Blocks whose records differ field by field, so that selections keep
// different subsets: field 1 is F for every 7th record, field 4 is the
// record's number in 15 digits, field 5 runs through dates, and field 13
// holds CR, LF, "*" and TAB bytes, so separator and line-end bytes sit
// inside fields. In ASCII.
Bytes VariedBlocks(int blocks);

// A stand-in EBCDIC table pair: byte b and b ^ 0xC0 swap places, which
// sends the EBCDIC digits 0xF0-0xF9 to the ASCII digits and back.
CodeTable XorTable();

// The same blocks in that EBCDIC: every byte but field 13 recoded.
Bytes ToXorEbcdic(Bytes blocks);

// What the converter writes for these ASCII blocks, every record.
std::string Converted(const Bytes& blocks, bool formatted, const std::string& separator);
