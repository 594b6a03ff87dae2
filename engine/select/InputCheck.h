#pragma once

#include <string>

#include "RecordLayout.h"

// What the first blocks of an input say against the code it is taken to
// be in, by the recognition the record browser uses (RecogniseLayout).
struct InputDoubt {
    enum class Kind {
        None,            // call records in the chosen code, or nothing to go by
        OtherCode,       // call records, but in the other code: Seen
        TextOutput,      // a MAVIK text output, not call records
        NotCallRecords,  // neither code's digits: random bytes, a text, an archive
    };
    Kind What = Kind::None;
    BlockCode Seen = BlockCode::Ascii;
};

// Looks at a regular file taken as call records in chosen. A stream, a
// file of less than a block or one that cannot be read gives None: the run
// itself tells what there is to tell. Never throws.
InputDoubt CheckInput(const std::string& path, BlockCode chosen);

// The doubt in English, for a console: "its records look like ASCII, not
// EBCDIC (-i ebcdic)", "it is no call-record file: ..."; empty for None.
std::string InputDoubtText(const InputDoubt& doubt, BlockCode chosen);
