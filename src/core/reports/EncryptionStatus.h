#pragma once

#include "ReportRequest.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

class ReportConnection;
class ReportStatements;

// A cartridge's last mount in the range and its re-keys, read for all cartridges at once.
struct LastMount {
    std::string date;
    std::string time;
    std::int32_t status = 0;
    std::int32_t rekeys = 0;
};

// One cartridge's line: the date and time of its last mount in the range, whether it was
// encrypted then, and how many of its mounts in the range re-keyed it. Written into the view
// with "" returned, or returned (view is null). A failed query leaves its part empty or 0.
std::string CartridgeEncryptionStatus(const ReportRequest& request, const ReportConnection& connection,
                                      const ReportStatements& statements, const std::string& address,
                                      const std::string& volser, const ReportRequest* view,
                                      const LastMount* batched = nullptr);

// The last mounts of every cartridge of an address from one statement, by volser; nothing when
// the statement failed. A cartridge whose row the per-cartridge queries could read otherwise (a
// date or time not in its canonical form, a status or count that is not a plain integer) is
// there without one: those queries read it. A listed
// volser that is not there at all has no row the per-cartridge queries would find.
using BatchedLastMounts = std::unordered_map<std::string, std::optional<LastMount>>;
std::optional<BatchedLastMounts> batchedLastMounts(const ReportRequest& request, const ReportConnection& connection,
                                                   const ReportStatements& statements, const std::string& address);

// The encryption status report: 1 when it ran to its end, 0 when a database error stopped it.
int ReportEncThread(const ReportRequest& request);
