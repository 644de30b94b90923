#include "ScopedApp.h"
#include "db/DataRemoval.h"
#include "db/Tables.h"

#include <gtest/gtest.h>

namespace {
using Rows = std::vector<std::vector<std::optional<std::string>>>;

class DataRemoval : public BackendTablesTest {
protected:
    DataRemoval() : BackendTablesTest("removal") {}

    void SetUp() override
    {
        BackendTablesTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // Two libraries; drive 12 of frame 3 in the first; CL0001 in both; a volser with a quote.
        for (const auto& [address, volser, frame, drive, time] :
             std::vector<std::tuple<std::string, std::string, int, int, std::string>>{
                 {"10.0.0.1", "CL0001", 3, 12, "10:00:00"},
                 {"10.0.0.1", "CL0002", 3, 12, "10:05:00"},
                 {"10.0.0.1", "CL0003", 1, 2, "10:10:00"},
                 {"10.0.0.1", "CL0004", 12, 3, "10:15:00"},
                 {"10.0.0.2", "CL0001", 3, 12, "10:00:00"},
                 {"10.0.0.2", "O''BRIEN", 1, 1, "10:20:00"},
             })
            ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base
                                                   + " (ipAddress, Date, Time, Volser, Frame, Drive) VALUES ('"
                                                   + address + "', '2026-12-07', '" + time + "', '" + volser + "', "
                                                   + std::to_string(frame) + ", " + std::to_string(drive) + ")"));
    }

    Rows rows(const std::string& columns)
    {
        return querySql(GetParam(), "select " + columns + " from " + base + " order by ipaddress, volser");
    }
    RemovalSelection pick(RemovalMode mode, const std::string& address, const std::string& entry)
    {
        return selectionFromTreeItem(mode, address, entry);
    }
};
} // namespace

TEST(DataRemovalText, SelectionAndStatementsFromTheTreeItems)
{
    // The frame sits between the first two blanks, the drive after the last.
    RemovalSelection drive =
        selectionFromTreeItem(RemovalMode::ByDrive, std::string("10.0.0.1"), driveEntryText(3, 12));
    EXPECT_EQ(driveEntryText(3, 12), "Frame: 3  Drive: 12");
    EXPECT_TRUE(drive.entrySelected);
    EXPECT_EQ(drive.frame, "3");
    EXPECT_EQ(drive.drive, "12");
    EXPECT_EQ(removalStatement(RemovalMode::ByDrive, "MH", drive),
              "delete from MH where ipaddress = '10.0.0.1' and frame = 3 and drive = 12");
    EXPECT_EQ(removalCountStatement(RemovalMode::ByDrive, "MH", drive),
              "select count(*) from MH where ipaddress = '10.0.0.1' and frame = 3 and drive = 12");
    EXPECT_EQ(removalQuestion(RemovalMode::ByDrive, drive),
              "Are you sure you want to delete data entries including:\nIP: 10.0.0.1  Frame: 3  Drive: 12");

    // Quotes in the address and the volser are doubled; the statement is the same for Oracle.
    RemovalSelection volser = selectionFromTreeItem(RemovalMode::ByVolser, std::string("lib'x"), "O'B");
    EXPECT_EQ(removalStatement(RemovalMode::ByVolser, "MH", volser),
              "delete from MH where ipaddress = 'lib''x' and volser = 'O''B'");
    EXPECT_EQ(removalQuestion(RemovalMode::ByVolser, volser),
              "Are you sure you want to delete data entries including:\nIP: lib'x  Volser: O'B");

    // A library item selects nothing; a drive text that is not two numbers builds no statement.
    EXPECT_FALSE(selectionFromTreeItem(RemovalMode::ByDrive, std::nullopt, "10.0.0.1").entrySelected);
    EXPECT_FALSE(
        selectionIsDeletable(RemovalMode::ByDrive,
                             selectionFromTreeItem(RemovalMode::ByDrive, std::string("a"), "Frame: 3;drop  Drive: 1")));
    EXPECT_FALSE(selectionIsDeletable(RemovalMode::None, drive));
}

TEST_P(DataRemoval, TreeListsLibrariesWithTheirDrivesOrVolsers)
{
    EXPECT_EQ(loadRemovalTree(RemovalMode::None)->size(), 0u) << "no mode, no tree and no database";
    const auto drives = loadRemovalTree(RemovalMode::ByDrive);
    ASSERT_TRUE(drives);
    ASSERT_EQ(drives->size(), 2u);
    EXPECT_EQ((*drives)[0].address, "10.0.0.1");
    EXPECT_EQ((*drives)[0].entries,
              (std::vector<std::string>{"Frame: 1  Drive: 2", "Frame: 3  Drive: 12", "Frame: 12  Drive: 3"}));
    const auto volsers = loadRemovalTree(RemovalMode::ByVolser);
    ASSERT_TRUE(volsers);
    EXPECT_EQ((*volsers)[1].address, "10.0.0.2");
    EXPECT_EQ((*volsers)[1].entries, (std::vector<std::string>{"CL0001", "O'BRIEN"}));

    // A table that is not there: nothing, and the user is told.
    scoped.app().settings.mountHistoryTableName = base + "_none";
    EXPECT_FALSE(loadRemovalTree(RemovalMode::ByVolser));
    EXPECT_EQ(scoped.prompts.messageTexts().size(), 1u);
    const std::string log = scoped.logText();
    const std::string select = "select distinct ipaddress from " + base + "_none";
    EXPECT_TRUE(log.find("Error preparing the select statement in report by mount rates:" + select) != std::string::npos
                || log.find("Error executing the select statement in report by mount rates:" + select)
                       != std::string::npos)
        << log;
}

