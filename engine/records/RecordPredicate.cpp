#include "RecordPredicate.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>

namespace {

constexpr CodeTable kIdentity = [] {
    CodeTable identity{};
    for (std::size_t i = 0; i < identity.size(); ++i)
        identity[i] = static_cast<std::uint8_t>(i);
    return identity;
}();

// Byte-wise lexicographic order of a text and the value; a proper prefix
// comes first.
bool Ordered(SelectionOp op, int order) {
    switch (op) {
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

// The order of a field's bytes through map against the value over their
// common length, else tie (which of the two is longer).
int MappedOrder(const std::uint8_t* map, const std::uint8_t* text, const std::uint8_t* value, std::size_t common,
                int tie) {
    for (std::size_t i = 0; i < common; ++i) {
        const std::uint8_t b = map[text[i]];
        if (b != value[i])
            return b < value[i] ? -1 : 1;
    }
    return tie;
}

// count (up to 8) bytes, through map when given, as a big-endian number.
std::uint64_t BigEndian(const std::uint8_t* map, const std::uint8_t* bytes, std::size_t count) {
    std::uint64_t number = 0;
    for (std::size_t i = 0; i < count; ++i)
        number = number << 8 | (map ? map[bytes[i]] : bytes[i]);
    return number;
}

int LengthOrder(std::size_t length, std::size_t valueLength) {
    return length < valueLength ? -1 : (length > valueLength ? 1 : 0);
}

}  // namespace

RecordPredicate::RecordPredicate(const std::vector<SelectionCondition>& conditions,
                                 const RecordLayout& layout, const CodeTable* table)
    : reader_(layout, table) {
    for (const SelectionCondition& c : conditions) {
        const FieldPlace place = reader_.Place(c.Field);
        const bool mapped = reader_.ValueIsText(c.Field) && c.Op != SelectionOp::Contains;
        const CodeTable* map = reader_.Table() ? reader_.Table() : &kIdentity;
        compiled_.push_back({c.Field, place.Offset, place.Width, c.Op, ConditionValue(c.Field, c.Value),
                             mapped ? map->data() : nullptr});
    }
}

namespace {

// Clears the bit of each record in `in` that fails test.
template <class Test>
std::uint64_t Keep(std::uint64_t in, const std::uint8_t* first, std::size_t stride, Test test) {
    for (std::uint64_t m = in; m; m &= m - 1) {
        const int r = std::countr_zero(m);
        if (!test(first + static_cast<std::size_t>(r) * stride))
            in &= ~(std::uint64_t{1} << r);
    }
    return in;
}

}  // namespace

std::uint64_t RecordPredicate::MatchMask(const std::uint8_t* first, std::size_t count, std::size_t stride) const {
    std::uint64_t in = count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
    for (const Compiled& c : compiled_) {
        const bool ordered = c.Op == SelectionOp::Less || c.Op == SelectionOp::LessEqual ||
                             c.Op == SelectionOp::Greater || c.Op == SelectionOp::GreaterEqual;
        if (!c.Map || !ordered || std::min(c.Width, c.Value.size()) > 8) {
            in = Keep(in, first, stride, [&](const std::uint8_t* record) { return Holds(c, record); });
            continue;
        }
        // The order of the field and the value, with what it needs in
        // registers rather than read from the condition for each record.
        const std::size_t offset = c.Offset, common = std::min(c.Width, c.Value.size());
        const int tie = LengthOrder(c.Width, c.Value.size());
        const std::uint8_t* map = c.Map;
        const auto* value = reinterpret_cast<const std::uint8_t*>(c.Value.data());
        const SelectionOp op = c.Op;
        // Up to 8 bytes compare as one big-endian number: no branch on the
        // bytes themselves, which dates and times make hard to predict.
        const std::uint64_t key = BigEndian(nullptr, value, common);
        in = Keep(in, first, stride, [=](const std::uint8_t* record) {
            const std::uint64_t field = BigEndian(map, record + offset, common);
            return Ordered(op, field != key ? (field < key ? -1 : 1) : tie);
        });
    }
    return in;
}

// Runs over every record: no copy of the field, and most records are
// decided by their first byte or their width.
bool RecordPredicate::Holds(const Compiled& c, const std::uint8_t* record) const {
    if (!c.Map)
        return HoldsMade(c, record);
    const std::uint8_t* text = record + c.Offset;
    const std::uint8_t* map = c.Map;
    const auto* value = reinterpret_cast<const std::uint8_t*>(c.Value.data());
    const std::size_t length = c.Width;
    const std::size_t valueLength = c.Value.size();
    switch (c.Op) {
    case SelectionOp::Equal:
    case SelectionOp::NotEqual: {
        bool equal = length == valueLength;
        for (std::size_t i = 0; equal && i < length; ++i)
            equal = map[text[i]] == value[i];
        return equal == (c.Op == SelectionOp::Equal);
    }
    case SelectionOp::StartsWith:
        if (valueLength > length)
            return false;
        for (std::size_t i = 0; i < valueLength; ++i)
            if (map[text[i]] != value[i])
                return false;
        return true;
    default:
        break;
    }
    return Ordered(c.Op, MappedOrder(map, text, value, std::min(length, valueLength), LengthOrder(length, valueLength)));
}

bool RecordPredicate::HoldsMade(const Compiled& c, const std::uint8_t* record) const {
    std::uint8_t buffer[kMaxFieldText];
    const std::size_t length = reader_.Value(record, c.Field, buffer);
    const std::string_view text(reinterpret_cast<const char*>(buffer), length);
    switch (c.Op) {
    case SelectionOp::Equal:
        return text == c.Value;
    case SelectionOp::NotEqual:
        return text != c.Value;
    case SelectionOp::StartsWith:
        return text.starts_with(c.Value);
    case SelectionOp::Contains:
        return text.find(c.Value) != std::string_view::npos;
    default:
        return Ordered(c.Op, text.compare(c.Value));
    }
}
