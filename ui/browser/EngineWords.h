#pragma once

#include <QString>

#include <string>

#include "Charset.h"
#include "CsvWriter.h"
#include "FieldText.h"
#include "SelectionCondition.h"

// The browser's words for what the engine finds, in the reader's language:
// a malformed condition, one that can never match, what a field holds. The
// engine's own texts are English, for mavik-convert.

// Conditions and fields are bytes of set, the tables' character set.
QString SelectionErrorText(const SelectionError& error, Charset set);
QString NeverMatchWords(const NeverMatch& why, Charset set);
// "date 07/12", "4 binary bytes in hex, value 2B417A30", ...
QString FieldMeaningText(const FieldMeaning& meaning, Charset set);
// "field-names: must hold 14 non-empty lines, ...", naming the file.
QString FieldNamesErrorText(const FieldNamesError& error);
