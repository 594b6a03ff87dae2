// Conditions: the parser over any text, then the predicate over a record
// taken from the input.
// Input: byte 0 picks the layout, the next bytes (up to a record's or a
// line's length, padded with '0') are the record, the rest is the text.
#include <algorithm>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "FieldText.h"
#include "FuzzCheck.h"
#include "RecordLayout.h"
#include "RecordPredicate.h"
#include "SelectionCondition.h"

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

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

// The field's text as plain bytes: through the table in a block file,
// field 13 of a block file as 8 upper-case hex digits; a text line's as it
// stands.
std::string PlainText(const RecordLayout& layout, const CodeTable* table, const std::uint8_t* record, int n) {
    std::string text;
    if (layout.Kind == LayoutKind::Block) {
        const FieldPlace f = kCallRecordFields[static_cast<std::size_t>(n - 1)];
        for (std::size_t i = 0; i < f.Width; ++i) {
            const std::uint8_t b = record[f.Offset + i];
            if (n == 13) {
                text += kDigits[b >> 4];
                text += kDigits[b & 15];
            } else {
                text += static_cast<char>(table ? (*table)[b] : b);
            }
        }
        return text;
    }
    const FieldPlace place = TextPlace(layout.Kind == LayoutKind::Raw ? kRawWidths : kFormattedWidths,
                                       layout.Separator.size(), n);
    return std::string(reinterpret_cast<const char*>(record) + place.Offset, place.Width);
}

// The field's value, the one conditions compare: the text, but field 13 of
// a raw line in hex, and on a formatted line without the "/", ":" and "H"
// its places hold and with F for a blank of fields 3 and 4.
std::string PlainValue(const RecordLayout& layout, const std::string& text, int n) {
    if (layout.Kind == LayoutKind::Raw && n == 13) {
        std::string hex;
        for (unsigned char b : text) {
            hex += kDigits[b >> 4];
            hex += kDigits[b & 15];
        }
        return hex;
    }
    if (layout.Kind != LayoutKind::Formatted)
        return text;
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((n == 5 && i == 2) || ((n == 6 || n == 7) && (i == 2 || i == 5)) || (n == 13 && (i == 4 || i == 9)))
            continue;
        value += (n == 3 || n == 4) && text[i] == ' ' ? 'F' : text[i];
    }
    return value;
}

// A condition's value in that form: either form may be written.
std::string PlainConditionValue(int n, const std::string& written) {
    std::string value;
    for (char c : written) {
        if ((n == 5 && c == '/') || ((n == 6 || n == 7) && c == ':') || (n == 13 && c == 'H'))
            continue;
        if (n == 13 && c >= 'a' && c <= 'f')
            c = static_cast<char>(c - 32);  // hex digits of either case
        value += (n == 3 || n == 4) && c == ' ' ? 'F' : c;
    }
    return value;
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

// The checker's rule, said another way: a whole value matches the field's
// pattern; a beginning of one does when a valid value's end completes it, a
// part of one when a valid value's two ends do.
bool PlainAccepts(int n, SelectionOp op, const std::string& value) {
    static const std::regex date(R"(\d{4}|\d\d/\d\d)"), time(R"(\d{6}|\d\d:\d\d:\d\d)"),
        hex(R"([0-9A-Fa-f]{8}|[0-9A-Fa-f]{4}H[0-9A-Fa-f]{4}H)");
    std::vector<std::string> examples;
    std::regex pattern;
    switch (n) {
    case 1: return true;
    case 5: pattern = date, examples = {"0712", "07/12"}; break;
    case 6:
    case 7: pattern = time, examples = {"235959", "23:59:59"}; break;
    case 13: pattern = hex, examples = {"2B417A30", "2B41H7A30H"}; break;
    default: {
        const std::size_t width = kCallRecordFields[static_cast<std::size_t>(n - 1)].Width;
        const bool padded = n == 3 || n == 4;
        pattern = std::regex((padded ? "[0-9F ]{" : "[0-9]{") + std::to_string(width) + "}");
        examples = {std::string(width, '0')};
    }
    }
    if (std::regex_match(value, pattern))
        return true;
    for (const std::string& example : examples) {
        for (std::size_t at = 0; at + value.size() <= example.size(); ++at) {
            if (at > 0 && op != SelectionOp::Contains)
                break;
            if (op != SelectionOp::StartsWith && op != SelectionOp::Contains)
                break;
            const std::string completed = example.substr(0, at) + value + example.substr(at + value.size());
            if (std::regex_match(completed, pattern))
                return true;
        }
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

        // Every value the parser gives is accepted by the checker exactly
        // when it fits its field's kind; a refusal names the field.
        bool accepted = true;
        try {
            CheckCondition(c);
        } catch (const SelectionError& e) {
            accepted = false;
            FUZZ_CHECK(e.Detail() == std::to_string(c.Field));
        }
        FUZZ_CHECK(accepted == PlainAccepts(c.Field, c.Op, c.Value));

        // The predicate agrees with a plain comparison of the field's value.
        const RecordPredicate predicate({c}, layout, recoding);
        const std::string text = PlainText(layout, recoding, record.data(), c.Field);
        const std::string value = PlainValue(layout, text, c.Field);
        const bool holds = predicate.Matches(record.data());
        FUZZ_CHECK(holds == PlainHolds(c.Op, value, PlainConditionValue(c.Field, c.Value)));
        // One said never to match does not.
        FUZZ_CHECK(!(holds && NeverMatches(c)));
        // The browser shows the text, and the CSV the value.
        const FieldReader reader(layout, recoding);
        FUZZ_CHECK(reader.Text(record.data(), c.Field) == text);
        FUZZ_CHECK(reader.Value(record.data(), c.Field) == value);
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
    // A block's mask, the converter's way, says the same of each record.
    const std::vector<std::uint8_t> three = [&] {
        std::vector<std::uint8_t> copies(record);
        copies.insert(copies.end(), record.begin(), record.end());
        copies.insert(copies.end(), record.begin(), record.end());
        return copies;
    }();
    FUZZ_CHECK(all.MatchMask(three.data(), 3, record.size()) == (each ? 7u : 0u));
    return 0;
}
