#pragma once

#include "query/GeneralQueryThread.h"
#include "query/QueryResultSink.h"

#include <QPointer>
#include <memory>

class CQueryData;
class CQueryForm;

// One query run's flags, shared by the form, the worker and whatever the worker has posted.
struct QueryRun {
    GeneralQueryFlags flags;
    std::atomic<GeneralQueryOutcome> outcome{GeneralQueryOutcome::Cancelled};
    std::atomic<bool> finished{false};
};

// The query worker's sink: every call becomes a queued call on the UI thread. Calls of a run that
// was cancelled meanwhile are dropped there, so a late batch never refills a cleared list.
class CQueryDataSink final : public QueryResultSink {
public:
    CQueryDataSink(CQueryData* view, CQueryForm* form, std::shared_ptr<QueryRun> run);

    void beginUpdate() override;
    void endUpdate() override;
    void addColumn(const std::string& title) override;
    void addNumericColumn(int column) override;
    void addRows(std::vector<std::vector<std::string>> rows) override;
    void sizeColumns() override;
    void restoreButtons() override;

private:
    template <class Work>
    void post(Work&& work);

    QPointer<CQueryData> m_view;
    QPointer<CQueryForm> m_form;
    std::shared_ptr<QueryRun> m_run;
};
