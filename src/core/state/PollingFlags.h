#pragma once
// The flags by which the three polling pages (monitor, diagnostic, debugger)
// keep out of each other's way. Only one page polls the controller at a time:
// a page skips its timer tick while another page's polling flag is set, and
// a page that is left (or that another page pushes out) gets a stop request
// that its next tick honours. One set per program, owned by the context.
struct PollingFlags {
    // True from a page's first poll until its polling stops.
    bool MonitorPollingActive = false;
    bool DiagnosticPollingActive = false;
    bool DebugPollingActive = false;
    // Set when the page is left (or another page takes over); the page's
    // next timer tick stops its polling.
    bool MonitorStopRequest = false;
    bool DiagnosticStopRequest = false;
    bool DebugStopRequest = false;

    // Whether any page other than the named one is polling.
    bool OthersThanMonitorPolling() const { return DiagnosticPollingActive || DebugPollingActive; }
    bool OthersThanDiagnosticPolling() const { return MonitorPollingActive || DebugPollingActive; }
    bool OthersThanDebugPolling() const { return MonitorPollingActive || DiagnosticPollingActive; }
};
