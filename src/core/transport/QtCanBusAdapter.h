#pragma once
// An adapter over a Qt CAN bus device, chosen by a bus name
// "plugin:interface" ("socketcan:can0", "peakcan:usb0", "virtualcan:can0",
// "virtualcan:tcp://127.0.0.1:40123/can0"); the interface part is handed to
// the plugin as it is.
//
// The six calls hide what Qt does differently from a plain adapter library:
// a connection that completes later (Initialize waits for it, with a
// deadline, dispatching events), buffers that cannot be cleared on a closed
// device, write failures reported only through a signal, and a virtual bus
// that would silently join can0 for a name it does not know (the name is
// checked here first). Every such case is a non-zero result.
#include "core/transport/CanAdapter.h"

#include <QMetaObject>

#include <functional>
#include <memory>
#include <string>

class QCanBusDevice;

class QtCanBusAdapter final : public CanAdapter {
public:
    explicit QtCanBusAdapter(std::string busName, int connectTimeoutMs = 1000);
    ~QtCanBusAdapter() override;
    QtCanBusAdapter(const QtCanBusAdapter&) = delete;
    QtCanBusAdapter& operator=(const QtCanBusAdapter&) = delete;

    int Initialize(int bitTimingCode) override;
    int Uninitialize() override;
    int Reset() override;
    int Read(CanMsg& msg) override;
    int Write(const CanMsg& msg) override;
    int GetStatus() override;

    const std::string& BusName() const { return m_busName; }
    // Why the last failing call failed, for messages and logs ("" if none).
    const std::string& LastError() const { return m_lastError; }
    // Called whenever the device has received frames (for peers that serve a
    // bus; the tool's channel polls with Read instead).
    void SetFramesReceivedHandler(std::function<void()> handler);

    // Splits a bus name at its first ':' and checks it; false with a reason
    // for a malformed name or an interface the plugin would not take as
    // meant. Plugins are not loaded here.
    static bool ParseBusName(const std::string& busName, std::string& plugin,
                             std::string& interfaceName, std::string* why = nullptr);
    // Plugins whose bit rate is not set through the device: socketcan (the
    // kernel interface carries its rate, set with "ip link") and virtualcan
    // (no rate at all).
    static bool PluginTakesBitRate(const std::string& plugin);

private:
    int Fail(int code, std::string why);
    void DestroyDevice();

    std::string m_busName;
    int m_connectTimeoutMs;
    std::string m_lastError;
    QCanBusDevice* m_device = nullptr;
    bool m_writeErrorPending = false;
    int m_signalDepth = 0; // inside one of the device's signals
    std::function<void()> m_framesReceived;
    QMetaObject::Connection m_errorConnection;
    QMetaObject::Connection m_framesConnection;
};
