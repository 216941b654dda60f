// Conversion formulas from a damaged catalogue or a hostile file: both
// evaluator variants, through the program's wrapper and the control
// library's, with the "|" alternatives of RAM formulas.
// Input: X, Y, Z as three big-endian 32-bit numbers, then the formula text.
#include "FuzzSupport.h"

#include "controls/EvaluateWholeFormula.h"
#include "controls/FormulaEngine.h"
#include "core/link/StringEval.h"

#include <cmath>

namespace {

struct Outcome {
    bool ok = false;
    double value = 0;
};

Outcome Run(const std::string& f, int32_t x, int32_t y, int32_t z, formula::FormulaVariant v)
{
    Outcome o;
    try {
        o.value = formula::Evaluate(f, x, y, z, v);
        o.ok = true;
    } catch (const formula::FormulaError&) {
        // The one failure the callers handle.
    }
    return o;
}

void CheckFormula(const std::string& f, int32_t x, int32_t y, int32_t z)
{
    const Outcome standard = Run(f, x, y, z, formula::FormulaVariant::Standard);
    if (standard.ok)
        FUZZ_CHECK(std::isfinite(standard.value), f);
    Outcome wrapped;
    try {
        wrapped.value = EvaluateFormula(f, x, y, z);
        wrapped.ok = true;
    } catch (const FormulaError&) {
    }
    FUZZ_CHECK(wrapped.ok == standard.ok, f);
    if (standard.ok)
        FUZZ_CHECK(wrapped.value == standard.value, f);

    const Outcome whole = Run(f, x, y, z, formula::FormulaVariant::Whole);
    if (whole.ok) {
        FUZZ_CHECK(whole.value == std::nearbyint(whole.value), f);
        FUZZ_CHECK(whole.value >= -2147483648.0 && whole.value <= 2147483647.0, f);
    }
    Outcome library;
    try {
        library.value = EvaluateWholeFormula(f, x, y, z);
        library.ok = true;
    } catch (const formula::FormulaError&) {
    }
    FUZZ_CHECK(library.ok == whole.ok, f);
    if (whole.ok)
        FUZZ_CHECK(library.value == whole.value, f);

    // The decimal text of a result is fed back into the scanner by the
    // bracket rewriting: it must read back as the same number.
    if (standard.ok) {
        const std::string text = formula::NumberText(standard.value);
        FUZZ_CHECK(text.find_first_not_of("-.0123456789") == std::string::npos, text);
        const double back = std::strtod(text.c_str(), nullptr);
        FUZZ_CHECK(back == standard.value ||
                       std::fabs(back - standard.value) <= 1e-13 * std::fabs(standard.value),
                   f + " -> " + text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Bytes in(data, size);
    const int32_t x = in.I32();
    const int32_t y = in.I32();
    const int32_t z = in.I32();
    const std::string text = in.Rest();

    CheckFormula(text, x, y, z);
    // A RAM formula holds up to three "|" alternatives; the display picks one
    // by the system number, including numbers that name none.
    if (text.find('|') != std::string::npos) {
        for (int16_t index : {int16_t(-1), int16_t(0), int16_t(1), int16_t(2), int16_t(3), int16_t(4)}) {
            const std::string part = SelectFormulaVariant(text, index);
            FUZZ_CHECK(part.size() <= text.size(), text);
            CheckFormula(part, x, y, z);
        }
    }
    return 0;
}
