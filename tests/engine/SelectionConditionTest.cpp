#include <gtest/gtest.h>

#include "SelectionCondition.h"

namespace {

struct OperatorCase {
    const char* text;
    int field;
    SelectionOp op;
    const char* value;
};

class ConditionParsing : public ::testing::TestWithParam<OperatorCase> {};

}  // namespace

TEST_P(ConditionParsing, FieldOperatorAndValue) {
    const OperatorCase& c = GetParam();
    const SelectionCondition parsed = ParseCondition(c.text);
    EXPECT_EQ(parsed.Field, c.field);
    EXPECT_EQ(parsed.Op, c.op);
    EXPECT_EQ(parsed.Value, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    EachOperator, ConditionParsing,
    ::testing::Values(OperatorCase{"1=2", 1, SelectionOp::Equal, "2"},
                      OperatorCase{"2!=017", 2, SelectionOp::NotEqual, "017"},
                      OperatorCase{"4<5", 4, SelectionOp::Less, "5"},
                      OperatorCase{"4<=5", 4, SelectionOp::LessEqual, "5"},
                      OperatorCase{"6>12", 6, SelectionOp::Greater, "12"},
                      OperatorCase{"6>=12", 6, SelectionOp::GreaterEqual, "12"},
                      OperatorCase{"3^=4951", 3, SelectionOp::StartsWith, "4951"},
                      OperatorCase{"14*=x", 14, SelectionOp::Contains, "x"},
                      // The longest operator at the place wins; what follows is value.
                      OperatorCase{"4<==5", 4, SelectionOp::LessEqual, "=5"},
                      OperatorCase{"4>=<", 4, SelectionOp::GreaterEqual, "<"},
                      OperatorCase{"4!==", 4, SelectionOp::NotEqual, "="},
                      OperatorCase{"4==", 4, SelectionOp::Equal, "="},
                      // Blanks before the number and the operator are skipped; the value keeps its own.
                      OperatorCase{"  3 = 4951    ", 3, SelectionOp::Equal, " 4951    "},
                      OperatorCase{"4=0123456789     ", 4, SelectionOp::Equal, "0123456789     "},
                      OperatorCase{"09=01", 9, SelectionOp::Equal, "01"},
                      // An empty value is a value.
                      OperatorCase{"12=", 12, SelectionOp::Equal, ""},
                      OperatorCase{"13*=", 13, SelectionOp::Contains, ""}));

TEST(ConditionParsing, MalformedConditionsAreNamedInTheError) {
    const struct {
        const char* text;
        const char* says;
    } cases[] = {
        {"0=1", "outside 1-14"},    {"15=1", "outside 1-14"}, {"123=1", "outside 1-14"},
        {"=5", "no field number"},  {"x=5", "no field number"}, {"", "no field number"},
        {"4", "no operator"},       {"4 5", "no operator"},   {"4~5", "no operator"},
    };
    for (const auto& c : cases) {
        try {
            ParseCondition(c.text);
            ADD_FAILURE() << "accepted \"" << c.text << "\"";
        } catch (const SelectionError& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find(std::string("\"") + c.text + "\""), std::string::npos) << what;
            EXPECT_NE(what.find(c.says), std::string::npos) << what;
        }
    }
}

TEST(ConditionParsing, ListSeparatedBySemicolonsSkipsBlankParts) {
    const auto conditions = ParseConditions(" 1=2; 4^=0 ;; ");
    ASSERT_EQ(conditions.size(), 2u);
    EXPECT_EQ(conditions[0].Field, 1);
    EXPECT_EQ(conditions[0].Value, "2");
    EXPECT_EQ(conditions[1].Op, SelectionOp::StartsWith);
    EXPECT_EQ(conditions[1].Value, "0 ");
    EXPECT_TRUE(ParseConditions("").empty());
    EXPECT_TRUE(ParseConditions("  ;  ").empty());
    EXPECT_THROW(ParseConditions("1=2;99=3"), SelectionError);
}

TEST(ConditionParsing, TextOfAConditionParsesBackToIt) {
    for (const char* text : {"4<=5", "3^= a b ", "12=", "14*=x"}) {
        const SelectionCondition c = ParseCondition(text);
        const SelectionCondition again = ParseCondition(ConditionText(c));
        EXPECT_EQ(again.Field, c.Field);
        EXPECT_EQ(again.Op, c.Op);
        EXPECT_EQ(again.Value, c.Value);
    }
}

// The builder makes conditions from a list and a value edit: each must come
// back from the selection edit, which splits at ";", as itself, or be refused.
TEST(ConditionParsing, ABuiltConditionComesBackFromTheEditOrIsRefused) {
    struct Case {
        SelectionCondition condition;
        bool writable;
    };
    const Case cases[] = {
        {{4, SelectionOp::Less, "=5"}, false},      // would read as <= 5
        {{4, SelectionOp::Greater, "=5"}, false},   // would read as >= 5
        {{14, SelectionOp::Contains, ";x"}, false},  // would end the condition
        {{1, SelectionOp::Equal, "a;"}, false},
        {{4, SelectionOp::LessEqual, "=5"}, true},
        {{4, SelectionOp::Equal, "=5"}, true},
        {{4, SelectionOp::Less, " =5"}, true},
        {{4, SelectionOp::NotEqual, "=5"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(OperatorText(c.condition.Op)) + c.condition.Value);
        if (!c.writable) {
            EXPECT_THROW(ConditionText(c.condition), SelectionError);
            continue;
        }
        const std::vector<SelectionCondition> again = ParseConditions(ConditionText(c.condition));
        ASSERT_EQ(again.size(), 1u);
        EXPECT_EQ(again[0].Field, c.condition.Field);
        EXPECT_EQ(again[0].Op, c.condition.Op);
        EXPECT_EQ(again[0].Value, c.condition.Value);
    }
}
