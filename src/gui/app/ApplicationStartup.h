#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "CMainFrame.h"
#include "QtSettingsStore.h"
#include "QtUserPrompts.h"

// What start-up creates and the process keeps until it ends.
struct RunningApplication {
    std::unique_ptr<QtSettingsStore> settings;
    std::unique_ptr<QtUserPrompts> prompts;
    std::unique_ptr<CMainFrame> mainFrame;
};

// Opens the debug log in the working directory. On failure shows the message box and
// returns false: the process then ends with status -1.
bool openDebugLogOrExplain(const QString& path);

// The start-up sequence after the debug log is open: settings, debug switch, main window,
// then Connect or Setup. The decision runs once the window is showing, after the import the
// arguments ask for (startupImportFromArguments), if any.
RunningApplication startApplication(const QStringList& arguments, std::unique_ptr<QtSettingsStore> settings);
