#include "core/link/StringEval.h"

#include <gtest/gtest.h>

TEST(EvaluateFormula, NoPrecedenceLeftToRight)
{
    EXPECT_DOUBLE_EQ(EvaluateFormula("2+3*4", 0), 20);
    EXPECT_DOUBLE_EQ(EvaluateFormula("2+(3*4)", 0), 14);
    EXPECT_DOUBLE_EQ(EvaluateFormula("X*10/4", 2), 5);
}