TEST_P(DataRemoval, DriveTwelveOfFrameThreeGoesFromTheOneLibraryOnly)
{
    scoped.prompts.yesNoReplies = {true};
    const auto result =
        runDataRemoval(RemovalMode::ByDrive, pick(RemovalMode::ByDrive, "10.0.0.1", "Frame: 3  Drive: 12"));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, RemovalResult::Status::Deleted);
    EXPECT_EQ(result->rows, 2);
    // Counted before asking: the two rows of that drive in that library, not the other library's.
    EXPECT_EQ(scoped.prompts.questions(),
              std::vector<std::string>{"Are you sure you want to delete data entries including:\n"
                                       "IP: 10.0.0.1  Frame: 3  Drive: 12\n2 entries will be deleted from "
                                       + base + "."});
    EXPECT_EQ(scoped.prompts.messageTexts(), std::vector<std::string>{"Entries successfully deleted."});
    EXPECT_EQ(rows("ipaddress, volser"),
              (Rows{{"10.0.0.1", "CL0003"}, {"10.0.0.1", "CL0004"}, {"10.0.0.2", "CL0001"}, {"10.0.0.2", "O'BRIEN"}}))
        << "frame 12 drive 3 and the other library's drive 12 stay";
    EXPECT_NE(
        scoped.logText().find("delete from " + base + " where ipaddress = '10.0.0.1' and frame = 3 and drive = 12"),
        std::string::npos);
    const auto tree = loadRemovalTree(RemovalMode::ByDrive);
    ASSERT_TRUE(tree);
    EXPECT_EQ((*tree)[0].entries, (std::vector<std::string>{"Frame: 1  Drive: 2", "Frame: 12  Drive: 3"}));

    // The same drive again: nothing matches any more, which is no successful deletion.
    scoped.prompts.yesNoReplies = {true};
    const auto again =
        runDataRemoval(RemovalMode::ByDrive, pick(RemovalMode::ByDrive, "10.0.0.1", "Frame: 3  Drive: 12"));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, RemovalResult::Status::NothingMatched);
    EXPECT_NE(scoped.prompts.questions().back().find("\n0 entries will be deleted from"), std::string::npos);
    EXPECT_EQ(scoped.prompts.messageTexts().back(), "Unsuccessful deletion.");
    EXPECT_EQ(scoped.prompts.messages().back().icon, MessageIcon::Stop);
}

TEST_P(DataRemoval, VolserInTwoLibrariesAndVolserWithAQuote)
{
    scoped.prompts.yesNoReplies = {true, true};
    ASSERT_TRUE(runDataRemoval(RemovalMode::ByVolser, pick(RemovalMode::ByVolser, "10.0.0.2", "CL0001")));
    ASSERT_TRUE(runDataRemoval(RemovalMode::ByVolser, pick(RemovalMode::ByVolser, "10.0.0.2", "O'BRIEN")));
    EXPECT_EQ(scoped.prompts.questions().front(),
              "Are you sure you want to delete data entries including:\nIP: 10.0.0.2  Volser: CL0001\n"
              "1 entry will be deleted from "
                  + base + ".");
    EXPECT_EQ(scoped.prompts.messageTexts(),
              (std::vector<std::string>{"Entries successfully deleted.", "Entries successfully deleted."}));
    EXPECT_EQ(rows("ipaddress, volser"),
              (Rows{{"10.0.0.1", "CL0001"}, {"10.0.0.1", "CL0002"}, {"10.0.0.1", "CL0003"}, {"10.0.0.1", "CL0004"}}));
}

TEST_P(DataRemoval, NothingIsDeletedWithoutModeEntryOrYes)
{
    const RemovalSelection drive = pick(RemovalMode::ByDrive, "10.0.0.1", "Frame: 3  Drive: 12");
    // Without a mode the mode message comes first, even with an entry selected.
    EXPECT_FALSE(runDataRemoval(RemovalMode::None, drive));
    // A library selected: the selection message.
    EXPECT_FALSE(
        runDataRemoval(RemovalMode::ByDrive, selectionFromTreeItem(RemovalMode::ByDrive, std::nullopt, "10.0.0.1")));
    // No to the question.
    scoped.prompts.yesNoReplies = {false};
    EXPECT_FALSE(runDataRemoval(RemovalMode::ByDrive, drive));
    EXPECT_EQ(scoped.prompts.messageTexts(),
              (std::vector<std::string>{
                  "Please check the \"By Drive\" or \"By Volser\" checkbox to choose how to remove data.",
                  "Please selet a volser or drive information to delete."}));
    EXPECT_EQ(scoped.prompts.messages()[0].icon, MessageIcon::Information);
    EXPECT_EQ(scoped.prompts.questions().size(), 1u);
    EXPECT_EQ(countRows(GetParam(), base), 6);

    // A database that refuses the count: the database's message, then the failure, and no question.
    scoped.app().settings.mountHistoryTableName = base + "_none";
    scoped.prompts.yesNoReplies = {true};
    const auto failed = runDataRemoval(RemovalMode::ByDrive, drive);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->status, RemovalResult::Status::Failed);
    EXPECT_EQ(scoped.prompts.questions().size(), 1u);
    const auto shown = scoped.prompts.messageTexts();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[2].rfind("The table does not exist in the database.", 0), 0u) << shown[2];
    EXPECT_EQ(shown[3], "Unsuccessful deletion.");
    EXPECT_NE(scoped.logText().find("select count(*) from " + base + "_none where ipaddress = '10.0.0.1'"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Backends, DataRemoval, ::testing::ValuesIn(testBackends()), BackendName());
