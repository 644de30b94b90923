#pragma once

class CMainFrame;

// The custom report form and the custom report table window kinds.
void registerCustomReportWindows(CMainFrame& frame);

inline constexpr const char* CustomReportTemplate = "Custom Reports ";
inline constexpr const char* TableTemplate = "LVR Table ";
