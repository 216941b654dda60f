#include "core/transport/QtCanBusAdapter.h"

#include "core/transport/BitRates.h"
#include "core/transport/EventWait.h"

#include <QCanBus>
#include <QCanBusDevice>
#include <QCanBusFrame>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace {

// Qt's virtual bus has the two channels can0 and can1.
bool IsVirtualChannel(const QString& name)
{
    static const QRegularExpression re(QStringLiteral("^can[01]$"));
    return re.match(name).hasMatch();
}

bool CheckVirtualInterface(const QString& iface, std::string* why)
{
    if (IsVirtualChannel(iface))
        return true;
    if (iface.startsWith(QLatin1String("tcp://"))) {
        const QUrl url(iface, QUrl::StrictMode);
        const QString channel = url.path().mid(1); // after the leading '/'
        if (url.isValid() && url.scheme() == QLatin1String("tcp") && !url.host().isEmpty()
            && url.port() > 0 && url.userInfo().isEmpty() && !url.hasQuery()
            && !url.hasFragment() && IsVirtualChannel(channel))
            return true;
    }
    if (why)
        *why = "virtualcan interface '" + iface.toStdString()
            + "' not understood: use can0, can1 or tcp://HOST:PORT/can0";
    return false;
}

} // namespace

QtCanBusAdapter::QtCanBusAdapter(std::string busName, int connectTimeoutMs)
    : m_busName(std::move(busName)), m_connectTimeoutMs(connectTimeoutMs)
{
}

QtCanBusAdapter::~QtCanBusAdapter()
{
    DestroyDevice();
}

bool QtCanBusAdapter::ParseBusName(const std::string& busName, std::string& plugin,
                                   std::string& interfaceName, std::string* why)
{
    const size_t colon = busName.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == busName.size()) {
        if (why)
            *why = "bus name '" + busName
                + "' not understood: use PLUGIN:INTERFACE, e.g. socketcan:can0";
        return false;
    }
    plugin = busName.substr(0, colon);
    interfaceName = busName.substr(colon + 1);
    if (plugin == "virtualcan")
        return CheckVirtualInterface(QString::fromStdString(interfaceName), why);
    return true;
}

bool QtCanBusAdapter::PluginTakesBitRate(const std::string& plugin)
{
    return plugin != "socketcan" && plugin != "virtualcan";
}

void QtCanBusAdapter::SetFramesReceivedHandler(std::function<void()> handler)
{
    m_framesReceived = std::move(handler);
}

int QtCanBusAdapter::Fail(int code, std::string why)
{
    m_lastError = std::move(why);
    return code;
}

void QtCanBusAdapter::DestroyDevice()
{
    QCanBusDevice* device = m_device;
    if (!device)
        return;
    m_device = nullptr;
    m_writeErrorPending = false;
    QObject::disconnect(m_errorConnection);
    QObject::disconnect(m_framesConnection);
    if (device->state() != QCanBusDevice::UnconnectedState)
        device->disconnectDevice();
    // Deleting the sender from inside its own signal is not safe.
    if (m_signalDepth > 0)
        device->deleteLater();
    else
        delete device;
}

int QtCanBusAdapter::Initialize(int bitTimingCode)
{
    DestroyDevice();
    std::string plugin, iface, why;
    if (!ParseBusName(m_busName, plugin, iface, &why))
        return Fail(CanHardwareError, why);
    const int bitRate = BitsPerSecondFromTimingCode(bitTimingCode);
    if (PluginTakesBitRate(plugin) && bitRate == 0)
        return Fail(CanIllegalParameter, "bit-timing code not supported by " + plugin);

    QString error;
    QCanBusDevice* device = QCanBus::instance()->createDevice(
        QString::fromStdString(plugin), QString::fromStdString(iface), &error);
    if (!device)
        return Fail(CanHardwareError, "cannot open " + m_busName + ": "
                        + (error.isEmpty() ? std::string("unknown plugin") : error.toStdString()));
    if (PluginTakesBitRate(plugin))
        device->setConfigurationParameter(QCanBusDevice::BitRateKey, bitRate);

    m_errorConnection = QObject::connect(device, &QCanBusDevice::errorOccurred, device,
                     [this](QCanBusDevice::CanBusError e) {
                         if (e == QCanBusDevice::WriteError)
                             m_writeErrorPending = true;
                     });
    m_framesConnection = QObject::connect(device, &QCanBusDevice::framesReceived, device, [this] {
        if (!m_framesReceived)
            return;
        ++m_signalDepth;
        m_framesReceived();
        --m_signalDepth;
    });
    m_device = device;

    if (!device->connectDevice()) {
        const std::string reason = device->errorString().toStdString();
        DestroyDevice();
        return Fail(CanHardwareError, "cannot open " + m_busName + ": " + reason);
    }
    // Some back-ends finish connecting later (the virtual bus over TCP).
    QElapsedTimer clock;
    clock.start();
    while (m_device == device && device->state() == QCanBusDevice::ConnectingState
           && clock.elapsed() < m_connectTimeoutMs)
        WaitForEvents(m_connectTimeoutMs - clock.elapsed());
    if (m_device != device)
        return Fail(CanNotInitialized, "closed while opening " + m_busName);
    if (device->state() != QCanBusDevice::ConnectedState) {
        DestroyDevice();
        return Fail(CanHardwareError, m_busName + " did not connect within "
                        + std::to_string(m_connectTimeoutMs) + " ms");
    }
    m_lastError.clear();
    return CanOk;
}

