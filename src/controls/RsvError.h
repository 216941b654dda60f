#pragma once
// Failures of the control library's properties and methods. A property call
// that cannot complete throws RsvControlError carrying one of the error
// numbers below; the controls' own input handlers never let one escape.
#include "controls/RsvExport.h"

#include <stdexcept>
#include <string>

class RSV_EXPORT RsvControlError : public std::runtime_error {
public:
    enum Code : int {
        SubscriptOutOfRange = 9,   // e.g. a bit number outside 0..7
        Overflow = 6,              // a value does not fit its 16- or 32-bit field
        TypeMismatch = 13,         // a text that does not read as a number
        ObjectNotSet = 91,         // a record is needed but none is loaded
        ElementDoesNotExist = 340, // no element of a control array with that index
        InvalidPropertyValue = 380 // a value outside the range a constituent accepts
    };

    RsvControlError(Code code, const std::string& what);
    ~RsvControlError() override;

    Code code() const noexcept { return m_code; }

private:
    Code m_code;
};
