#include "CQueryDataSink.h"

#include "CQueryData.h"
#include "CQueryForm.h"
#include "QueryRun.h"

#include <QCoreApplication>
#include <QMetaObject>

CQueryDataSink::CQueryDataSink(CQueryData* view, CQueryForm* form, std::weak_ptr<QueryRun> run)
    : m_view(view), m_form(form), m_run(std::move(run))
{
}

template <class Work>
void CQueryDataSink::post(Work&& work)
{
    // The application is the context, not the view: the view may be deleted on the UI thread
    // at any moment, so the worker never touches it; the guarded pointer is only read there.
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr)
        return;
    QMetaObject::invokeMethod(
        application,
        [view = m_view, run = m_run, work = std::forward<Work>(work)]() mutable {
            const auto current = run.lock();
            if (view && current && !current->flags.stopped())
                work(*view);
        },
        Qt::QueuedConnection);
}

void CQueryDataSink::beginUpdate()
{
    post([](CQueryData& view) { view.beginUpdate(); });
}

void CQueryDataSink::endUpdate()
{
    post([](CQueryData& view) { view.endUpdate(); });
}

void CQueryDataSink::addColumn(const std::string& title)
{
    post([title](CQueryData& view) { view.addColumn(title); });
}

void CQueryDataSink::addNumericColumn(int column)
{
    post([column](CQueryData& view) { view.addNumericColumn(column); });
}

void CQueryDataSink::setColumnKind(int column, QueryColumnKind kind, int dateFormatCode)
{
    post([=](CQueryData& view) { view.setColumnKind(column, kind, dateFormatCode); });
}

void CQueryDataSink::addRows(std::vector<std::vector<std::string>> rows)
{
    auto batch = std::make_shared<std::vector<std::vector<std::string>>>(std::move(rows));
    post([batch](CQueryData& view) { view.addRows(*batch); });
}

void CQueryDataSink::sizeColumns()
{
    post([](CQueryData& view) { view.sizeColumns(); });
}

void CQueryDataSink::restoreButtons()
{
    post([form = m_form, run = m_run](CQueryData&) {
        if (form)
            form->runEnded(run.lock().get());
    });
}
