#include "SelectionCondition.h"

#include <array>
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

// "a date, MMDD or MM/DD, for example 0712 or 07/12" and the like.
std::string KindWords(int n) {
    const std::string example = FieldValueExample(n);
    const std::string formatted = FormattedValue(n, example);
    const std::string width = std::to_string(FieldValueWidth(n));
    switch (FieldValueKind(n)) {
    case ValueKind::Date:
        return "a date, MMDD or MM/DD, for example " + example + " or " + formatted;
    case ValueKind::Time:
        return "a time, hhmmss or hh:mm:ss, for example " + example + " or " + formatted;
    case ValueKind::Hex:
        return "4 binary bytes as 8 hex digits, for example " + example;
    case ValueKind::Digits:
        return width + (width == "1" ? " digit" : " digits") + ", for example " + example;
    case ValueKind::PaddedDigits:
        return width + " digits padded with F, for example " + example;
    case ValueKind::Text:
        break;
    }
    return "text";
}

// The written forms of a whole value: the value's own and the formatted
// line's (FieldForm), a character class a place. The text kind has none:
// it takes anything.
std::vector<std::string> ValueForms(int n) {
    if (FieldValueKind(n) == ValueKind::Text)
        return {};
    std::vector<std::string> forms{ValueForm(n)};
    if (forms[0] != FormOfField(n).Formatted)
        forms.emplace_back(FormOfField(n).Formatted);
    return forms;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether a written character may stand at a place of a form: where a record
// holds a digit, F or hex digit, a condition may write F as a blank and hex
// in either case.
bool Fits(char c, char place) {
    switch (place) {
    case 'T': return true;
    case 'D': return IsDigit(c);
    case 'X': return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    case 'P': return IsDigit(c) || c == 'F' || c == ' ';
    default: return c == place;
    }
}

// Whether value fits form from place at on.
bool FitsAt(std::string_view value, const std::string& form, std::size_t at) {
    if (at + value.size() > form.size())
        return false;
    for (std::size_t i = 0; i < value.size(); ++i)
        if (!Fits(value[i], form[at + i]))
            return false;
    return true;
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
    case SelectionProblem::ValueNotOfKind:
    case SelectionProblem::PartNotOfKind:
        return "field " + detail + " holds " + KindWords(std::stoi(detail)) +
               (problem == SelectionProblem::PartNotOfKind ? ", or with ^= and *= a part of one" : "");
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

void CheckCondition(const SelectionCondition& c) {
    const std::vector<std::string> forms = ValueForms(c.Field);
    if (forms.empty())
        return;
    const std::string_view value = c.Value;
    bool fits = false;
    for (const std::string& form : forms) {
        switch (c.Op) {
        case SelectionOp::StartsWith:
            fits = fits || FitsAt(value, form, 0);
            break;
        case SelectionOp::Contains:
            for (std::size_t at = 0; at <= form.size() && !fits; ++at)
                fits = FitsAt(value, form, at);
            break;
        default:
            fits = fits || (value.size() == form.size() && FitsAt(value, form, 0));
            break;
        }
    }
    if (fits)
        return;
    const bool part = c.Op == SelectionOp::StartsWith || c.Op == SelectionOp::Contains;
    throw SelectionError(part ? SelectionProblem::PartNotOfKind : SelectionProblem::ValueNotOfKind,
                         std::to_string(c.Field) + OperatorText(c.Op) + c.Value, std::to_string(c.Field));
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
