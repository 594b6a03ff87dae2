#pragma once

#include <optional>
#include <string>

#include "ByteRowFormat.h"
#include "CodeTable.h"
#include "RecordLayout.h"

// A window's own viewers, opened where the external program is missing.
// A file that cannot be opened throws IOError before any viewer shows.
class FormViewers {
public:
    virtual void ViewBytes(const std::string& path, ByteDecoding decoding) = 0;
    virtual void ViewText(const std::string& path) = 0;
    // The record browser on path in layout (recognised when not given),
    // EBCDIC records recoded through table.
    virtual void Select(const std::string& path, std::optional<RecordLayout> layout, const CodeTable* table) = 0;

protected:
    ~FormViewers() = default;
};
