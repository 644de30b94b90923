#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

// Where a report's text goes: the report window (posted to the UI thread), a mail body, standard
// output or a test buffer. The worker writes whole pieces of text with their line ends.
class ReportSink {
public:
    virtual ~ReportSink() = default;
    virtual void write(const std::string& text) = 0;
    // The run is over in a window: the date form shows "Generate Report" again.
    virtual void restoreButtons() {}
};

// The flags a window stops its worker with. stop is set with either of the other two, so that a
// download or a wait can watch one flag.
struct ReportFlags {
    std::atomic<bool> cancelled{false};
    std::atomic<bool> closing{false};
    std::atomic<bool> stop{false};

    void cancel()
    {
        cancelled = true;
        stop = true;
    }
    void close()
    {
        closing = true;
        stop = true;
    }
    bool stopped() const { return cancelled.load() || closing.load(); }
};

enum class ReportMode { Window, Mail };

// Everything a report worker reads before it starts, gathered on the UI thread (or by the agent),
// so that the worker never reads settings another thread may be changing.
struct ReportRequest {
    ReportMode mode = ReportMode::Window;
    // "YYYY-MM-DD", for statements.
    std::string beginDate;
    std::string endDate;
    // As the report shows them: "MM-DD-YYYY", or in mail mode the agent's stored begin date.
    std::string beginShown;
    std::string endShown;
    std::vector<std::string> addresses;

    // The connection and the mount history table of the settings.
    std::string dataSourceName;
    std::string userName;
    std::string password;
    std::string table;
    int databaseType = 0;

    // The queries as the reports were first made: mount rates one count query per listed date
    // for every drive, cartridge and hour; cartridge statistics and encryption status their
    // queries per cartridge. Off, one statement per statistic (mount rates) or per address (the
    // other two) reads what they need for the whole range: the same text, far fewer statements;
    // tests compare the two.
    bool referenceCounts = false;

    // Never set in mail mode.
    const ReportFlags* flags = nullptr;
    // Mail mode: set when the agent is ending; the report then leaves as a closed window's does.
    const std::atomic<bool>* ending = nullptr;
    ReportSink* sink = nullptr;
    // Mail mode: sends the finished body under the subject; true when the server took it.
    std::function<bool(const std::string& subject, const std::string& body)> sendMail;

    bool mail() const { return mode == ReportMode::Mail; }
    bool cancelled() const { return flags != nullptr && flags->cancelled.load(); }
    bool closing() const
    {
        return (flags != nullptr && flags->closing.load()) || (ending != nullptr && ending->load());
    }
    bool stopped() const { return cancelled() || closing(); }
    const std::atomic<bool>* stopFlag() const { return flags != nullptr ? &flags->stop : ending; }

    // A window-mode request over the settings' connection and mount history table.
    static ReportRequest fromSettings(const std::string& beginDate, const std::string& endDate,
                                      std::vector<std::string> addresses);
};
