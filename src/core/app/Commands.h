#pragma once

#include <optional>
#include <string>
#include <vector>

// The program's commands, the menu bars that carry them, and when each is enabled. The
// window builds its menus and toolbar from these tables and asks commandEnabled().

enum class CommandId {
    StartMonitoring,
    Import,
    Save,
    SaveAs,
    ExportData,
    Print,
    PrintPreview,
    PrintSetup,
    Close,
    Exit,
    Undo,
    Cut,
    Copy,
    Paste,
    Find,
    FindNext,
    Replace,
    SelectAll,
    ViewToolbar,
    ViewStatusBar,
    Setup,
    Connect,
    Disconnect,
    GeneralSqlQuery,
    CustomReport,
    CartridgeHealth,
    DriveHealth,
    CartridgeStatistics,
    EncryptionStatus,
    MountRates,
    CartridgeRetriesPerms,
    LibraryOverview,
    DriveInfo,
    DeleteData,
    Thresholds,
    ReportsAgent,
    Cascade,
    Tile,
    ArrangeIcons,
    HelpTopics,
    About,
    Separator,
};

enum class EnableRule {
    Always,          // Export Data, Thresholds, Help Topics, About, Exit
    Connected,       // most database commands
    NotConnected,    // Setup
    ConnectSettings, // Connect: not connected, and the settings it needs are set
    PrintableActive, // Print, Print Preview: a monitor, a text report or a graph window prints
    SaveByTitle,     // File > Save: its text and enabling follow the active window's title
    Framework,       // window, view and edit commands
};

struct CommandInfo {
    CommandId id;
    const char* objectName; // stable name of the action (tests and the toolbar find it by it)
    const char* text;       // menu text with its mnemonic and shortcut
    const char* statusText; // shown in the status bar while highlighted ("" for none)
    EnableRule rule;
};

const CommandInfo& commandInfo(CommandId id);
const std::vector<CommandInfo>& allCommands();

enum class ActiveWindowKind { None, Monitor, ShortReport, FullReport, Query, Graph, Table, CustomReport };

struct CommandState {
    bool connected = false;
    bool connectSettingsComplete = false;
    ActiveWindowKind activeKind = ActiveWindowKind::None;
    std::string activeTitle;
};

bool commandEnabled(CommandId id, const CommandState& state);

// Connect needs the database name, mount history table name and date format.
bool connectSettingsComplete(const std::string& databaseName, const std::string& mountHistoryTableName,
                             const std::string& dateOutputFormat);

// File > Save by the active window's title: the item's text, or nothing when disabled.
std::optional<std::string> saveCommandText(const std::string& activeTitle, bool activeIsMonitor);

enum class MenuBarKind { Main, Monitor, ShortReport, FullReport };

struct MenuInfo {
    std::string title;
    std::vector<CommandId> items;
    // The Window menu: after its items, the open child windows, the active one checked.
    bool listsWindows = false;
};

MenuBarKind menuBarFor(ActiveWindowKind kind);
std::vector<MenuInfo> menuBar(MenuBarKind kind);
// The text an item shows in a given bar (Start Monitoring is "New Thread" in the report bars).
std::string commandText(CommandId id, MenuBarKind bar);

// Toolbar buttons in order.
std::vector<CommandId> toolbarCommands();

// The status bar's monitor pane.
std::string monitorPaneText(int openMonitors);
inline constexpr const char* MonitorPaneSizingText = "Running: 0";

// The template a report command opens (nothing for commands that open none).
std::optional<std::string> templateForCommand(CommandId id);
