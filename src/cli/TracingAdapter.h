#pragma once
// Wraps an adapter and reports every frame the tool sends and every frame it
// receives (qvs-cli --trace). Results pass through unchanged.
#include "core/transport/CanAdapter.h"

#include <QString>

#include <functional>
#include <memory>

class TracingAdapter final : public CanAdapter {
public:
    using Sink = std::function<void(const QString& line)>;

    TracingAdapter(std::unique_ptr<CanAdapter> inner, Sink sink);

    int Initialize(int bitTimingCode) override;
    int Uninitialize() override;
    int Reset() override;
    int Read(CanMsg& msg) override;
    int Write(const CanMsg& msg) override;
    int GetStatus() override;

    // "0DC [8] 02 00 12 34 00 00 FF FF": identifier, length, the data bytes.
    static QString FrameText(const CanMsg& msg);

private:
    std::unique_ptr<CanAdapter> m_inner;
    Sink m_sink;
};
