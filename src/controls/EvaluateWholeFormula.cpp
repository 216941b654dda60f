#include "controls/EvaluateWholeFormula.h"

int32_t EvaluateWholeFormula(const std::string& formula, int32_t x, int32_t y, int32_t z)
{
    return static_cast<int32_t>(
        formula::Evaluate(formula, x, y, z, formula::FormulaVariant::Whole));
}
