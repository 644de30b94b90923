#pragma once

#include <chrono>
#include <string>
#include <vector>

struct DownloadResult;

// The library files a monitor downloads, and the tables its cycles store them in.
enum class MonitorFile { MountHistory, LibraryPerformance, Configuration };
enum class MonitorTable { MountHistory, LibraryPerformance };

// Told what a monitor's workers do, on their threads, as it happens: for a service's
// counters. Each call names the library, so that one observer can serve every monitor of a
// process. Calls must return quickly and never call back into the engine.
class MonitorObserver {
public:
    virtual ~MonitorObserver() = default;

    // A download ended other than by a stop.
    virtual void downloadEnded(const std::string& address, MonitorFile file, const DownloadResult& result) = 0;
    // The data lines of a complete mount history file, before they are stored.
    virtual void mountHistoryRead(const std::string& address, const std::vector<std::string>& lines) = 0;
    // One line passed to the table: InsertMR's or InsertLP's result (1 inserted, 2 already
    // there, 0 failure).
    virtual void lineStored(const std::string& address, MonitorTable table, const std::string& line, int result) = 0;
    // The database could not be connected to, or not prepared, for a cycle.
    virtual void databaseFailed(const std::string& address, MonitorTable table) = 0;
    // A cycle ended other than by a stop; stored: its file was read into the table.
    virtual void cycleEnded(const std::string& address, MonitorTable table, std::chrono::duration<double> took,
                            bool stored) = 0;
};
