#include "Commands.h"

#include "reports/ReportKinds.h"

#include <algorithm>

namespace {
using C = CommandId;
using R = EnableRule;

const std::vector<CommandInfo>& table()
{
    static const std::vector<CommandInfo> commands = {
        {C::StartMonitoring, "StartMonitoring", "&Start Monitoring...", "Start monitoring a tape library",
         R::Connected},
        {C::Import, "Import", "&Import..", "", R::Connected},
        {C::Save, "Save", "&Save...\tCtrl+S", "Save the active document", R::SaveByTitle},
        {C::SaveAs, "SaveAs", "Save &As...", "Save the active document with a new name", R::Framework},
        {C::ExportData, "ExportData", "&Export Data", "Export general SQL query data to CSV file", R::Always},
        {C::Print, "Print", "&Print...\tCtrl+P", "Print the active document", R::PrintableActive},
        {C::PrintPreview, "PrintPreview", "Print Pre&view", "Display full pages", R::PrintableActive},
        {C::PrintSetup, "PrintSetup", "P&rint Setup...", "Change the printer and printing options", R::Framework},
        {C::Close, "Close", "&Close", "Close the active document", R::Framework},
        {C::Exit, "Exit", "E&xit", "Quit the application; prompts to save documents", R::Always},
        {C::Undo, "Undo", "&Undo\tCtrl+Z", "Undo the last action", R::Framework},
        {C::Cut, "Cut", "Cu&t\tCtrl+X", "Cut the selection and put it on the Clipboard", R::Framework},
        {C::Copy, "Copy", "&Copy\tCtrl+C", "Copy the selection and put it on the Clipboard", R::Framework},
        {C::Paste, "Paste", "&Paste\tCtrl+V", "Insert Clipboard contents", R::Framework},
        {C::Find, "Find", "&Find...\tCtrl+F", "Find the specified text", R::Framework},
        {C::FindNext, "FindNext", "Find &Next\tF3", "Repeat the last action", R::Framework},
        {C::Replace, "Replace", "R&eplace...\tCtrl+H", "Replace specific text with different text", R::Framework},
        {C::SelectAll, "SelectAll", "Select A&ll\tCtrl+A", "Select the entire document", R::Framework},
        {C::ViewToolbar, "ViewToolbar", "&Toolbar", "Show or hide the toolbar", R::Framework},
        {C::ViewStatusBar, "ViewStatusBar", "&Status Bar", "Show or hide the status bar", R::Framework},
        {C::Setup, "Setup", "&Setup...", "Setup database and database table", R::NotConnected},
        {C::Connect, "Connect", "&Connect...", "Connect to database", R::ConnectSettings},
        {C::Disconnect, "Disconnect", "&Disconnect...", "Disconnect from database", R::Connected},
        {C::GeneralSqlQuery, "GeneralSqlQuery", "&General SQL Query...", "Generate and execute general SQL query",
         R::Connected},
        {C::CustomReport, "CustomReport", "C&ustom Report...", "Generate custom reports", R::Connected},
        {C::CartridgeHealth, "CartridgeHealth", "Cartridge &Health Statistics",
         "Generate a cartridge health statistics report", R::Connected},
        {C::DriveHealth, "DriveHealth", "&Drive Health Statistics", "Generate a drive health statistics report",
         R::Connected},
        {C::CartridgeStatistics, "CartridgeStatistics", "Cartridge &Statistics", "Generate a drive statistics report",
         R::Connected},
        {C::EncryptionStatus, "EncryptionStatus", "&Encryption Status", "Generate an encryption status report",
         R::Connected},
        {C::MountRates, "MountRates", "&Mount Rates", "Generate a drive and cartridge average mount rate report",
         R::Connected},
        {C::CartridgeRetriesPerms, "CartridgeRetriesPerms", "Cartridge &Retries and Perms",
         "Generate a report based on all threshold alerts", R::Connected},
        {C::LibraryOverview, "LibraryOverview", "Library &Overview...",
         "Which drives and cartridges need attention: the drive or the tape", R::Connected},
        {C::DriveInfo, "DriveInfo", "Drive &Info", "Drive information by library", R::Connected},
        {C::DeleteData, "DeleteData", "&Delete Data...", "Database data removal", R::Connected},
        {C::Thresholds, "Thresholds", "&Thresholds", "Setting limits/thresholds", R::Always},
        {C::ReportsAgent, "ReportsAgent", "&Reports Agent", "Settings to configure a reports agent", R::Connected},
        {C::Cascade, "Cascade", "&Cascade", "Arrange windows so they overlap", R::Framework},
        {C::Tile, "Tile", "&Tile", "Arrange windows as non-overlapping tiles", R::Framework},
        {C::ArrangeIcons, "ArrangeIcons", "&Arrange Icons", "Arrange icons at the bottom of the window", R::Framework},
        {C::HelpTopics, "HelpTopics", "&Help Topics...", "List Help topics", R::Always},
        {C::About, "About", "&About...", "Information", R::Always},
        {C::Separator, "", "", "", R::Framework},
    };
    return commands;
}

bool containsAfterFirst(const std::string& title, const char* word)
{
    return title.size() > 1 && title.find(word, 1) != std::string::npos;
}
} // namespace

const std::vector<CommandInfo>& allCommands()
{
    return table();
}

const CommandInfo& commandInfo(CommandId id)
{
    const auto& commands = table();
    return *std::find_if(commands.begin(), commands.end(), [id](const CommandInfo& c) { return c.id == id; });
}

bool connectSettingsComplete(const std::string& databaseName, const std::string& mountHistoryTableName,
                             const std::string& dateOutputFormat)
{
    return !databaseName.empty() && !mountHistoryTableName.empty() && !dateOutputFormat.empty();
}

