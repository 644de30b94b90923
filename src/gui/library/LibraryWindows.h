#pragma once

class CMainFrame;

// The monitor window kind ("Qmx", opened by Start Monitoring) and the Drive Info command.
void registerLibraryWindows(CMainFrame& frame);
