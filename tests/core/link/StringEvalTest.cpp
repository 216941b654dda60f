#include "controls/EvaluateWholeFormula.h"
#include "core/link/StringEval.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

double Eval(const std::string& f, int32_t x = 0, int32_t y = 0, int32_t z = 0)
{
    return EvaluateFormula(f, x, y, z);
}

} // namespace

TEST(EvaluateFormula, StrictlyLeftToRightWithoutPrecedence)
{
    EXPECT_DOUBLE_EQ(Eval("2+3*4"), 20);
    EXPECT_DOUBLE_EQ(Eval("2+(3*4)"), 14);
    EXPECT_DOUBLE_EQ(Eval("X*10/4", 0), 0);
    EXPECT_DOUBLE_EQ(Eval("X*10/4", 2), 5);
    EXPECT_DOUBLE_EQ(Eval("X/10", 1234), 123.4);
    EXPECT_DOUBLE_EQ(Eval("2^3"), 8);
    EXPECT_DOUBLE_EQ(Eval("10-2-3"), 5);
    EXPECT_DOUBLE_EQ(Eval("x*2", 4), 8) << "lower case letters are upper-cased";
    EXPECT_DOUBLE_EQ(Eval(" X * 2 + 1 ", 4), 9) << "spaces are ignored";
}

TEST(EvaluateFormula, BitwiseAndRoundsBothOperands)
{
    EXPECT_DOUBLE_EQ(Eval("6&3"), 2);
    EXPECT_DOUBLE_EQ(Eval("2.5&1"), 0) << "2.5 rounds to 2 (ties to even)";
    EXPECT_DOUBLE_EQ(Eval("3.5&4"), 4) << "3.5 rounds to 4";
    EXPECT_DOUBLE_EQ(Eval("X&255", 0x1234), 0x34);
}

TEST(EvaluateFormula, NestedAndInnermostGroups)
{
    EXPECT_DOUBLE_EQ(Eval("((1+2)*(3+4))"), 21);
    EXPECT_DOUBLE_EQ(Eval("(2+3)*(1+1)"), 10);
    EXPECT_DOUBLE_EQ(Eval("(X)", 7), 7);
    EXPECT_DOUBLE_EQ(Eval("(1-4)"), -3) << "a group that leaves a signed number is that number";
    EXPECT_DOUBLE_EQ(Eval("((0-2))"), -2);
    EXPECT_NEAR(Eval("(1/3)*3"), 1, 1e-12);
    EXPECT_DOUBLE_EQ(Eval("()+5"), 5) << "an empty group is 0";
}

TEST(EvaluateFormula, LeadingOperatorLoadsTheFirstNumber)
{
    EXPECT_DOUBLE_EQ(Eval("-5"), -5);
    EXPECT_DOUBLE_EQ(Eval("-5*2"), 10);
    EXPECT_DOUBLE_EQ(Eval("-X+100", 5), 105);
    EXPECT_DOUBLE_EQ(Eval("(1-4)*5"), 15);
    EXPECT_DOUBLE_EQ(Eval("*7"), 0) << "the pending operator meets the running value 0";
    EXPECT_DOUBLE_EQ(Eval("5+"), 5) << "a trailing operator has nothing to apply";
}

TEST(EvaluateFormula, PlusMinusFoldsIntoMinus)
{
    EXPECT_DOUBLE_EQ(Eval("100+X", -5), 95);
    EXPECT_DOUBLE_EQ(Eval("5+(1-4)"), 2) << "a negative group after + folds too";
    EXPECT_DOUBLE_EQ(Eval("X+Y", 10, -3), 13) << "Y enters as |Y|";
    EXPECT_DOUBLE_EQ(Eval("Z", 0, 0, -8), 8);
}

TEST(EvaluateFormula, UnknownCharactersAndEmptyFormulaGiveZero)
{
    EXPECT_DOUBLE_EQ(Eval(""), 0);
    EXPECT_DOUBLE_EQ(Eval("A"), 0);
    EXPECT_DOUBLE_EQ(Eval("#"), 0);
    EXPECT_DOUBLE_EQ(Eval("5#3"), 0) << "an unknown operator's result is 0";
    EXPECT_DOUBLE_EQ(Eval("5#3+2"), 2);
}

TEST(EvaluateFormula, PlainNumberStandsForItself)
{
    EXPECT_DOUBLE_EQ(Eval("X", 1234), 1234);
    EXPECT_DOUBLE_EQ(Eval("X", -9), -9);
    EXPECT_DOUBLE_EQ(Eval("42"), 42);
    EXPECT_DOUBLE_EQ(Eval("1.5"), 1.5);
}

