#pragma once

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "FieldForm.h"

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

// What is wrong with a malformed condition, so that a reader can say it in
// its own words.
enum class SelectionProblem {
    NoField,               // no field number before the operator
    FieldOutOfRange,       // Detail: the number as written
    NoOperator,            // none of = != < <= > >= ^= *=
    ValueHoldsSeparator,   // ";" in a builder's value
    ValueBeginsWithEqual,  // Detail: the operator, "<" or ">"
    ValueNotOfKind,        // Detail: the field number; = != < <= > >= take a whole value
    PartNotOfKind,         // Detail: the field number; ^= and *= take a part of one
};

// A malformed condition; what() says it in English and names it.
class SelectionError : public std::invalid_argument {
public:
    SelectionError(SelectionProblem problem, std::string condition, std::string detail = {});

    SelectionProblem Problem() const { return problem_; }
    // The condition as written, blanks around it trimmed.
    const std::string& Condition() const { return condition_; }
    const std::string& Detail() const { return detail_; }

private:
    SelectionProblem problem_;
    std::string condition_;
    std::string detail_;
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

// Refuses a value that cannot mean anything on its field, before anything
// runs: = != < <= > >= need a whole value of the field's kind, ^= the
// beginning of one, *= a part of one. Throws SelectionError (ValueNotOfKind
// or PartNotOfKind, naming the field). The text kind takes any value.
// A value is compared in its value form (ConditionValue, FieldForm.h).
void CheckCondition(const SelectionCondition& condition);

// Why a condition can never hold: "=" with a value whose length differs
// from the field's, "^=" or "*=" with one longer.
struct NeverMatch {
    std::string Condition;  // as ConditionText writes it
    int Field = 0;
    std::size_t Width = 0;  // FieldValueWidth
    std::string Value;      // as written
    std::string ReadAs;     // ConditionValue's, the one compared
};

// Nothing when the condition can match.
std::optional<NeverMatch> NeverMatches(const SelectionCondition& condition);

// "condition '5==0712' can never match: field 5 holds 4 characters, the
// value \"=0712\" has 5", with "(read as ...)" when the two differ.
std::string NeverMatchText(const NeverMatch& why);
