#pragma once
#include "controls/FormulaEngine.h"
#include "controls/RsvExport.h"

#include <cstdint>
#include <string>

// Whole-number evaluation of a conversion formula: the result is rounded to a
// 32-bit integer (ties to even), parenthesised groups are rounded before they
// are written back, "&" joins the decimal texts of its operands (12&34 is 1234)
// and Y, Z are substituted with their sign. Raises formula::FormulaError.
RSV_EXPORT int32_t EvaluateWholeFormula(const std::string& formula, int32_t x, int32_t y = 0,
                                        int32_t z = 0);