TEST(EvaluateFormula, MalformedFormulasRaise)
{
    EXPECT_THROW(Eval("5*-1"), FormulaError) << "two operators in a row";
    EXPECT_THROW(Eval("100*X", -5), FormulaError) << "a negative X after an operator";
    EXPECT_THROW(Eval("5*(1-4)"), FormulaError) << "a negative group after an operator";
    EXPECT_THROW(Eval("1.2.3+1"), FormulaError) << "two decimal points";
    EXPECT_THROW(Eval("1+1.2.3"), FormulaError);
    EXPECT_THROW(Eval("5+.+1"), FormulaError) << "a lone point is not a number";
    EXPECT_THROW(Eval("X/0", 3), FormulaError);
    EXPECT_THROW(Eval("X/(1-1)", 3), FormulaError);
    EXPECT_THROW(Eval("0-8^0.5"), FormulaError) << "no real root";
    EXPECT_THROW(Eval("2^(0-1)"), FormulaError) << "a negative exponent is two operators";
    EXPECT_THROW(Eval("10^400"), FormulaError) << "overflow";
    std::string power = "X";
    for (int i = 0; i < 60; ++i)
        power += "*X";
    EXPECT_THROW(Eval(power, 1000000), FormulaError) << "a product beyond a double";
    EXPECT_THROW(Eval(std::string(400, '9') + "+1"), FormulaError) << "a number beyond a double";
    EXPECT_THROW(Eval("4294967296&1"), FormulaError) << "& operand outside 32 bits";
}

TEST(EvaluateFormula, UnbalancedBracketsRaise)
{
    EXPECT_THROW(Eval(")"), FormulaError);
    EXPECT_THROW(Eval("1+2)"), FormulaError);
    EXPECT_THROW(Eval("(1+2))"), FormulaError);
    EXPECT_THROW(Eval(")1+2("), FormulaError);
    EXPECT_THROW(Eval("(1+2"), FormulaError);
    EXPECT_THROW(Eval("((1+2)"), FormulaError);
}

TEST(EvaluateFormula, OverlongFormulaIsRefused)
{
    const size_t depth = formula::MaxFormulaLength / 2 - 1;
    const std::string deep = std::string(depth, '(') + "X" + std::string(depth, ')');
    EXPECT_DOUBLE_EQ(Eval(deep, 3), 3) << "deep nesting within the limit";
    const std::string tooDeep = "(" + deep + ")";
    EXPECT_THROW(Eval(tooDeep, 3), FormulaError);
    EXPECT_THROW(EvaluateWholeFormula(std::string(200000, '('), 1), formula::FormulaError);
}

TEST(EvaluateFormula, GroupResultsAreWrittenBackAsPlainDecimals)
{
    // A tiny or huge group value must not come back as "1E-05", whose "E"
    // would act as an operator.
    EXPECT_NEAR(Eval("(1/100000)*100000"), 1, 1e-9);
    EXPECT_NEAR(Eval("(10^20)/10000000000000000000"), 10, 1e-9);
    EXPECT_NEAR(Eval("(2/3)*3"), 2, 1e-12);
}

