#pragma once

class CMainFrame;

// The report windows' kinds and the Thresholds command.
void registerReportWindows(CMainFrame& frame);
