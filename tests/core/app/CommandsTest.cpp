#include "app/Commands.h"
#include "app/Help.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(Commands, SaveTextFollowsTheTitleAfterItsFirstCharacter)
{
    EXPECT_EQ(saveCommandText("General SQL Query", false), "&Export Query...\tCtrl+S");
    EXPECT_EQ(saveCommandText("LVR Line Graph 1", false), "Capture and &Save...\tCtrl+S");
    EXPECT_EQ(saveCommandText("LVR Table 3", false), "&Save...\tCtrl+S");
    EXPECT_EQ(saveCommandText("10.0.0.5", true), "&Save...\tCtrl+S");
    // The first character does not count: a title that starts with the word is not matched.
    EXPECT_EQ(saveCommandText("Graph", false), std::nullopt);
    EXPECT_EQ(saveCommandText("Query results", false), std::nullopt);
    EXPECT_EQ(saveCommandText("Report By Mount Rates 1", false), std::nullopt);
    EXPECT_EQ(saveCommandText("", false), std::nullopt);
    // Graph wins over Query and Table.
    EXPECT_EQ(saveCommandText("A Query Table Graph", false), "Capture and &Save...\tCtrl+S");
}

TEST(Commands, EnablingRules)
{
    CommandState offline;
    offline.connectSettingsComplete = true;
    std::vector<std::string> enabled;
    for (const auto& info : allCommands())
        if (info.id != CommandId::Separator && info.rule != EnableRule::Framework && commandEnabled(info.id, offline))
            enabled.push_back(info.objectName);
    std::sort(enabled.begin(), enabled.end());
    EXPECT_EQ(enabled, (std::vector<std::string>{"About", "Connect", "Exit", "ExportData", "HelpTopics", "Setup",
                                                 "Thresholds"}));
    offline.connectSettingsComplete = false;
    EXPECT_FALSE(commandEnabled(CommandId::Connect, offline));

    CommandState online;
    online.connected = true;
    online.connectSettingsComplete = true;
    EXPECT_FALSE(commandEnabled(CommandId::Setup, online));
    EXPECT_FALSE(commandEnabled(CommandId::Connect, online));
    EXPECT_TRUE(commandEnabled(CommandId::Disconnect, online));
    EXPECT_FALSE(commandEnabled(CommandId::Print, online));
    online.activeKind = ActiveWindowKind::Monitor;
    EXPECT_TRUE(commandEnabled(CommandId::Print, online));
    // A report and a graph print too; a query list does not.
    for (ActiveWindowKind kind : {ActiveWindowKind::ShortReport, ActiveWindowKind::FullReport, ActiveWindowKind::Graph})
        EXPECT_TRUE(commandEnabled(CommandId::PrintPreview, CommandState{true, true, kind, ""}));
    EXPECT_FALSE(commandEnabled(CommandId::Print, CommandState{true, true, ActiveWindowKind::Query, ""}));
    EXPECT_TRUE(commandEnabled(CommandId::Save, online));

    EXPECT_FALSE(connectSettingsComplete("Vaultline", "MH", ""));
    EXPECT_TRUE(connectSettingsComplete("Vaultline", "MH", "%m-%d-%Y"));
}

TEST(Commands, MenuBarsCarryTheirKindsCommands)
{
    auto has = [](MenuBarKind kind, CommandId id) {
        for (const auto& menu : menuBar(kind))
            if (std::find(menu.items.begin(), menu.items.end(), id) != menu.items.end())
                return true;
        return false;
    };
    // The predefined reports are on the full report bar, and on the empty main window's bar.
    EXPECT_TRUE(has(MenuBarKind::FullReport, CommandId::MountRates));
    EXPECT_TRUE(has(MenuBarKind::Main, CommandId::MountRates));
    EXPECT_TRUE(has(MenuBarKind::Main, CommandId::ReportsAgent));
    EXPECT_FALSE(has(MenuBarKind::ShortReport, CommandId::MountRates));
    EXPECT_FALSE(has(MenuBarKind::Monitor, CommandId::Thresholds));
    EXPECT_TRUE(has(MenuBarKind::Monitor, CommandId::Print));
    EXPECT_FALSE(has(MenuBarKind::Main, CommandId::Print));
    EXPECT_TRUE(has(MenuBarKind::ShortReport, CommandId::ExportData));
    for (auto kind : {MenuBarKind::Main, MenuBarKind::Monitor, MenuBarKind::ShortReport, MenuBarKind::FullReport}) {
        EXPECT_TRUE(has(kind, CommandId::Connect));
        EXPECT_TRUE(has(kind, CommandId::HelpTopics));
        EXPECT_TRUE(has(kind, CommandId::Cascade));
    }
    EXPECT_EQ(commandText(CommandId::StartMonitoring, MenuBarKind::ShortReport), "&New Thread");
    EXPECT_EQ(menuBarFor(ActiveWindowKind::Query), MenuBarKind::Main);
    EXPECT_EQ(menuBarFor(ActiveWindowKind::Graph), MenuBarKind::Main);
    EXPECT_EQ(templateForCommand(CommandId::DriveHealth), "Report By Drive Health Statistics ");
    EXPECT_EQ(templateForCommand(CommandId::GeneralSqlQuery), std::nullopt);
}

TEST(Commands, MonitorPaneAndHelpAddresses)
{
    EXPECT_EQ(monitorPaneText(0), "Monitor 0");
    EXPECT_EQ(monitorPaneText(99), "Monitor 99");
    EXPECT_EQ(monitorPaneText(100), "Monitor100");

    EXPECT_EQ(helpFileFor("/opt/vaultline/bin/vaultline"), "/opt/vaultline/bin/vaultline.chm");
    EXPECT_EQ(helpFileFor("/opt/v1.2/vaultline"), "/opt/v1.2/vaultline.chm");
    EXPECT_EQ(helpAddress("/x/vaultline.chm", HelpContext::QueryForm),
              "/x/vaultline.chm::/lvr1_genqueryhelp_3tzg67.html");
    EXPECT_EQ(helpPage(HelpContext::ImportDialog), "lvr1_importfile_help.html");
    EXPECT_EQ(helpPage(HelpContext::Other), "lvr1_overviewhelp_3tz904.html");
    EXPECT_EQ(pageOfHelpAddress("/x/vaultline.chm::/lvr1_setuphelp_3tm9pr.html"), "lvr1_setuphelp_3tm9pr.html");
}
