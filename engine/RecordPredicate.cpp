#include "RecordPredicate.h"

#include <algorithm>
#include <cstring>
#include <string_view>

RecordPredicate::RecordPredicate(const std::vector<SelectionCondition>& conditions,
                                 const RecordLayout& layout, const CodeTable* table)
    : reader_(layout, table) {
    for (const SelectionCondition& c : conditions)
        compiled_.push_back({c.Field, reader_.Place(c.Field).Offset, c.Op, c.Value,
                             !reader_.Table() && !reader_.IsHex(c.Field)});
}

bool RecordPredicate::Holds(const Compiled& c, const std::uint8_t* record) const {
    std::uint8_t buffer[kMaxFieldText];
    const std::uint8_t* text;
    std::size_t length;
    if (c.Direct) {
        text = record + c.Offset;
        length = reader_.Place(c.Field).Width;
    } else {
        length = reader_.Text(record, c.Field, buffer);
        text = buffer;
    }
    const std::size_t valueLength = c.Value.size();
    const auto* value = reinterpret_cast<const std::uint8_t*>(c.Value.data());
    switch (c.Op) {
    case SelectionOp::Equal:
        return length == valueLength && std::memcmp(text, value, length) == 0;
    case SelectionOp::NotEqual:
        return length != valueLength || std::memcmp(text, value, length) != 0;
    case SelectionOp::StartsWith:
        return valueLength <= length && std::memcmp(text, value, valueLength) == 0;
    case SelectionOp::Contains: {
        const std::string_view haystack(reinterpret_cast<const char*>(text), length);
        return haystack.find(c.Value) != std::string_view::npos;
    }
    default:
        break;
    }
    // Byte-wise lexicographic order; a proper prefix comes first.
    int order = std::memcmp(text, value, std::min(length, valueLength));
    if (order == 0)
        order = length < valueLength ? -1 : (length > valueLength ? 1 : 0);
    switch (c.Op) {
    case SelectionOp::Less:
        return order < 0;
    case SelectionOp::LessEqual:
        return order <= 0;
    case SelectionOp::Greater:
        return order > 0;
    case SelectionOp::GreaterEqual:
        return order >= 0;
    default:
        return false;
    }
}
