#pragma once

#include "db/Dialect.h"

#include <string>
#include <vector>

// The statements of the predefined reports in one dialect. They name the mount history table's
// own columns; values from outside (addresses, volsers, dates read back) have their quotes
// doubled. Dates are "YYYY-MM-DD", times "HH:MM:SS"; lists come back in ascending order.
class ReportStatements {
public:
    ReportStatements(std::string table, const Dialect& dialect) : m_table(std::move(table)), m_dialect(dialect) {}

    // The lifetime counters as the reports name them, and the columns that hold them.
    static const std::vector<std::string>& lifetimeCounters();
    static std::string lifetimeColumn(const std::string& counter);

    std::string addresses() const;
    // The distinct dates of an address within the range, as "YYYY-MM-DD" text.
    std::string dates(const std::string& address, const std::string& begin, const std::string& end) const;
    std::string volsers(const std::string& address, const std::string& begin, const std::string& end) const;
    std::string driveCount(const std::string& address, int frame, int drive, const std::string& date) const;
    std::string volserCount(const std::string& address, const std::string& volser, const std::string& date) const;
    // Bins 0 to 22 run from their start to the next bin's start, both included; bin 23 has no end.
    std::string hourCount(const std::string& address, const std::string& date, const std::string& start,
                          const std::string& end) const;

    // The same counts for every date of the range at once, one row per key and date with the
    // count last: (frame, drive, date, count), (volser, date, count), (date, count).
    std::string driveCountsByDate(const std::string& address, const std::string& begin, const std::string& end) const;
    std::string volserCountsByDate(const std::string& address, const std::string& begin, const std::string& end) const;
    // Per date and hour of the day ("00" to "23"): the mounts in that hour and those at its
    // exact start (minutes and seconds zero): (date, hour, count, full-hour count).
    std::string hourCountsByDate(const std::string& address, const std::string& begin, const std::string& end) const;

    std::string lifetimeMaximum(const std::string& counter, const std::string& address, const std::string& volser,
                                const std::string& begin, const std::string& end) const;

    std::string addressVolserPairs(const std::string& address, const std::string& begin, const std::string& end) const;
    std::string lastDate(const std::string& address, const std::string& volser, const std::string& begin,
                         const std::string& end) const;
    std::string lastTime(const std::string& address, const std::string& volser, const std::string& date) const;
    std::string cryptoStatus(const std::string& address, const std::string& volser, const std::string& date,
                             const std::string& time) const;
    std::string rekeyCount(const std::string& address, const std::string& volser, const std::string& begin,
                           const std::string& end) const;

    // A cartridge's mounts newest first: the four retry and perm counters, date, time, frame,
    // drive and the two ratings.
    std::string cartridgeMounts(const std::string& address, const std::string& volser, const std::string& begin,
                                const std::string& end) const;

private:
    std::string dateText() const;
    std::string rangeCondition(const std::string& begin, const std::string& end) const;
    std::string dateColumn() const;

    std::string m_table;
    Dialect m_dialect;
};
