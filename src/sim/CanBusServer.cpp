#include "sim/CanBusServer.h"

#include "core/transport/QtCanBusAdapter.h"
#include "sim/DrcController.h"

#include <QCanBus>
#include <QCanBusDevice>
#include <QCanBusFrame>
#include <QTimer>
#include <QVariant>

#include <algorithm>
#include <thread>

CanBusServer::CanBusServer(DrcController& controller, QObject* parent) : QObject(parent), m_controller(controller) {}

CanBusServer::~CanBusServer() { Close(); }

bool CanBusServer::SplitBusName(const QString& bus, QString& plugin, QString& interfaceName, QString* why)
{
    // The programs' own parser, so the simulator refuses the names they
    // refuse (a virtualcan channel other than can0 or can1, say).
    std::string p, i, reason;
    if (!QtCanBusAdapter::ParseBusName(bus.toStdString(), p, i, &reason)) {
        if (why)
            *why = QString::fromStdString(reason);
        return false;
    }
    plugin = QString::fromStdString(p);
    interfaceName = QString::fromStdString(i);
    return true;
}

bool CanBusServer::Open(const QString& bus, int bitRate, QString* error)
{
    Close();
    QString plugin, interfaceName;
    if (!SplitBusName(bus, plugin, interfaceName, error))
        return false;
    if (!QCanBus::instance()->plugins().contains(plugin)) {
        if (error)
            *error = QStringLiteral("no CAN plugin '%1' (available: %2)")
                         .arg(plugin, QCanBus::instance()->plugins().join(QStringLiteral(", ")));
        return false;
    }
    QString createError;
    m_device = QCanBus::instance()->createDevice(plugin, interfaceName, &createError);
    if (!m_device) {
        if (error)
            *error = QStringLiteral("cannot create %1: %2").arg(bus, createError);
        return false;
    }
    m_device->setParent(this);
    m_bus = bus;
    if (plugin != QLatin1String("virtualcan") && bitRate > 0)
        m_device->setConfigurationParameter(QCanBusDevice::BitRateKey, QVariant(bitRate));

    connect(m_device, &QCanBusDevice::framesReceived, this, &CanBusServer::OnFramesReceived);
    connect(m_device, &QCanBusDevice::errorOccurred, this, [this](QCanBusDevice::CanBusError e) {
        if (e != QCanBusDevice::NoError)
            emit busError(m_device->errorString());
    });
    connect(m_device, &QCanBusDevice::stateChanged, this, [this](QCanBusDevice::CanBusDeviceState s) {
        if (s == QCanBusDevice::ConnectedState && !m_wasConnected) {
            m_wasConnected = true;
            emit ready();
        } else if (s == QCanBusDevice::UnconnectedState && m_wasConnected) {
            m_wasConnected = false;
            emit disconnected();
        }
    });
    if (!m_device->connectDevice()) {
        if (error)
            *error = QStringLiteral("cannot connect %1: %2").arg(bus, m_device->errorString());
        delete m_device;
        m_device = nullptr;
        return false;
    }
    // Some plugins are connected at once and never report the transition.
    if (m_device->state() == QCanBusDevice::ConnectedState && !m_wasConnected) {
        m_wasConnected = true;
        QTimer::singleShot(0, this, &CanBusServer::ready);
    }
    return true;
}

void CanBusServer::Close()
{
    if (!m_device)
        return;
    m_device->disconnect(this);
    if (m_device->state() != QCanBusDevice::UnconnectedState)
        m_device->disconnectDevice();
    delete m_device;
    m_device = nullptr;
    m_wasConnected = false;
}

bool CanBusServer::IsConnected() const { return m_device && m_device->state() == QCanBusDevice::ConnectedState; }

void CanBusServer::OnFramesReceived()
{
    if (!m_device)
        return;
    for (const QCanBusFrame& f : m_device->readAllFrames()) {
        if (!f.isValid() || f.frameType() != QCanBusFrame::DataFrame || f.hasLocalEcho())
            continue; // error frames and our own echoes are not requests
        CanMsg msg;
        msg.ID = f.frameId();
        msg.MSGTYPE = f.hasExtendedFrameFormat() ? 2 : 0;
        const QByteArray payload = f.payload();
        msg.LEN = static_cast<uint8_t>(std::min<qsizetype>(payload.size(), 8));
        std::copy_n(payload.constData(), msg.LEN, msg.DATA.begin());
        m_controller.OnFrame(msg, *this);
    }
}

void CanBusServer::Write(const CanMsg& frame)
{
    if (!IsConnected())
        return;
    QCanBusFrame f(frame.ID, QByteArray(reinterpret_cast<const char*>(frame.DATA.data()), std::min<int>(frame.LEN, 8)));
    f.setExtendedFrameFormat(frame.MSGTYPE == 2);
    if (!m_device->writeFrame(f))
        emit busError(m_device->errorString());
}

void CanBusServer::Deliver(const CanMsg& frame, int delayMs)
{
    if (delayMs <= 0) {
        Write(frame);
        return;
    }
    // The context object drops the write when the server is gone first.
    QTimer::singleShot(delayMs, this, [this, frame] { Write(frame); });
}

void CanBusServer::DeliverAfter(const CanMsg& frame, std::chrono::nanoseconds delay)
{
    using Clock = std::chrono::steady_clock;
    if (delay <= std::chrono::nanoseconds::zero()) {
        Write(frame);
        return;
    }
    const Clock::time_point due = Clock::now() + std::chrono::duration_cast<Clock::duration>(delay);
    // Timers count whole milliseconds: wake at the millisecond before and
    // wait out the fraction (under a millisecond) before writing.
    QTimer::singleShot(std::chrono::floor<std::chrono::milliseconds>(delay), Qt::PreciseTimer, this,
                       [this, frame, due] {
                           const auto left = due - Clock::now();
                           if (left > Clock::duration::zero() && left < std::chrono::milliseconds(2))
                               std::this_thread::sleep_until(due);
                           Write(frame);
                       });
}
