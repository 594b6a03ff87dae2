#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// One condition of a selection: field N compared with a value, as bytes.
enum class SelectionOp { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual, StartsWith, Contains };

// Every operator, in the order a list offers them.
inline constexpr std::array<SelectionOp, 8> kSelectionOps{
    SelectionOp::Equal,   SelectionOp::NotEqual,     SelectionOp::Less,       SelectionOp::LessEqual,
    SelectionOp::Greater, SelectionOp::GreaterEqual, SelectionOp::StartsWith, SelectionOp::Contains};

struct SelectionCondition {
    int Field = 0;       // 1 to 14
    SelectionOp Op = SelectionOp::Equal;
    std::string Value;   // the rest of the condition after the operator, blanks included
};

// A malformed condition; the text names it.
class SelectionError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// "N OP VALUE": blanks before N and between N and OP are skipped; the
// longest operator at that place wins ("4<=5" is <=); VALUE is everything
// after the operator and may be empty. Throws SelectionError.
SelectionCondition ParseCondition(std::string_view text);

// Conditions separated by ";", all of which must hold. Parts that hold only
// blanks are skipped, so an empty text selects everything.
std::vector<SelectionCondition> ParseConditions(std::string_view text);

// The operator as written: "=", "!=", "<", "<=", ">", ">=", "^=", "*=".
const char* OperatorText(SelectionOp op);

// "N OP VALUE" again, for the builder that writes conditions into the edit,
// so that ParseConditions gives the condition back. Throws SelectionError
// for one that no text there stands for: a value holding ";", which would
// end the condition, or "<" or ">" before a value beginning with "=", which
// would read as "<=" or ">=".
std::string ConditionText(const SelectionCondition& condition);
