#include "core/link/StringEval.h"

double EvaluateFormula(const std::string& formula, int32_t x, int32_t y, int32_t z)
{
    return formula::Evaluate(formula, x, y, z, formula::FormulaVariant::Standard);
}

std::string SelectFormulaVariant(const std::string& formula, int16_t index)
{
    if (formula.empty())
        return {};
    if (formula.find('|') == std::string::npos)
        return formula;
    std::string rest = formula;
    const std::string first = NextBarField(rest);
    const std::string second = NextBarField(rest);
    const std::string third = NextBarField(rest);
    switch (index) {
    case 1: return first;
    case 2: return second;
    case 3: return third;
    default: return {};
    }
}

std::string RemoveSpaces(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            out += c;
    return out;
}

namespace {
std::string SplitAt(std::string& text, char separator)
{
    const size_t p = text.find(separator);
    if (p == std::string::npos) {
        std::string field = std::move(text);
        text.clear();
        return field;
    }
    std::string field = text.substr(0, p);
    text.erase(0, p + 1);
    return field;
}
} // namespace

std::string NextBarField(std::string& text) { return SplitAt(text, '|'); }

std::string NextField(std::string& line) { return SplitAt(line, '\t'); }
