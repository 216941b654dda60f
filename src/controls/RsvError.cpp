#include "controls/RsvError.h"

RsvControlError::RsvControlError(Code code, const std::string& what)
    : std::runtime_error(what), m_code(code)
{
}

RsvControlError::~RsvControlError() = default;
