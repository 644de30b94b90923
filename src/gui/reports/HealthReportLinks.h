#pragma once

#include "reports/HealthStatements.h"
#include "reports/ReportRequest.h"

#include <functional>

class CMainFrame;
class QTextEdit;

// Marks every field name of a finished health report as a link (not-enough lines included).
void MarkFieldLinks(QTextEdit* view, HealthReportKind kind);

// A left-button press on a field name of the view opens a line graph of that field for the
// drive or cartridge of the section it stands in, in the main window the view belongs to.
// `lastRun` gives the dates and database of the run the text came from.
void installHealthReportLinks(QTextEdit* view, HealthReportKind kind, std::function<ReportRequest()> lastRun);

// The drill-down itself: the field's section found above `position` in the view's text, a new
// "LVR Line Graph " window, and a thread that fills it with the data and moving-average series.
// Nothing opens when the position is not on a field name or no section stands above it.
bool openDrillDown(QTextEdit* view, int position, HealthReportKind kind, CMainFrame& frame,
                   const ReportRequest& lastRun);
