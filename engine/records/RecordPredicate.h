#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FieldText.h"
#include "SelectionCondition.h"

// Conditions compiled for one layout: whether a record's field values
// (FieldReader::Value, the condition's value read by ConditionValue)
// satisfy all of them. Cheap enough to run over every record of a multi-GiB file.
class RecordPredicate {
public:
    RecordPredicate(const std::vector<SelectionCondition>& conditions, const RecordLayout& layout,
                    const CodeTable* table);

    bool Matches(const std::uint8_t* record) const {
        for (const Compiled& c : compiled_)
            if (!Holds(c, record))
                return false;
        return true;
    }
    // Which of count records (up to 64), stride bytes apart from first,
    // match: bit r for record r. One condition at a time over the records
    // still in, which is faster than Matches per record.
    std::uint64_t MatchMask(const std::uint8_t* first, std::size_t count, std::size_t stride) const;
    bool SelectsAll() const { return compiled_.empty(); }

private:
    struct Compiled {
        int Field;
        std::size_t Offset;
        std::size_t Width;
        SelectionOp Op;
        std::string Value;
        // The field's bytes through this map are its text, compared byte by
        // byte and left at the first that decides; nullptr when the value
        // has to be made first (field 13 in hex, a formatted line's fields
        // 3 to 7, and "contains"), on the stack.
        const std::uint8_t* Map;
    };
    bool Holds(const Compiled& c, const std::uint8_t* record) const;
    bool HoldsMade(const Compiled& c, const std::uint8_t* record) const;

    FieldReader reader_;
    std::vector<Compiled> compiled_;
};
