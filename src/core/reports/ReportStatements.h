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

    // The per-day drive counts of the range in one statement: (frame, drive, date, count).
    std::string driveCountsByDate(const std::string& address, const std::string& begin, const std::string& end) const;
    // The per-day counts of the range summed on the server, one row per drive or cartridge: the
    // sum of its daily counts and the sum of their squares, (frame, drive, sum, squares) and
    // (volser, sum, squares). Days without a mount add nothing to either.
    std::string driveCountSums(const std::string& address, const std::string& begin, const std::string& end) const;
    std::string volserCountSums(const std::string& address, const std::string& begin, const std::string& end) const;
    // Per date and hour of the day ("00" to "23"): the mounts in that hour and those at its
    // exact start (minutes and seconds zero): (date, hour, count, full-hour count).
    std::string hourCountsByDate(const std::string& address, const std::string& begin, const std::string& end) const;

    std::string lifetimeMaximum(const std::string& counter, const std::string& address, const std::string& volser,
                                const std::string& begin, const std::string& end) const;
    // The rows behind a maximum that came back as a text (a column of the embedded store can hold
    // one, and MAX then prefers it): each positive value with its date and time.
    std::string lifetimeValues(const std::string& counter, const std::string& address, const std::string& volser,
                               const std::string& begin, const std::string& end) const;

    // Every cartridge's highest value of the five lifetime counters in the range, one row per
    // volser: (volser, then the counters in report order). A maximum of 0 or less means that no
    // row had a positive value.
    std::string lifetimeMaxima(const std::string& address, const std::string& begin, const std::string& end) const;

    std::string addressVolserPairs(const std::string& address, const std::string& begin, const std::string& end) const;
    std::string lastDate(const std::string& address, const std::string& volser, const std::string& begin,
                         const std::string& end) const;
    std::string lastTime(const std::string& address, const std::string& volser, const std::string& date) const;
    std::string cryptoStatus(const std::string& address, const std::string& volser, const std::string& date,
                             const std::string& time) const;
    std::string rekeyCount(const std::string& address, const std::string& volser, const std::string& begin,
                           const std::string& end) const;

    // Every cartridge's last mount in the range and its re-keys, one row per volser: (volser,
    // date, time, crypto status, re-key count). The last mount is the latest time of the latest
    // date, a mount without a time coming last; its status reads 0 when it has no time.
    std::string lastMounts(const std::string& address, const std::string& begin, const std::string& end) const;

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
