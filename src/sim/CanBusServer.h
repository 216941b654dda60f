#pragma once
// Puts the simulated controller on a real Qt CAN bus device (virtualcan,
// socketcan, peakcan): every received frame goes to the controller, every
// reply is written to the bus, after the controller's latency.
#include "core/transport/SimulatedBus.h"

#include <QObject>
#include <QString>

class DrcController;
class QCanBusDevice;

class CanBusServer : public QObject, public SimulatedBus {
    Q_OBJECT
public:
    explicit CanBusServer(DrcController& controller, QObject* parent = nullptr);
    ~CanBusServer() override;

    // Splits "plugin:interface" at the first colon ("virtualcan:can0",
    // "virtualcan:tcp://127.0.0.1:4711/can0", "socketcan:can0"); false, with
    // *why, for a name the programs would not open either.
    static bool SplitBusName(const QString& bus, QString& plugin, QString& interfaceName, QString* why = nullptr);

    // Creates and connects the device. bitRate in bit/s is applied to real
    // adapters; the virtual bus has none. False with *error on failure; the
    // ready signal follows once the device is connected.
    bool Open(const QString& bus, int bitRate, QString* error);
    void Close();
    bool IsConnected() const;
    const QString& BusName() const { return m_bus; }

    void Deliver(const CanMsg& frame, int delayMs = 0) override;
    // Finer than a millisecond: the write waits out the last fraction.
    void DeliverAfter(const CanMsg& frame, std::chrono::nanoseconds delay) override;

signals:
    void ready();
    // The device reported an error or dropped off the bus.
    void busError(const QString& text);
    void disconnected();

private:
    void OnFramesReceived();
    void Write(const CanMsg& frame);

    DrcController& m_controller;
    QCanBusDevice* m_device = nullptr;
    QString m_bus;
    bool m_wasConnected = false;
};
