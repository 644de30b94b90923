#pragma once

#include "ReportConnection.h"
#include "ReportForm.h"
#include "ReportRequest.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The window writer: the text and one "\r\n". Nothing once the window is closing.
void WriteReportLine(const ReportRequest& request, const std::string& text);
// Text as it stands, line ends included (mail-mode pieces, end lines).
void writeReportText(const ReportRequest& request, const std::string& text);

// Fills the "%s" and "%d" slots of a fixed text in order, as printf would.
std::string formatReportText(const char* format, const std::vector<std::string>& values);

// The header with the time of the run, and the blank line after it.
void writeReportHeader(const ReportRequest& request, const char* headerFormat);
// "The date range is between ..." and a blank line.
void writeDateRange(const ReportRequest& request);
// "No entries found for IP address ..." (without the blank line after it).
std::string noEntriesText(const ReportRequest& request, const std::string& address);

// The end of a run that was not stopped by a database error: the end line in a window (and the
// buttons back to idle unless cancelled or closing); in mail mode the end text, the send and
// its line in the debug log.
void finishReport(const ReportRequest& request, const char* windowDone, const char* windowCanceled,
                  const char* mailDone, const char* mailName);

// Saves a report document: exactly the text shown, line ends as written. 0, or the system's
// error number.
int saveReportDocument(const std::string& path, const std::string& text);

// Keeps what a run wrote: for tests, and the mail body before it is sent.
class TextReportSink : public ReportSink {
public:
    void write(const std::string& text) override;
    void restoreButtons() override;
    std::string text() const;
    int buttonRestores() const;

private:
    mutable std::mutex m_mutex;
    std::string m_text;
    int m_restores = 0;
};

// A report worker's thread and the flags that stop it. The owner's destruction closes and joins.
class ReportWorker {
public:
    ReportWorker() = default;
    ~ReportWorker();
    ReportWorker(const ReportWorker&) = delete;
    ReportWorker& operator=(const ReportWorker&) = delete;

    // Runs procedure(request) on a thread of its own, with this worker's flags in the request.
    // A previous run is joined first.
    void start(ReportRequest request, std::function<int(const ReportRequest&)> procedure);
    void cancel() { m_flags.cancel(); }
    // Closing: nothing more is written; the worker leaves at its next poll.
    void close() { m_flags.close(); }
    bool running() const { return m_running.load(); }
    // 1 when the last run ran to its end, 0 when a database error stopped it.
    int result() const { return m_result.load(); }
    void join();
    const ReportFlags& flags() const { return m_flags; }

private:
    ReportFlags m_flags;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::atomic<int> m_result{0};
};
