#pragma once

#include "ReportRequest.h"

#include <string>

class ReportConnection;
class ReportStatements;

// One cartridge's line: the date and time of its last mount in the range, whether it was
// encrypted then, and how many of its mounts in the range re-keyed it. Written into the view
// with "" returned, or returned (view is null). A failed query leaves its part empty or 0.
std::string CartridgeEncryptionStatus(const ReportRequest& request, const ReportConnection& connection,
                                      const ReportStatements& statements, const std::string& address,
                                      const std::string& volser, const ReportRequest* view);

// The encryption status report: 1 when it ran to its end, 0 when a database error stopped it.
int ReportEncThread(const ReportRequest& request);
