#pragma once

#include "query/GeneralQueryThread.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

// One query run: its flags, its worker thread and how it ended. A run outlives the window that
// started it: closing or cancelling only stops it (and cancels its statement at the
// database); the worker then ends by itself and its thread is joined on the UI thread, exactly
// once, when its last word arrives there. Nothing ever waits for a run inside a destructor.
class QueryRun : public std::enable_shared_from_this<QueryRun> {
public:
    GeneralQueryFlags flags;
    std::atomic<GeneralQueryOutcome> outcome{GeneralQueryOutcome::Cancelled};
    std::atomic<bool> finished{false};

    // Starts work on a thread of its own, once. Call on the UI thread, on a run held by a
    // shared pointer.
    void start(std::function<GeneralQueryOutcome(GeneralQueryFlags&)> work);

    // Runs whose threads have not been joined yet.
    static int unjoinedCount();
    // Stops every run and joins every worker, answering what they ask of the UI thread
    // meanwhile. For the end of the program (the application's about-to-quit), never for a
    // destructor.
    static void stopAll();

    QueryRun() = default;
    ~QueryRun();
    QueryRun(const QueryRun&) = delete;
    QueryRun& operator=(const QueryRun&) = delete;

private:
    static void join(const std::shared_ptr<QueryRun>& run);

    std::thread m_thread;
};
