#pragma once

#include "LifetimeThresholds.h"
#include "ReportRequest.h"

#include <array>
#include <cstdint>
#include <optional>
#include <functional>
#include <string>
#include <vector>

class QueryResultSink;

// One mount at which a cartridge's retry or perm counters grew.
struct RetriesPermsRow {
    std::string address;
    std::string date; // "MM-DD-YYYY"
    std::string time;
    std::string volser;
    int frame = 0;
    int drive = 0;
    // LIFE_WRITE_RETRIES, LIFE_WRITE_PERMS, LIFE_READ_RETRIES, LIFE_READ_PERMS; 0 for a
    // counter without a growth (stored as NULL at either end).
    std::array<std::int64_t, 4> growth{};
    bool warning = false;
    bool error = false;
};

// One mount as the cartridge query reads it: the four counters (none for NULL or a value that
// is not a number), date ("YYYY-MM-DD"), time, frame and drive.
struct CartridgeMount {
    std::array<std::optional<std::int64_t>, 4> counters{};
    std::string date;
    std::string time;
    int frame = 0;
    int drive = 0;
};

// The rows of one cartridge from its mounts newest first: a row for each mount at which a
// counter differs from its last stored value before it, with the growth of each (a NULL gives
// none, and the next stored value is compared with the last stored one). Growths are classified
// against the thresholds while filters are enabled.
std::vector<RetriesPermsRow> cartridgeGrowthRows(const std::string& address, const std::string& volser,
                                                 const std::vector<CartridgeMount>& newestFirst,
                                                 const LifetimeThresholds& thresholds);

// The list's columns in order, and which of them sort as numbers.
const std::vector<std::string>& retriesPermsColumns();
bool retriesPermsColumnNumeric(int column);
// A row's cells: its number (from 1) and its values.
std::vector<std::string> retriesPermsCells(int number, const RetriesPermsRow& row);

// The row marks of a filled list, by row number - 1: 0 none, 1 warning, 2 error, 3 both.
using RetriesPermsMarks = std::function<void(std::vector<int>)>;

// The Cartridge Retries and Perms report into a result list: 1 when it ran to its end, 0 when a
// database error stopped it (the list keeps its columns and stays empty).
int ReportThresholdThread(const ReportRequest& request, QueryResultSink& list, const RetriesPermsMarks& marks = {});
