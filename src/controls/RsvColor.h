#pragma once
// Colours as they cross the control interface: 32-bit values 0x00BBGGRR, or
// 0x800000nn naming a system colour (the low byte is the system colour index),
// carried in 32-bit signed fields like every other value of the interface.
#include "controls/RsvExport.h"

#include <QColor>

#include <cstdint>

// The colour to paint for an interface colour value. System colours are taken
// from the application palette: 0x80000005 window background (Base),
// 0x80000008 window text (Text), 0x8000000F button face (Button), and the
// other common indices to their nearest palette roles.
RSV_EXPORT QColor RsvColorFromOle(int32_t colour);

// The 0x00BBGGRR value of a plain colour (never a system colour).
RSV_EXPORT int32_t RsvOleFromColor(const QColor& colour);

// System colour values used by the controls.
namespace RsvSystemColor {
inline constexpr int32_t WindowBackground = static_cast<int32_t>(0x80000005u);
inline constexpr int32_t WindowText = static_cast<int32_t>(0x80000008u);
inline constexpr int32_t ButtonFace = static_cast<int32_t>(0x8000000Fu);
inline constexpr int32_t ButtonText = static_cast<int32_t>(0x80000012u);
} // namespace RsvSystemColor
