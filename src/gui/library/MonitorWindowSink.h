#pragma once

#include "library/MonitorSink.h"

#include <QPointer>

#include <mutex>

class CQmxView;

// A monitor's lines on their way to its window: posted to the UI thread, never written from
// the worker. Once the window detaches (it is going), lines are dropped; a line already
// posted to a window that is then destroyed is discarded with it.
class MonitorWindowSink final : public MonitorSink {
public:
    explicit MonitorWindowSink(CQmxView* view) : m_view(view) {}
    void writeMonitorLine(const std::string& text) override;
    void detach();

private:
    std::mutex m_mutex;
    CQmxView* m_view;
};
