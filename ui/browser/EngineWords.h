#pragma once

#include <QString>

#include <string>

#include "CsvWriter.h"
#include "FieldText.h"
#include "SelectionCondition.h"

// The browser's words for what the engine finds, in the reader's language:
// a malformed condition, one that can never match, what a field holds. The
// engine's own texts are English, for mavik-convert.

QString SelectionErrorText(const SelectionError& error);
QString NeverMatchWords(const NeverMatch& why);
// "date 07/12", "4 binary bytes in hex, value 2B417A30", ...
QString FieldMeaningText(const FieldMeaning& meaning);
// "field-names: must hold 14 non-empty lines, ...", naming the file.
QString FieldNamesErrorText(const FieldNamesError& error);
