#include "gui/shell/DeviceSettings.h"

#include "core/state/CoreContext.h"
#include "core/transport/modCANDevice.h"

#include <QTimer>

namespace DeviceSettings {

void SetUsbPortIndex(CoreContext& ctx, int16_t index) { ctx.Device().UsbPortIndex = index; }
int16_t UsbPortIndex(CoreContext& ctx) { return ctx.Device().UsbPortIndex; }
void SetBitRateIndex(CoreContext& ctx, int16_t index) { ctx.Device().BitRateIndex = index; }
int16_t BitRateIndex(CoreContext& ctx) { return ctx.Device().BitRateIndex; }
bool CanConnected(CoreContext& ctx) { return ctx.Device().CanConnected; }

int16_t BitRateIndexFromText(const QString& text)
{
    return modCANDevice::BitRateIndexFromText(text.toStdString());
}

void AttachReceivePoll(CoreContext&, QTimer&)
{
    // The device layer runs the receive poll on a timer of its own (the
    // context creates it without the window's); the window's tmrRxCAN stays
    // idle.
}

} // namespace DeviceSettings
