#include "ReportWindowSink.h"

#include "CSplitterReport.h"
#include "query/CQueryData.h"

#include <QMetaObject>

ReportWindowSink::ReportWindowSink(CSplitterReport* window)
    : m_window(window), m_attached(std::make_shared<std::atomic<bool>>(true)),
      m_pending(std::make_shared<PendingText>())
{
}

template <class Work>
void ReportWindowSink::post(Work&& work)
{
    CSplitterReport* window = m_window.data();
    if (window == nullptr || !m_attached->load())
        return;
    // The window is the context: calls still queued when it goes are dropped with it.
    QMetaObject::invokeMethod(
        window,
        [window, attached = m_attached, work = std::forward<Work>(work)]() mutable {
            if (attached->load())
                work(*window);
        },
        Qt::QueuedConnection);
}

void ReportWindowSink::write(const std::string& text)
{
    // A report writes line by line, tens of thousands of lines for a year: the lines gather here
    // and the window takes all that has gathered in one insertion per turn of its event loop, so
    // the text costs a few layouts instead of one per line and the window stays responsive. A
    // later call of the sink is posted after the pending insertion and so runs after it.
    if (m_window.isNull() || !m_attached->load())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_pending->mutex);
        const bool posted = !m_pending->text.empty();
        m_pending->text += text;
        if (posted)
            return;
    }
    post([pending = m_pending](CSplitterReport& window) {
        std::string gathered;
        {
            const std::lock_guard<std::mutex> lock(pending->mutex);
            gathered.swap(pending->text);
        }
        window.appendReportText(gathered);
    });
}

void ReportWindowSink::restoreButtons()
{
    post([](CSplitterReport& window) { window.reportEnded(); });
}

void ReportWindowSink::linksReady()
{
    post([](CSplitterReport& window) { window.healthReportEnded(); });
}

void ReportWindowSink::beginUpdate()
{
    post([](CSplitterReport& window) { window.list()->beginUpdate(); });
}

void ReportWindowSink::endUpdate()
{
    post([](CSplitterReport& window) { window.list()->endUpdate(); });
}

void ReportWindowSink::addColumn(const std::string& title)
{
    post([title](CSplitterReport& window) { window.list()->addColumn(title); });
}

void ReportWindowSink::addNumericColumn(int column)
{
    post([column](CSplitterReport& window) { window.list()->addNumericColumn(column); });
}

void ReportWindowSink::setColumnKind(int column, QueryColumnKind kind, int dateFormatCode)
{
    post([=](CSplitterReport& window) { window.list()->setColumnKind(column, kind, dateFormatCode); });
}

void ReportWindowSink::addRows(std::vector<std::vector<std::string>> rows)
{
    auto batch = std::make_shared<std::vector<std::vector<std::string>>>(std::move(rows));
    post([batch](CSplitterReport& window) { window.list()->addRows(*batch); });
}

void ReportWindowSink::sizeColumns()
{
    post([](CSplitterReport& window) { window.list()->sizeColumns(); });
}

void ReportWindowSink::setRowMarks(std::vector<int> marks)
{
    auto kept = std::make_shared<std::vector<int>>(std::move(marks));
    post([kept](CSplitterReport& window) { window.setRowMarks(std::move(*kept)); });
}
