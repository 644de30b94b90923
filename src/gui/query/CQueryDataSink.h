#pragma once

#include "query/GeneralQueryThread.h"
#include "query/QueryResultSink.h"

#include <QPointer>
#include <memory>

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

private:
    template <class Work>
    void post(Work&& work);

    QPointer<CQueryData> m_view;
    QPointer<CQueryForm> m_form;
    std::weak_ptr<QueryRun> m_run;
};
