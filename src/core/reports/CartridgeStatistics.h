#pragma once

#include "ReportRequest.h"

#include <string>

class ReportConnection;
class ReportStatements;

// One cartridge's block: its header and the highest value of each lifetime counter in the range,
// marked " (WARNING)" or " (ERROR)" by the thresholds while filters are enabled. Written into the
// view (window mode, followed by an empty line) with "" returned, or returned (view is null).
std::string CartridgeLifetimeMaxima(const ReportRequest& request, const ReportConnection& connection,
                                    const ReportStatements& statements, const std::string& address,
                                    const std::string& volser, const ReportRequest* view);

// The cartridge statistics report: 1 when it ran to its end, 0 when a database error stopped it.
int ReportCtgStatThread(const ReportRequest& request);
