#pragma once

#include <string>

// Where a monitor's lines go: its window, standard output, a test's buffer. Called from the
// monitor's worker threads; an implementation must be safe to call from any thread.
class MonitorSink {
public:
    virtual ~MonitorSink() = default;
    // One call per line as the monitor wrote it, without the "\r\n" a window adds.
    virtual void writeMonitorLine(const std::string& text) = 0;
};
