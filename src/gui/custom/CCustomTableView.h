#pragma once

#include "app/CChildWindow.h"
#include "custom/CustomReportRequest.h"

#include <memory>

class CQueryData;
class QueryRun;

// The table of a custom report ("LVR Table "): the sortable result list, filled by the report
// worker through a sink that posts to the UI thread. Closing the window mid-run stops the
// delivery at once; the worker ends by itself and is joined later, so nothing waits.
class CCustomTableView : public CChildWindow {
    Q_OBJECT
public:
    explicit CCustomTableView(QWidget* parent = nullptr);
    ~CCustomTableView() override;

    CQueryData* list() const { return m_list; }
    // Runs the report into the list on a worker thread of its own.
    void startReport(const CustomReportRequest& request);
    bool reportRunning() const;

    ActiveWindowKind windowKind() const override { return ActiveWindowKind::Table; }
    HelpContext helpContext() const override { return HelpContext::GraphWindow; }
    // Save exports the list as the query window's does.
    bool save() override;
    void saveAs() override { save(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void stopReport();

    CQueryData* m_list;
    std::shared_ptr<QueryRun> m_run;
};
