#include "QueryRun.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <algorithm>
#include <vector>

namespace {
// Runs whose threads are still to be joined; touched only on the UI thread.
std::vector<std::shared_ptr<QueryRun>>& unjoinedRuns()
{
    static std::vector<std::shared_ptr<QueryRun>> runs;
    return runs;
}
} // namespace

void QueryRun::start(std::function<GeneralQueryOutcome(GeneralQueryFlags&)> work)
{
    static const bool stopsAtQuit = [] {
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &QueryRun::stopAll);
        return true;
    }();
    (void)stopsAtQuit;
    if (m_thread.joinable())
        return;

    unjoinedRuns().push_back(shared_from_this());
    std::weak_ptr<QueryRun> weak = weak_from_this();
    m_thread = std::thread([this, weak, work = std::move(work)] {
        outcome = work(flags);
        finished = true;
        // The last word: the UI thread joins this thread once this returns.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [weak] { join(weak.lock()); }, Qt::QueuedConnection);
    });
}

void QueryRun::join(const std::shared_ptr<QueryRun>& run)
{
    if (!run)
        return;
    auto& runs = unjoinedRuns();
    const auto found = std::find(runs.begin(), runs.end(), run);
    if (found == runs.end())
        return;
    runs.erase(found);
    run->m_thread.join();
}

int QueryRun::unjoinedCount()
{
    return static_cast<int>(unjoinedRuns().size());
}

void QueryRun::stopAll()
{
    for (const auto& run : unjoinedRuns())
        run->flags.cancel(true);
    while (!unjoinedRuns().empty())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

QueryRun::~QueryRun()
{
    // Only reached once joined (the list holds every unjoined run), or at the very end of the
    // process for a run the program never stopped.
    if (m_thread.joinable()) {
        flags.cancel(true);
        m_thread.join();
    }
}
