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

std::string Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::string ProblemText(SelectionProblem problem, const std::string& detail) {
    switch (problem) {
    case SelectionProblem::NoField:
        return "no field number (expected N OP VALUE, N from 1 to 14)";
    case SelectionProblem::FieldOutOfRange:
        return "field " + detail + " is outside 1-14";
    case SelectionProblem::NoOperator:
        return "no operator (one of = != < <= > >= ^= *=)";
    case SelectionProblem::ValueHoldsSeparator:
        return "a value cannot hold \";\", which separates conditions";
    case SelectionProblem::ValueBeginsWithEqual:
        return "a value after \"" + detail + "\" cannot begin with \"=\", which would make the operator \"" +
               detail + "=\"";
    }
    return {};
}

SelectionError Malformed(std::string_view text, SelectionProblem problem, std::string detail = {}) {
    return SelectionError(problem, Trimmed(text), std::move(detail));
}

}  // namespace

SelectionError::SelectionError(SelectionProblem problem, std::string condition, std::string detail)
    : std::invalid_argument("condition \"" + condition + "\": " + ProblemText(problem, detail)),
      problem_(problem), condition_(std::move(condition)), detail_(std::move(detail)) {}

SelectionCondition ParseCondition(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    const std::size_t digitsBegin = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        ++at;
    if (at == digitsBegin)
        throw Malformed(text, SelectionProblem::NoField);
    if (at - digitsBegin > 2)
        throw Malformed(text, SelectionProblem::FieldOutOfRange, std::string(text.substr(digitsBegin, at - digitsBegin)));
    SelectionCondition condition;
    for (std::size_t i = digitsBegin; i < at; ++i)
        condition.Field = condition.Field * 10 + (text[i] - '0');
    if (condition.Field < 1 || condition.Field > 14)
        throw Malformed(text, SelectionProblem::FieldOutOfRange, std::to_string(condition.Field));
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
    throw Malformed(text, SelectionProblem::NoOperator);
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
        throw Malformed(text, SelectionProblem::ValueHoldsSeparator);
    if ((condition.Op == SelectionOp::Less || condition.Op == SelectionOp::Greater) &&
        condition.Value.starts_with('='))
        throw Malformed(text, SelectionProblem::ValueBeginsWithEqual, OperatorText(condition.Op));
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

std::optional<NeverMatch> NeverMatches(const SelectionCondition& condition) {
    std::string value = ConditionValue(condition.Field, condition.Value);
    const std::size_t width = FieldValueWidth(condition.Field);
    const bool never = condition.Op == SelectionOp::Equal ? value.size() != width
                       : condition.Op == SelectionOp::StartsWith || condition.Op == SelectionOp::Contains
                           ? value.size() > width
                           : false;
    if (!never)
        return std::nullopt;
    return NeverMatch{ConditionText(condition), condition.Field, width, condition.Value, std::move(value)};
}

std::string NeverMatchText(const NeverMatch& why) {
    std::string shown = "\"" + why.Value + "\"";
    if (why.ReadAs != why.Value)
        shown += " (read as \"" + why.ReadAs + "\")";
    return "condition '" + why.Condition + "' can never match: field " + std::to_string(why.Field) + " holds " +
           std::to_string(why.Width) + (why.Width == 1 ? " character" : " characters") + ", the value " + shown +
           " has " + std::to_string(why.ReadAs.size());
}
