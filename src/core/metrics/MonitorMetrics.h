#pragma once

#include "library/MonitorObserver.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// The counters of every monitor of a process and their Prometheus text. The monitors' workers
// report to it as they go; a scrape reads it under its lock and never touches the database.
// The series grow with the libraries and their drives, never with mounts or cartridges.
class MonitorMetrics final : public MonitorObserver {
public:
    // Seconds since the epoch; the system clock's when empty.
    using Clock = std::function<double()>;

    static constexpr std::size_t MaxLibraries = 1024;
    static constexpr std::size_t MaxDrivesPerLibrary = 512;

    explicit MonitorMetrics(Clock clock = {});

    // A library whose series are shown, at zero, before its first event.
    void addLibrary(const std::string& address);
    // The text of a scrape of GET /metrics.
    std::string exposition() const;

    void downloadEnded(const std::string& address, MonitorFile file, const DownloadResult& result) override;
    void mountHistoryRead(const std::string& address, const std::vector<std::string>& lines) override;
    void lineStored(const std::string& address, MonitorTable table, const std::string& line, int result) override;
    void databaseFailed(const std::string& address, MonitorTable table) override;
    void cycleEnded(const std::string& address, MonitorTable table, std::chrono::duration<double> took,
                    bool stored) override;

private:
    static constexpr std::size_t FileCount = 3;
    static constexpr std::size_t TableCount = 2;
    static constexpr std::size_t ReasonCount = 7;

    struct FileCounters {
        unsigned long long attempts = 0;
        unsigned long long bytes = 0;
        unsigned long long consecutiveFailures = 0;
        std::array<unsigned long long, ReasonCount> failures{};
        double lastSuccess = 0;
    };
    struct TableCounters {
        unsigned long long inserted = 0;
        unsigned long long duplicate = 0;
        unsigned long long failed = 0;
        unsigned long long failedInCycle = 0;
        double lastInsert = 0;
        std::vector<unsigned long long> durationCounts;
        double durationSum = 0;
    };
    struct DriveState {
        double lastMount = 0;
        double rating = 0;
        unsigned long long mounts = 0;
        bool inLastFile = false;
    };
    struct LibraryState {
        std::array<FileCounters, FileCount> files;
        std::array<TableCounters, TableCount> tables;
        unsigned long long databaseErrors = 0;
        std::map<std::pair<int, int>, DriveState> drives;
    };

    double now() const;
    // Must hold m_mutex. Nothing once the number of libraries is at its limit.
    LibraryState* library(const std::string& address);
    DriveState* drive(LibraryState& state, int frame, int position);

    Clock m_clock;
    double m_startTime;
    mutable std::mutex m_mutex;
    std::map<std::string, LibraryState> m_libraries; // by label
};

// Why a download failed, as the reason label: "connect", "http_status", "timeout",
// "too_large", "cut", "not_a_library_file" or "other".
const char* downloadFailureReason(const DownloadResult& result);

// The library label: the address as the user gave it, less any password in it
// ("user:secret@host" becomes "user@host").
std::string metricsLibraryLabel(const std::string& address);
