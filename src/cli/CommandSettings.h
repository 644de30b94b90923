#pragma once

#include "ConsolePrompts.h"
#include "QtSettingsStore.h"

#include <csignal>
#include <string>

class UserPrompts;

// The desktop program's settings for one command's run, read into the application object, with
// the server's password from VAULTLINE_DB_PASSWORD (a password is never stored). When the
// database name or a table name the command reads is not set, says so on stderr, with the
// settings file and the advice, and gives false.
bool readCommandSettings(bool needsLibraryPerformanceTable = false);

// The password alone.
void readServerPassword();

// For the commands that run until they are stopped (monitor, agent): the desktop program's
// settings read with their store kept installed for the run, console prompts, and the server's
// password; the application object is let go of both on every way out.
class RunningCommandSettings {
public:
    RunningCommandSettings();
    ~RunningCommandSettings();
    RunningCommandSettings(const RunningCommandSettings&) = delete;
    RunningCommandSettings& operator=(const RunningCommandSettings&) = delete;

private:
    QtSettingsStore m_store;
    ConsolePrompts m_prompts;
};

// Puts prompts in the application object for one scope and takes them out on every path, so the
// application object never points at a dead object.
class InstalledPrompts {
public:
    explicit InstalledPrompts(UserPrompts* prompts);
    ~InstalledPrompts();
    InstalledPrompts(const InstalledPrompts&) = delete;
    InstalledPrompts& operator=(const InstalledPrompts&) = delete;
};

// SIGINT and SIGTERM, blocked in the calling thread so that it alone takes them (with sigwait or
// sigtimedwait); every thread started afterwards inherits the blocked set.
sigset_t blockStopSignals();
