#pragma once

#include "GraphDrawing.h"

#include <atomic>

// The flags a graph window shares with the report thread that fills it.
struct GraphReportFlags {
    std::atomic<bool> dataReady{false};      // nothing is painted before the data arrived
    std::atomic<bool> finished{true};        // false while a report thread works for the window
    std::atomic<bool> closeRequested{false}; // the window is closing: the thread stops at its next check
};

// What a report thread sees of a graph window: the data hand-over and the handshake. Callable
// from any thread.
class GraphSink {
public:
    virtual ~GraphSink() = default;
    // Replaces the graph's data and repaints; dropped once the window is closing.
    virtual void SetReportData(GraphData data) = 0;
    // The thread calls these at its start and end; between them the window's close waits.
    virtual void reportStarted() = 0;
    virtual void reportFinished() = 0;
    // Polled by the thread before each statement.
    virtual bool closeRequested() const = 0;
};
