#pragma once
// Formula evaluation and the small text routines of the list readers.
#include "controls/FormulaEngine.h"

#include <cstdint>
#include <string>

using FormulaError = formula::FormulaError;

// The value of a conversion formula with X (and Y, Z) substituted; double
// precision, no rounding. Raises FormulaError when it cannot be evaluated.
double EvaluateFormula(const std::string& formula, int32_t x, int32_t y = 0, int32_t z = 0);

// One "|" alternative of a formula: without "|" the whole formula; with "|"
// part 1, 2 or 3 for index 1..3 (empty when missing); any other index: "".
std::string SelectFormulaVariant(const std::string& formula, int16_t index);

std::string RemoveSpaces(const std::string& text);

// The text up to the first "|"; text becomes the rest after it.
std::string NextBarField(std::string& text);

// The text up to the first TAB; line becomes the rest after it. Without a TAB
// the whole line is the field and line becomes empty. Spaces stay.
std::string NextField(std::string& line);
