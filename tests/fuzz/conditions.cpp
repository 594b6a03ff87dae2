// Conditions: the parser over any text, then the predicate over a record
// taken from the input.
// Input: byte 0 picks the layout, the next bytes (up to a record's or a
// line's length, padded with '0') are the record, the rest is the text.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "FieldText.h"
#include "FuzzCheck.h"
#include "RecordLayout.h"
#include "RecordPredicate.h"
#include "SelectionCondition.h"

namespace {

bool Same(const SelectionCondition& a, const SelectionCondition& b) {
    return a.Field == b.Field && a.Op == b.Op && a.Value == b.Value;
}

// A permutation of the byte values, standing for an EBCDIC code table.
CodeTable Permutation() {
    CodeTable table{};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return table;
}

// Where field n lies in a text line, counted here from the widths alone.
FieldPlace TextPlace(const std::array<std::size_t, 14>& widths, std::size_t separator, int n) {
    std::size_t offset = 0;
    for (int i = 1; i < n; ++i)
        offset += widths[static_cast<std::size_t>(i - 1)] + separator;
    return {offset, widths[static_cast<std::size_t>(n - 1)]};
}

// The field's value as plain text: its bytes through the table in a block
// file, field 13 of a block file as 8 upper-case hex digits.
std::string PlainValue(const RecordLayout& layout, const CodeTable* table, const std::uint8_t* record, int n) {
    std::string value;
    if (layout.Kind == LayoutKind::Block) {
        const CallRecordField f = kCallRecordFields[static_cast<std::size_t>(n - 1)];
        for (std::size_t i = 0; i < f.Width; ++i) {
            const std::uint8_t b = record[f.Offset + i];
            if (n == 13) {
                static const char kDigits[] = "0123456789ABCDEF";
                value += kDigits[b >> 4];
                value += kDigits[b & 15];
            } else {
                value += static_cast<char>(table ? (*table)[b] : b);
            }
        }
        return value;
    }
    const FieldPlace place = TextPlace(layout.Kind == LayoutKind::Raw ? kRawWidths : kFormattedWidths,
                                       layout.Separator.size(), n);
    return std::string(reinterpret_cast<const char*>(record) + place.Offset, place.Width);
}

bool PlainHolds(SelectionOp op, const std::string& text, const std::string& value) {
    // std::string compares as unsigned bytes (char_traits<char>::compare).
    const int order = text.compare(value);
    switch (op) {
    case SelectionOp::Equal: return text == value;
    case SelectionOp::NotEqual: return text != value;
    case SelectionOp::Less: return order < 0;
    case SelectionOp::LessEqual: return order <= 0;
    case SelectionOp::Greater: return order > 0;
    case SelectionOp::GreaterEqual: return order >= 0;
    case SelectionOp::StartsWith: return text.compare(0, value.size(), value) == 0 && text.size() >= value.size();
    case SelectionOp::Contains: return text.find(value) != std::string::npos;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const CodeTable table = Permutation();
    RecordLayout layout;
    const CodeTable* recoding = nullptr;
    switch (data[0] % 4) {
    case 0: layout = RecordLayout::Block(BlockCode::Ascii); break;
    case 1: layout = RecordLayout::Block(BlockCode::Ebcdic); recoding = &table; break;
    case 2: layout = RecordLayout::Raw("*"); break;
    default: layout = RecordLayout::Formatted("*"); break;
    }
    const std::size_t recordBytes = layout.RecordBytes();
    std::vector<std::uint8_t> record(recordBytes, '0');
    const std::size_t taken = std::min(recordBytes, size - 1);
    std::memcpy(record.data(), data + 1, taken);
    const std::string_view text(reinterpret_cast<const char*>(data) + 1 + taken, size - 1 - taken);

    // A condition as the builder makes it, from a field, an operator and
    // any value: its text gives it back from the edit, or it is refused.
    if (!text.empty()) {
        const SelectionCondition built{1 + static_cast<unsigned char>(text[0]) % 14,
                                       kSelectionOps[(static_cast<unsigned char>(text[0]) >> 4) % 8],
                                       std::string(text.substr(1))};
        try {
            const std::vector<SelectionCondition> back = ParseConditions(ConditionText(built));
            FUZZ_CHECK(back.size() == 1 && Same(back[0], built));
        } catch (const SelectionError&) {
            FUZZ_CHECK(built.Value.find(';') != std::string::npos || built.Value.starts_with('='));
        }
    }

    std::vector<SelectionCondition> conditions;
    try {
        conditions = ParseConditions(text);
    } catch (const SelectionError&) {
        return 0;  // malformed: reported as a SelectionError, and nothing else
    }

    std::string joined;
    for (const SelectionCondition& c : conditions) {
        FUZZ_CHECK(c.Field >= 1 && c.Field <= 14);
        // Printed back, a parsed condition parses to the same condition.
        const std::string printed = ConditionText(c);
        FUZZ_CHECK(Same(ParseCondition(printed), c));
        joined += (joined.empty() ? "" : ";") + printed;

        // The predicate agrees with a plain comparison of the field's value.
        const RecordPredicate predicate({c}, layout, recoding);
        const std::string value = PlainValue(layout, recoding, record.data(), c.Field);
        FUZZ_CHECK(predicate.Matches(record.data()) == PlainHolds(c.Op, value, c.Value));
        // And with the field's text as the browser shows it.
        FUZZ_CHECK(FieldReader(layout, recoding).Text(record.data(), c.Field) == value);
    }
    // The whole list prints back too (no value holds a ";").
    const std::vector<SelectionCondition> again = ParseConditions(joined);
    FUZZ_CHECK(again.size() == conditions.size());
    for (std::size_t i = 0; i < again.size(); ++i)
        FUZZ_CHECK(Same(again[i], conditions[i]));
    // All of them: the conjunction of each.
    const RecordPredicate all(conditions, layout, recoding);
    bool each = true;
    for (const SelectionCondition& c : conditions)
        each = each && RecordPredicate({c}, layout, recoding).Matches(record.data());
    FUZZ_CHECK(all.Matches(record.data()) == each);
    return 0;
}
