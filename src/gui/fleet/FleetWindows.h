#pragma once

class CMainFrame;

// Reports > Library Overview... on the main window.
void registerFleetWindows(CMainFrame& frame);
// The desktop program's Connect: once connected to a database with mount history, the overview
// opens by itself unless the setting "Setup/Overview After Connect" is 0.
void installOverviewAfterConnect(CMainFrame& frame);
