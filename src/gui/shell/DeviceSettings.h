#pragma once
// The device-layer settings the main window sets: the adapter port chosen in
// the Set menu, the bit rate, the result of the last open, and the receive
// poll timer the channel runs while a request waits.
#include <QString>

#include <cstdint>

class CoreContext;
class QTimer;

namespace DeviceSettings {

void SetUsbPortIndex(CoreContext& ctx, int16_t index);
int16_t UsbPortIndex(CoreContext& ctx);
void SetBitRateIndex(CoreContext& ctx, int16_t index);
int16_t BitRateIndex(CoreContext& ctx);
// The result of the last open of the CAN channel.
bool CanConnected(CoreContext& ctx);
// "1000" -> 0 .. "10" -> 7, anything else 3 (250 kbit/s).
int16_t BitRateIndexFromText(const QString& text);
// Hands the main window's receive poll timer to the device layer.
void AttachReceivePoll(CoreContext& ctx, QTimer& timer);

} // namespace DeviceSettings
