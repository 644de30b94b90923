#include "GraphState.h"

void GraphState::SetReportData(GraphData data)
{
    {
        const std::lock_guard lock(m_mutex);
        // A closing window takes no more data: nothing is drawn into it.
        if (m_flags.closeRequested)
            return;
        if (m_kind == Kind::Line)
            padSingleValue(data);
        m_data = std::move(data);
        m_twoSeries = false;
        m_flags.dataReady = true;
    }
    notify();
}

void GraphState::SetRatingsAndTrend(const std::string& library, const std::string& title,
                                    std::vector<std::uint32_t> ratings, std::vector<std::uint32_t> trend)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_flags.closeRequested)
            return;
        m_data = GraphData{library, title, {}, {}, {}};
        m_ratings = std::move(ratings);
        m_trend = std::move(trend);
        m_twoSeries = true;
        m_flags.dataReady = true;
    }
    notify();
}

void GraphState::reportStarted()
{
    m_flags.finished = false;
}

void GraphState::reportFinished()
{
    m_flags.finished = true;
    notify();
}

bool GraphState::requestClose()
{
    m_flags.closeRequested = true;
    return m_flags.finished.load();
}

std::vector<GraphItem> GraphState::items(int width, int height) const
{
    const std::lock_guard lock(m_mutex);
    if (!m_flags.dataReady)
        return {};
    if (m_twoSeries)
        return twoSeriesGraphItems(m_data.library, m_data.title, m_ratings, m_trend, width, height);
    return m_kind == Kind::Line ? lineGraphItems(m_data, width, height) : barGraphItems(m_data, width, height);
}

void GraphState::setChangedCallback(std::function<void()> changed)
{
    const std::lock_guard lock(m_mutex);
    m_changed = std::move(changed);
}

void GraphState::notify()
{
    std::function<void()> changed;
    {
        const std::lock_guard lock(m_mutex);
        changed = m_changed;
    }
    if (changed)
        changed();
}
