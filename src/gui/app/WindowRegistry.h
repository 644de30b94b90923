#pragma once

class CMainFrame;

// Registers every window kind and the handlers of the commands that open windows. Each
// subsystem adds its own registration here.
void registerWindowKinds(CMainFrame& frame);
