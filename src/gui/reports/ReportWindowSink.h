#pragma once

#include "query/QueryResultSink.h"
#include "reports/ReportRequest.h"

#include <QPointer>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

class CSplitterReport;

// A report worker's output on its way to the window: every call is posted to the UI thread.
// Once detached (a new run starts, or the window goes), calls of this run are dropped, also
// those already posted.
class ReportWindowSink final : public ReportSink, public QueryResultSink {
public:
    explicit ReportWindowSink(CSplitterReport* window);
    void detach() { m_attached->store(false); }

    // The text of a report.
    void write(const std::string& text) override;
    void restoreButtons() override;
    // A health report's run is over: its field names can become links.
    void linksReady();

    // The result list of Cartridge Retries and Perms.
    void beginUpdate() override;
    void endUpdate() override;
    void addColumn(const std::string& title) override;
    void addNumericColumn(int column) override;
    void setColumnKind(int column, QueryColumnKind kind, int dateFormatCode) override;
    void addRows(std::vector<std::vector<std::string>> rows) override;
    void sizeColumns() override;
    void setRowMarks(std::vector<int> marks);

private:
    template <class Work>
    void post(Work&& work);

    QPointer<CSplitterReport> m_window;
    std::shared_ptr<std::atomic<bool>> m_attached;
    // Report text written but not yet in the window.
    struct PendingText {
        std::mutex mutex;
        std::string text;
    };
    std::shared_ptr<PendingText> m_pending;
};
