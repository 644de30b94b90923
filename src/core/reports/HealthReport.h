#pragma once

#include "HealthStatements.h"
#include "MovingAverageTrend.h"
#include "ReportRequest.h"

#include <optional>
#include <string>

// The drive and cartridge health trend reports: per library address, per drive or cartridge,
// per field the moving-average trend block. 1 when the report ran to its end (cancelled
// included), 0 when a database error stopped it.
int ReportDrvThread(const ReportRequest& request);
int ReportCtgThread(const ReportRequest& request);
int runHealthReport(HealthReportKind kind, const ReportRequest& request);

// The drill-down of one field of one drive or cartridge: its first 101 points in the range of
// the request, oldest first. Nothing when the database cannot be reached, the statement fails or
// the field is not one of the report's.
struct DrillDownRequest {
    HealthReportKind kind = HealthReportKind::Drive;
    HealthSubject subject;
    std::string field; // the report's name
    ReportRequest run; // the dates of the report's run and its database
};
std::optional<DrillDownSeries> runDrillDown(const DrillDownRequest& request);
// The texts the drill-down graph shows above its plot: the field, and the drive or cartridge
// with the run's dates.
std::string drillDownTitle(const DrillDownRequest& request);
std::string drillDownLibraryText(const DrillDownRequest& request);