std::optional<std::string> saveCommandText(const std::string& title, bool activeIsMonitor)
{
    if (containsAfterFirst(title, "Graph"))
        return std::string("Capture and &Save...\tCtrl+S");
    if (containsAfterFirst(title, "Table") || activeIsMonitor)
        return std::string("&Save...\tCtrl+S");
    if (containsAfterFirst(title, "Query"))
        return std::string("&Export Query...\tCtrl+S");
    return std::nullopt;
}

bool commandEnabled(CommandId id, const CommandState& state)
{
    switch (commandInfo(id).rule) {
    case R::Always:
        return true;
    case R::Connected:
        return state.connected;
    case R::NotConnected:
        return !state.connected;
    case R::ConnectSettings:
        return !state.connected && state.connectSettingsComplete;
    case R::PrintableActive:
        return state.activeKind == ActiveWindowKind::Monitor || state.activeKind == ActiveWindowKind::ShortReport
               || state.activeKind == ActiveWindowKind::FullReport || state.activeKind == ActiveWindowKind::Graph;
    case R::SaveByTitle:
        return saveCommandText(state.activeTitle, state.activeKind == ActiveWindowKind::Monitor).has_value();
    case R::Framework:
        return true;
    }
    return false;
}

MenuBarKind menuBarFor(ActiveWindowKind kind)
{
    switch (kind) {
    case ActiveWindowKind::Monitor:
        return MenuBarKind::Monitor;
    case ActiveWindowKind::ShortReport:
        return MenuBarKind::ShortReport;
    case ActiveWindowKind::FullReport:
        return MenuBarKind::FullReport;
    default:
        return MenuBarKind::Main;
    }
}

std::vector<MenuInfo> menuBar(MenuBarKind kind)
{
    const C S = C::Separator;
    std::vector<MenuInfo> bar;
    const bool report = kind == MenuBarKind::ShortReport || kind == MenuBarKind::FullReport;
    if (report) {
        bar.push_back({"&File",
                       {C::StartMonitoring, C::Close, C::Save, C::SaveAs, C::ExportData, S, C::Print, C::PrintPreview,
                        C::PrintSetup, S, C::Exit}});
        bar.push_back(
            {"&Edit", {C::Undo, S, C::Cut, C::Copy, C::Paste, S, C::Find, C::FindNext, C::Replace, C::SelectAll}});
    } else if (kind == MenuBarKind::Monitor) {
        bar.push_back({"&File",
                       {C::StartMonitoring, C::Import, C::Close, C::Save, C::SaveAs, S, C::Print, C::PrintPreview,
                        C::PrintSetup, S, C::Exit}});
        bar.push_back({"&Edit", {C::Copy, S, C::Find, C::FindNext, S, C::SelectAll}});
    } else {
        bar.push_back({"&File", {C::StartMonitoring, C::Import, C::Save, C::Close, S, C::PrintSetup, S, C::Exit}});
    }
    bar.push_back({"&View", {C::ViewToolbar, C::ViewStatusBar}});
    bar.push_back({"&Database", {C::Setup, C::Connect, C::Disconnect}});

    switch (kind) {
    case MenuBarKind::FullReport:
        bar.push_back({"&Reports",
                       {C::CartridgeHealth, C::DriveHealth, C::CartridgeStatistics, C::EncryptionStatus, C::MountRates,
                        C::CartridgeRetriesPerms, C::LibraryOverview, S, C::GeneralSqlQuery, C::CustomReport}});
        bar.push_back({"R&esources", {C::DriveInfo, C::DeleteData}});
        bar.push_back({"&Settings", {C::Thresholds, C::ReportsAgent}});
        break;
    case MenuBarKind::Main:
        // The empty main window offers the report windows' own commands as well, so that the
        // first report, the thresholds and the agent can be reached without a report open.
        bar.push_back(
            {"&Reports",
             {C::GeneralSqlQuery, C::CustomReport, S, C::CartridgeHealth, C::DriveHealth, C::CartridgeStatistics,
              C::EncryptionStatus, C::MountRates, C::CartridgeRetriesPerms, C::LibraryOverview}});
        bar.push_back({"R&esources", {C::DriveInfo, C::DeleteData}});
        bar.push_back({"&Settings", {C::Thresholds, C::ReportsAgent}});
        break;
    default:
        bar.push_back({"&Reports", {C::GeneralSqlQuery, C::CustomReport}});
        bar.push_back({"R&esources", {C::DeleteData}});
        break;
    }
    bar.push_back({"&Window", {C::Cascade, C::Tile, C::ArrangeIcons}, true});
    bar.push_back({"&Help", {C::HelpTopics, S, C::About}});
    return bar;
}

std::string commandText(CommandId id, MenuBarKind bar)
{
    if (id == C::StartMonitoring && (bar == MenuBarKind::ShortReport || bar == MenuBarKind::FullReport))
        return "&New Thread";
    return commandInfo(id).text;
}

std::vector<CommandId> toolbarCommands()
{
    return {C::StartMonitoring, C::Save,  C::Separator, C::Copy, C::Paste,
            C::Separator,       C::Print, C::Separator, C::About};
}

std::string monitorPaneText(int openMonitors)
{
    return (openMonitors >= 100 ? "Monitor" : "Monitor ") + std::to_string(openMonitors);
}

std::optional<std::string> templateForCommand(CommandId id)
{
    if (const ReportKindInfo* report = reportWindowForCommand(id))
        return report->windowTitle;
    switch (id) {
    case C::StartMonitoring:
        return "Qmx";
    case C::CustomReport:
        return "Custom Reports ";
    default:
        return std::nullopt;
    }
}
