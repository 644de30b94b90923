#include "CQueryDataSink.h"

#include "CQueryData.h"
#include "CQueryForm.h"

#include <QMetaObject>

CQueryDataSink::CQueryDataSink(CQueryData* view, CQueryForm* form, std::shared_ptr<QueryRun> run)
    : m_view(view), m_form(form), m_run(std::move(run))
{
}

template <class Work>
void CQueryDataSink::post(Work&& work)
{
    // The view is the context: calls still queued when it goes are dropped with it.
    CQueryData* view = m_view.data();
    if (view == nullptr)
        return;
    QMetaObject::invokeMethod(
        view,
        [view, run = m_run, work = std::forward<Work>(work)]() mutable {
            if (!run->flags.stopped())
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
            form->runEnded(run.get());
    });
}
