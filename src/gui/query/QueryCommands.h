#pragma once

class CMainFrame;
class CSplitterFrame;

// Reports > General SQL Query: a new query window.
CSplitterFrame* openGeneralQueryWindow(CMainFrame& frame);
// File > Export Data: the active window's result list to a file.
bool runExportDataCommand(CMainFrame& frame);
