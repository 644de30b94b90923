#pragma once

#include "GraphDrawing.h"
#include "GraphSink.h"

#include <functional>
#include <mutex>

// The data and flags of one graph window, shared with the report thread that fills it. The
// window and the thread each hold it, so a thread that outlives its window writes into this
// object and never into a destroyed widget.
class GraphState final : public GraphSink {
public:
    enum class Kind { Line, Bar };
    explicit GraphState(Kind kind) : m_kind(kind) {}

    // GraphSink: any thread.
    void SetReportData(GraphData data) override;
    void reportStarted() override;
    void reportFinished() override;
    bool closeRequested() const override { return m_flags.closeRequested.load(); }

    // The drill-down's two series (line graphs only): switches to the two-series drawing. No
    // thread is attached, so the window stays finished.
    void SetRatingsAndTrend(const std::string& library, const std::string& title, std::vector<std::uint32_t> ratings,
                            std::vector<std::uint32_t> trend);

    // The window: what to paint at this size (nothing before the data arrived).
    std::vector<GraphItem> items(int width, int height) const;
    const GraphReportFlags& flags() const { return m_flags; }
    // Sets the close request; true when the window may close now (no thread is working).
    bool requestClose();
    // Called (on the thread that changed the state) after new data or when the thread ends.
    // The window replaces it with nothing when it goes.
    void setChangedCallback(std::function<void()> changed);

private:
    void notify();

    const Kind m_kind;
    mutable std::mutex m_mutex;
    GraphReportFlags m_flags;
    GraphData m_data;
    bool m_twoSeries = false;
    std::vector<std::uint32_t> m_ratings;
    std::vector<std::uint32_t> m_trend;
    std::function<void()> m_changed;
};
