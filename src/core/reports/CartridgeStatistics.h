#pragma once

#include "ReportRequest.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

class ReportConnection;
class ReportStatements;

// A cartridge's lifetime maxima read for all cartridges at once, by counter in report order; a
// counter without one is read with a query of its own.
using LifetimeMaxima = std::array<std::optional<std::int64_t>, 5>;

// One cartridge's block: its header and the highest value of each lifetime counter in the range,
// marked " (WARNING)" or " (ERROR)" by the thresholds while filters are enabled. A maximum that
// is not a whole number of 64 bits (another program's row) is named in the debug log. Written into the
// view (window mode, followed by an empty line) with "" returned, or returned (view is null).
std::string CartridgeLifetimeMaxima(const ReportRequest& request, const ReportConnection& connection,
                                    const ReportStatements& statements, const std::string& address,
                                    const std::string& volser, const ReportRequest* view,
                                    const LifetimeMaxima* batched = nullptr);

// The maxima of every cartridge of an address from one statement, by volser. Empty when the
// statement failed; a value it could not read exactly as the per-cartridge query would is left
// out.
std::unordered_map<std::string, LifetimeMaxima> batchedLifetimeMaxima(const ReportRequest& request,
                                                                      const ReportConnection& connection,
                                                                      const ReportStatements& statements,
                                                                      const std::string& address);

// The cartridge statistics report: 1 when it ran to its end, 0 when a database error stopped it.
int ReportCtgStatThread(const ReportRequest& request);
