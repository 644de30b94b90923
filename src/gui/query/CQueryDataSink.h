#pragma once

#include "query/GeneralQueryThread.h"
#include "query/QueryResultSink.h"

#include <QPointer>
#include <condition_variable>
#include <memory>
#include <mutex>

class CQueryData;
class CQueryForm;

class QueryRun;

// The query worker's sink: every call becomes a queued call on the UI thread. Calls of a run that
// was cancelled meanwhile, or whose window has gone, are dropped there, so a late batch never
// refills a cleared list nor reaches a deleted one.
class CQueryDataSink final : public QueryResultSink {
public:
    CQueryDataSink(CQueryData* view, CQueryForm* form, std::weak_ptr<QueryRun> run);

    void beginUpdate() override;
    void endUpdate() override;
    void addColumn(const std::string& title) override;
    void addNumericColumn(int column) override;
    void setColumnKind(int column, QueryColumnKind kind, int dateFormatCode) override;
    void addRows(std::vector<std::vector<std::string>> rows) override;
    void sizeColumns() override;
    void restoreButtons() override;

    // Batches of rows posted and not yet taken by the list: the worker waits above this many,
    // so a fast database never piles up rows in memory ahead of a busy window.
    static constexpr int BatchesInFlight = 4;

private:
    template <class Work>
    void post(Work&& work);
    void waitForRoom();

    // Shared with the posted calls, which may outlive the sink.
    struct Backlog {
        std::mutex mutex;
        std::condition_variable taken;
        int batches = 0;
    };
    std::shared_ptr<Backlog> m_backlog = std::make_shared<Backlog>();

    QPointer<CQueryData> m_view;
    QPointer<CQueryForm> m_form;
    std::weak_ptr<QueryRun> m_run;
};