int QtCanBusAdapter::Uninitialize()
{
    if (!m_device)
        return Fail(CanNotInitialized, m_busName + " is not open");
    DestroyDevice();
    return CanOk;
}

int QtCanBusAdapter::Reset()
{
    if (!m_device)
        return Fail(CanNotInitialized, m_busName + " is not open");
    if (m_device->state() != QCanBusDevice::ConnectedState)
        return Fail(CanHardwareError, m_busName + " is no longer connected");
    m_device->clear(QCanBusDevice::AllDirections);
    m_writeErrorPending = false;
    return CanOk;
}

int QtCanBusAdapter::Read(CanMsg& msg)
{
    if (!m_device)
        return CanNotInitialized;
    if (m_device->state() != QCanBusDevice::ConnectedState)
        return CanHardwareError;
    // The device fills its queue from the event loop; take what is there.
    while (m_device->framesAvailable() > 0) {
        const QCanBusFrame frame = m_device->readFrame();
        const auto type = frame.frameType();
        if (!frame.isValid() || frame.hasLocalEcho()
            || (type != QCanBusFrame::DataFrame && type != QCanBusFrame::RemoteRequestFrame))
            continue; // error frames and our own echoes are not bus traffic
        msg = CanMsg{};
        msg.ID = frame.frameId();
        msg.MSGTYPE = static_cast<uint8_t>((frame.hasExtendedFrameFormat() ? 2 : 0)
                                           | (type == QCanBusFrame::RemoteRequestFrame ? 1 : 0));
        const QByteArray payload = frame.payload();
        const int len = std::min<int>(static_cast<int>(payload.size()), 8);
        msg.LEN = static_cast<uint8_t>(len);
        for (int i = 0; i < len; ++i)
            msg.DATA[static_cast<size_t>(i)] = static_cast<uint8_t>(payload[i]);
        return CanOk;
    }
    return CanQueueEmpty;
}

int QtCanBusAdapter::Write(const CanMsg& msg)
{
    if (!m_device)
        return Fail(CanNotInitialized, m_busName + " is not open");
    if (m_device->state() != QCanBusDevice::ConnectedState)
        return Fail(CanHardwareError, m_busName + " is no longer connected");
    if (m_writeErrorPending) {
        // An earlier frame failed after it had been accepted (back-ends that
        // send from a queue report it only through a signal).
        m_writeErrorPending = false;
        return Fail(CanTransmitFailed, m_busName + ": " + m_device->errorString().toStdString());
    }
    const bool extended = (msg.MSGTYPE & 2) != 0;
    if (msg.ID > (extended ? 0x1FFFFFFFu : 0x7FFu))
        return Fail(CanIllegalParameter, "identifier too large for its frame format");
    const int len = std::min<int>(msg.LEN, 8);
    QCanBusFrame frame(msg.ID, QByteArray(reinterpret_cast<const char*>(msg.DATA.data()), len));
    frame.setExtendedFrameFormat(extended);
    if (msg.MSGTYPE & 1)
        frame.setFrameType(QCanBusFrame::RemoteRequestFrame);
    if (!m_device->writeFrame(frame)) {
        // socketcan reports an unplugged adapter only here.
        m_writeErrorPending = false;
        return Fail(CanTransmitFailed, m_busName + ": " + m_device->errorString().toStdString());
    }
    return CanOk;
}

int QtCanBusAdapter::GetStatus()
{
    if (!m_device)
        return CanNotInitialized;
    if (m_device->state() != QCanBusDevice::ConnectedState)
        return CanHardwareError;
    if (m_writeErrorPending)
        return CanTransmitFailed;
    if (m_device->hasBusStatus()) {
        switch (m_device->busStatus()) {
        case QCanBusDevice::CanBusStatus::BusOff:
            return CanBusOff;
        case QCanBusDevice::CanBusStatus::Error:
            return CanBusPassive;
        case QCanBusDevice::CanBusStatus::Warning:
            return CanBusWarning;
        default:
            break;
        }
    }
    return CanOk;
}
