#pragma once

class CMainFrame;

// The line and bar graph window kinds.
void registerGraphWindows(CMainFrame& frame);

inline constexpr const char* LineGraphTemplate = "LVR Line Graph ";
inline constexpr const char* BarGraphTemplate = "LVR Bar Graph ";
