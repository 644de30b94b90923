#pragma once

#include "FleetHealth.h"
#include "custom/GraphDrawing.h"
#include "reports/ReportRequest.h"
#include "reports/ReportRunner.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// What the Library Overview window shows: one library over a range, computed on a worker of its
// own. The window is a view over this object; closing the window destroys it, which stops the
// worker at its next poll and joins it.
class LibraryOverview {
public:
    enum class State { Idle, Running, Done, Cancelled, Failed };

    LibraryOverview() = default;
    ~LibraryOverview();
    LibraryOverview(const LibraryOverview&) = delete;
    LibraryOverview& operator=(const LibraryOverview&) = delete;

    // Starts a run; `finished` is called on the worker's thread when it ends, however it ends.
    void start(ReportRequest request, const std::string& address, FleetOptions options, std::function<void()> finished);
    void cancel() { m_worker.cancel(); }
    bool running() const { return m_worker.running(); }
    // Waits for a run to end.
    void join() { m_worker.join(); }

    State state() const;
    std::optional<FleetResult> result() const;
    std::string address() const;

    // The two tables: the drives worst first, and the cartridges that are suspect, on the watch
    // list or over a threshold.
    static std::vector<std::string> driveColumns();
    static std::vector<std::string> cartridgeColumns();
    // Columns that sort as numbers.
    static bool driveColumnNumeric(int column);
    static bool cartridgeColumnNumeric(int column);
    static std::vector<std::vector<std::string>> driveRows(const FleetResult& result);
    static std::vector<std::vector<std::string>> cartridgeRows(const FleetResult& result);
    // The line at the top of the window.
    std::string summary() const;

    // The last run's request (without its flags).
    ReportRequest lastRequest() const;

    // The rating of a drive ("F:D") or cartridge of the address over the request's range, one
    // point a day, as the line graph window draws it; nothing on a database error.
    static std::optional<GraphData> ratingGraph(ReportRequest request, const std::string& address,
                                                const std::string& unit, bool drive);

private:
    mutable std::mutex m_mutex;
    ReportRequest m_request;
    std::string m_address;
    std::optional<FleetResult> m_result;
    State m_state = State::Idle;
    ReportWorker m_worker;
};
