#include "CCustomTableView.h"

#include "app/CQmxApp.h"
#include "custom/GeneralReportThread.h"
#include "query/CQueryData.h"
#include "query/CQueryDataSink.h"
#include "query/QueryExport.h"
#include "query/QueryRun.h"

#include <QCloseEvent>
#include <QVBoxLayout>

CCustomTableView::CCustomTableView(QWidget* parent) : CChildWindow(parent), m_list(new CQueryData)
{
    setObjectName(QStringLiteral("CCustomTableView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}

CCustomTableView::~CCustomTableView()
{
    m_list->setClosing();
    stopReport();
}

void CCustomTableView::startReport(const CustomReportRequest& request)
{
    stopReport();
    m_run = std::make_shared<QueryRun>();
    auto sink = std::make_shared<CQueryDataSink>(m_list, nullptr, m_run);
    m_run->start([request, sink](GeneralQueryFlags& flags) {
        CustomReportOutputs outputs;
        outputs.table = sink.get();
        // Closing the window stops the report before its next statement.
        outputs.stop = &flags.cancelRequested;
        outputs.prompts = &theApp().prompts();
        bool ok = false;
        GeneralReportThread(request, outputs, &ok);
        return ok ? GeneralQueryOutcome::Completed : GeneralQueryOutcome::Failed;
    });
}

bool CCustomTableView::reportRunning() const
{
    return m_run && !m_run->finished.load();
}

void CCustomTableView::stopReport()
{
    // The run keeps going to its end by itself; its late rows are dropped on the UI thread.
    if (m_run)
        m_run->flags.cancel(true);
}

bool CCustomTableView::save()
{
    return ExportData(windowTitle().toStdString(), &m_list->listData());
}

void CCustomTableView::closeEvent(QCloseEvent* event)
{
    m_list->setClosing();
    stopReport();
    event->accept();
}
