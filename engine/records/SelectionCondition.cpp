#include "SelectionCondition.h"

#include <array>

#include "CallRecordBlock.h"
#include <utility>

namespace {

// Two-character operators first, so the longest one at a place wins.
constexpr std::array<std::pair<std::string_view, SelectionOp>, 8> kOperators{{
    {"!=", SelectionOp::NotEqual},
    {"<=", SelectionOp::LessEqual},
    {">=", SelectionOp::GreaterEqual},
    {"^=", SelectionOp::StartsWith},
    {"*=", SelectionOp::Contains},
    {"=", SelectionOp::Equal},
    {"<", SelectionOp::Less},
    {">", SelectionOp::Greater},
}};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

SelectionError Malformed(std::string_view text, const std::string& why) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return SelectionError("condition \"" + std::string(text) + "\": " + why);
}

}  // namespace

SelectionCondition ParseCondition(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    const std::size_t digitsBegin = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        ++at;
    if (at == digitsBegin)
        throw Malformed(text, "no field number (expected N OP VALUE, N from 1 to 14)");
    if (at - digitsBegin > 2)
        throw Malformed(text, "field " + std::string(text.substr(digitsBegin, at - digitsBegin)) +
                                  " is outside 1-14");
    SelectionCondition condition;
    for (std::size_t i = digitsBegin; i < at; ++i)
        condition.Field = condition.Field * 10 + (text[i] - '0');
    if (condition.Field < 1 || condition.Field > 14)
        throw Malformed(text, "field " + std::to_string(condition.Field) + " is outside 1-14");
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    const std::string_view rest = text.substr(at);
    for (const auto& [spelling, op] : kOperators) {
        if (rest.substr(0, spelling.size()) == spelling) {
            condition.Op = op;
            condition.Value = std::string(rest.substr(spelling.size()));
            return condition;
        }
    }
    throw Malformed(text, "no operator (one of = != < <= > >= ^= *=)");
}

std::vector<SelectionCondition> ParseConditions(std::string_view text) {
    std::vector<SelectionCondition> conditions;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find(';', begin);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view part = text.substr(begin, end - begin);
        bool blank = true;
        for (char c : part)
            blank = blank && IsBlank(c);
        if (!blank)
            conditions.push_back(ParseCondition(part));
        begin = end + 1;
    }
    return conditions;
}

const char* OperatorText(SelectionOp op) {
    for (const auto& [spelling, o] : kOperators)
        if (o == op)
            return spelling.data();
    return "=";
}

std::string ConditionText(const SelectionCondition& condition) {
    std::string text = std::to_string(condition.Field) + OperatorText(condition.Op) + condition.Value;
    if (condition.Value.find(';') != std::string::npos)
        throw Malformed(text, "a value cannot hold \";\", which separates conditions");
    if ((condition.Op == SelectionOp::Less || condition.Op == SelectionOp::Greater) &&
        condition.Value.starts_with('='))
        throw Malformed(text, std::string("a value after \"") + OperatorText(condition.Op) +
                                  "\" cannot begin with \"=\", which would make the operator \"" +
                                  OperatorText(condition.Op) + "=\"");
    return text;
}

std::string ConditionValue(int field, std::string_view value) {
    char dropped = 0;
    if (field == 5)
        dropped = '/';
    else if (field == 6 || field == 7)
        dropped = ':';
    else if (field == 13)
        dropped = 'H';
    std::string canonical;
    canonical.reserve(value.size());
    for (char c : value) {
        if (dropped && c == dropped)
            continue;
        canonical += (field == 3 || field == 4) && c == ' ' ? 'F' : c;
    }
    return canonical;
}

std::size_t FieldValueWidth(int n) {
    return n == 13 ? 8 : kCallRecordFields[static_cast<std::size_t>(n - 1)].Width;
}

std::optional<std::string> NeverMatches(const SelectionCondition& condition) {
    const std::string value = ConditionValue(condition.Field, condition.Value);
    const std::size_t width = FieldValueWidth(condition.Field);
    const bool never = condition.Op == SelectionOp::Equal ? value.size() != width
                       : condition.Op == SelectionOp::StartsWith || condition.Op == SelectionOp::Contains
                           ? value.size() > width
                           : false;
    if (!never)
        return std::nullopt;
    std::string shown = "\"" + condition.Value + "\"";
    if (value != condition.Value)
        shown += " (read as \"" + value + "\")";
    return "condition '" + ConditionText(condition) + "' can never match: field " +
           std::to_string(condition.Field) + " holds " + std::to_string(width) + (width == 1 ? " character" : " characters") + ", the value " +
           shown + " has " + std::to_string(value.size());
}