TEST(NumberText, FifteenSignificantDigitsWithoutExponent)
{
    EXPECT_EQ(formula::NumberText(0), "0");
    EXPECT_EQ(formula::NumberText(-0.0), "0");
    EXPECT_EQ(formula::NumberText(123.4), "123.4");
    EXPECT_EQ(formula::NumberText(-3), "-3");
    EXPECT_EQ(formula::NumberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(formula::NumberText(1e-5), "0.00001");
    EXPECT_EQ(formula::NumberText(1e20), "100000000000000000000");
    EXPECT_EQ(formula::NumberText(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(formula::NumberText(123456789012345678.0), "123456789012346000");
}

TEST(EvaluateWholeFormula, ResultRoundsTiesToEven)
{
    EXPECT_EQ(EvaluateWholeFormula("X/4", 1002), 250) << "250.5";
    EXPECT_EQ(EvaluateWholeFormula("X/4", 1006), 252) << "251.5";
    EXPECT_EQ(EvaluateWholeFormula("X/3", 1000), 333);
    EXPECT_EQ(EvaluateWholeFormula("2+3*4", 0), 20);
    EXPECT_THROW(EvaluateWholeFormula("X*X", 100000), formula::FormulaError) << "outside 32 bits";
}

TEST(EvaluateWholeFormula, DiffersFromTheStandardVariantInFourPlaces)
{
    // 1. the result is whole
    EXPECT_DOUBLE_EQ(EvaluateFormula("X/4", 10), 2.5);
    EXPECT_EQ(EvaluateWholeFormula("X/4", 10), 2);
    // 2. a group is rounded before it takes part: (5/2) = 2.5 -> 2
    EXPECT_DOUBLE_EQ(EvaluateFormula("(5/2)*2", 0), 5);
    EXPECT_EQ(EvaluateWholeFormula("(5/2)*2", 0), 4);
    EXPECT_EQ(EvaluateWholeFormula("(7/2)*2", 0), 8) << "3.5 rounds to 4";
    // 3. "&" joins the digits
    EXPECT_DOUBLE_EQ(EvaluateFormula("12&36", 0), 4);
    EXPECT_EQ(EvaluateWholeFormula("12&36", 0), 1236);
    EXPECT_EQ(EvaluateWholeFormula("12&34", 0), 1234);
    EXPECT_EQ(EvaluateWholeFormula("12&5", 0), 125);
    EXPECT_EQ(EvaluateWholeFormula("X&05", 12), 125) << "the number's decimal text";
    EXPECT_EQ(EvaluateWholeFormula("0-12&34", 0), -1234);
    // 4. Y and Z keep their sign
    EXPECT_DOUBLE_EQ(EvaluateFormula("X+Y", 10, -3), 13);
    EXPECT_EQ(EvaluateWholeFormula("X+Y", 10, -3), 7);
    EXPECT_EQ(EvaluateWholeFormula("X+Z", 10, 0, -4), 6);
}

TEST(EvaluateWholeFormula, SharesTheErrorsOfTheLanguage)
{
    EXPECT_THROW(EvaluateWholeFormula("5*-1", 0), formula::FormulaError);
    EXPECT_THROW(EvaluateWholeFormula("X/0", 1), formula::FormulaError);
    EXPECT_THROW(EvaluateWholeFormula("(1", 1), formula::FormulaError);
    EXPECT_THROW(EvaluateWholeFormula("1.5&2.5", 0), formula::FormulaError) << "joined text 1.52.5";
    EXPECT_EQ(EvaluateWholeFormula("", 77), 0);
    EXPECT_EQ(EvaluateWholeFormula("X", 77), 77);
}

TEST(SelectFormulaVariant, PicksOneOfThreeParts)
{
    EXPECT_EQ(SelectFormulaVariant("A|B", 2), "B");
    EXPECT_EQ(SelectFormulaVariant("A|B", 3), "");
    EXPECT_EQ(SelectFormulaVariant("A|B", 1), "A");
    EXPECT_EQ(SelectFormulaVariant("X*2|X*3|X*4", 3), "X*4");
    EXPECT_EQ(SelectFormulaVariant("X*2|X*3|X*4|X*5", 3), "X*4") << "a fourth part is never used";
    EXPECT_EQ(SelectFormulaVariant("X*2|X*3|X*4", 0), "");
    EXPECT_EQ(SelectFormulaVariant("X*2|X*3|X*4", 4), "");
    EXPECT_EQ(SelectFormulaVariant("X*2|X*3|X*4", -1), "");
    EXPECT_EQ(SelectFormulaVariant("X*2", 0), "X*2") << "without | the whole formula";
    EXPECT_EQ(SelectFormulaVariant("X*2", 7), "X*2");
    EXPECT_EQ(SelectFormulaVariant("", 1), "");
    EXPECT_EQ(SelectFormulaVariant("|B", 1), "");
}

TEST(TextRoutines, NextBarFieldNextFieldRemoveSpaces)
{
    std::string t = "a|b|c";
    EXPECT_EQ(NextBarField(t), "a");
    EXPECT_EQ(t, "b|c");
    EXPECT_EQ(NextBarField(t), "b");
    EXPECT_EQ(NextBarField(t), "c");
    EXPECT_EQ(t, "");
    EXPECT_EQ(NextBarField(t), "");

    std::string line = " a b \t\tc";
    EXPECT_EQ(NextField(line), " a b ") << "spaces stay part of the field";
    EXPECT_EQ(NextField(line), "");
    EXPECT_EQ(line, "c");
    EXPECT_EQ(NextField(line), "c");
    EXPECT_EQ(line, "");
    line = "x\t";
    EXPECT_EQ(NextField(line), "x");
    EXPECT_EQ(line, "") << "the rest after a final TAB is empty";

    EXPECT_EQ(RemoveSpaces(" X * 2 "), "X*2");
    EXPECT_EQ(RemoveSpaces("\tX"), "\tX") << "only blanks are removed";
}

TEST(EvaluateFormula, NeverCrashesOnArbitraryText)
{
    // Every byte value, in short combinations: the evaluator either returns a
    // value or raises FormulaError.
    for (int a = 0; a < 256; ++a) {
        for (const char* tail : {"", "1", "(", ")", "X", "+2", "&3", "^"}) {
            std::string f = std::string(1, char(a)) + tail;
            try {
                (void)Eval(f, 5);
                (void)EvaluateWholeFormula(f, 5);
            } catch (const FormulaError&) {
            }
        }
    }
    SUCCEED();
}
