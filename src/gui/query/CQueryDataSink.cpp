#include "CQueryDataSink.h"

#include "CQueryData.h"
#include "CQueryForm.h"
#include "QueryRun.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>

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

void CQueryDataSink::waitForRoom()
{
    using namespace std::chrono_literals;
    const auto run = m_run.lock();
    std::unique_lock lock(m_backlog->mutex);
    // The list takes a batch at a time on the UI thread; a stopped run stops waiting too, so
    // the wait is rechecked now and then.
    while (m_backlog->batches >= BatchesInFlight && run && !run->flags.stopped())
        m_backlog->taken.wait_for(lock, 100ms);
    ++m_backlog->batches;
}

void CQueryDataSink::addRows(std::vector<std::vector<std::string>> rows)
{
    waitForRoom();
    auto batch = std::make_shared<std::vector<std::vector<std::string>>>(std::move(rows));
    // Taken off the backlog whether or not the list still wants it.
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr)
        return;
    QMetaObject::invokeMethod(
        application,
        [view = m_view, run = m_run, batch, backlog = m_backlog] {
            {
                std::lock_guard lock(backlog->mutex);
                --backlog->batches;
            }
            backlog->taken.notify_one();
            const auto current = run.lock();
            if (view && current && !current->flags.stopped())
                view->addRows(*batch);
        },
        Qt::QueuedConnection);
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
