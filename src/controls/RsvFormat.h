#pragma once
// The number formats of the input monitor control ("####0", "###0",
// "##,##0.0", "####0.0", ...), in the usual digit-placeholder language:
//   0   a digit, shown even when it is a leading or trailing zero
//   #   a digit, left out when it is a leading or trailing zero
//   .   the decimal point (the first one; later ones are literal)
//   ,   thousands grouping between digit placeholders; commas straight after
//       the last integer placeholder divide the value by 1000 each
//   %   multiplies the value by 100 and shows "%"
//   \c  "text"   literal characters; every other character is literal too
//   ;   separates the sections for positive;negative;zero values
// The value is rounded half away from zero to the number of decimal
// placeholders, working on its 15-significant-digit decimal form (so 2.675
// with "0.00" is "2.68"). A value that rounds to zero is shown without "-".
// An empty format gives the general decimal text of the value.
#include "controls/RsvExport.h"

#include <QString>

RSV_EXPORT QString FormatNumber(double value, const QString& pattern);
