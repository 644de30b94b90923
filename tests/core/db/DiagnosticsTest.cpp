#include "ScopedApp.h"
#include "db/DiagnosticRules.h"
#include "db/DiagnosticsWindow.h"
#include "db/qmxDB.h"

#include <gtest/gtest.h>

namespace {
struct RecordingWindow : DiagnosticsWindow {
    Kind kind;
    RecordingPrompts* prompts;
    std::vector<std::string> events; // focus calls, and "box" when a message was shown before them
    explicit RecordingWindow(Kind k, RecordingPrompts* p = nullptr) : kind(k), prompts(p) {}
    Kind windowKind() const override { return kind; }
    void note(const std::string& what)
    {
        events.push_back(what + (prompts != nullptr ? " after " + std::to_string(prompts->messages().size()) : ""));
    }
    void focusDatabaseName() override { note("database"); }
    void focusIpAddress() override { note("address"); }
    void focusTableName() override { note("table"); }
};

std::string message(const DiagnosticRule* rule)
{
    return rule != nullptr && rule->message != nullptr ? rule->message : "";
}
} // namespace

TEST(DiagnosticRules, FirstMatchingRuleOfTheChosenListDecides)
{
    const std::string both = "SQLSTATE: 42X05\nMessage Text:ORA-00942 table or view\n";
    EXPECT_EQ(message(findDiagnosticRule(both, true)), "Table name does not exist. Please try again.");
    EXPECT_EQ(message(findDiagnosticRule(both, false)), "ERROR: Table does not exist in database");

    EXPECT_EQ(message(findDiagnosticRule("SQLSTATE: IM002\n", true)),
              "Test Failed: Invalid database name. Please try again.");
    EXPECT_EQ(message(findDiagnosticRule("SQLSTATE: IM002\n", false)),
              "Invalid database name.  Check database name in Setup.");
    // "37000" is a syntax error under the connection rules and a bad table name otherwise.
    EXPECT_EQ(message(findDiagnosticRule("37000", true)), "Invalid character used or syntax error. Please try again.");
    EXPECT_EQ(message(findDiagnosticRule("37000", false)), "Invalid character used. Check table name in Setup.");
    EXPECT_EQ(findDiagnosticRule("SQLSTATE: HY000\n", true), nullptr);
    EXPECT_EQ(findDiagnosticRule("SQLSTATE: HY000\n", false), nullptr);
    // Username rule comes first among the Nimbus codes under the connection rules only.
    EXPECT_EQ(message(findDiagnosticRule("NMB04101E NMB04102E", true)),
              "Username and/or Password invalid.  Please try again.");
    EXPECT_EQ(message(findDiagnosticRule("NMB04101E NMB04102E", false)),
              "Invalid Database Name\nPlease check the Database Name.");
}

TEST(ReportDiagnostics, StopRuleShowsOneBoxAndLogsEveryRecord)
{
    ScopedApp scoped;
    std::vector<DiagnosticRecord> records = {
        {"08001", -4499, "[Nimbus] NMB04102E database not found"},
        {"08001", -1, "NMB04101E user rejected"},
        {"HY000", 7, "ORA-00942 table missing"},
    };
    qmxDB().reportDiagnosticRecords(3, records, Diagnostics::ShowUser);

    ASSERT_EQ(scoped.prompts.messageTexts(),
              std::vector<std::string>{"Invalid Database Name\nPlease check the Database Name."});
    EXPECT_EQ(scoped.prompts.messages()[0].icon, MessageIcon::Stop);
    const std::string log = scoped.logText();
    EXPECT_NE(log.find("Number of Diagnostic Records: 3"), std::string::npos);
    EXPECT_NE(log.find(": 1 of 3 diagnostic records\nSQLSTATE: 08001\nNative Error Code: -4499\nMessage Text:[Nimbus] "
                       "NMB04102E database not found\n\n"),
              std::string::npos);
    EXPECT_NE(log.find("2 of 3 diagnostic records"), std::string::npos);
    EXPECT_NE(log.find("3 of 3 diagnostic records"), std::string::npos);
}

TEST(ReportDiagnostics, NetworkStopRuleShowsOneBoxForACallOfManyRecords)
{
    // A server gone mid-statement reports the same failure in several records: one box, for
    // the first, whatever the later records would have shown.
    ScopedApp scoped;
    const std::vector<DiagnosticRecord> records = {
        {"08001", -4499, "NMB04104E connection refused"},
        {"08001", -4499, "NMB04105E connection reset"},
        {"28000", -1, "NMB04101E user rejected"},
        {"IM002", 0, "data source not found"},
    };
    qmxDB().reportDiagnosticRecords(4, records, Diagnostics::ShowUser);
    ASSERT_EQ(scoped.prompts.messages().size(), 1u);
    EXPECT_EQ(scoped.prompts.messageTexts()[0].rfind("Network Error: Invalid database IP port", 0), 0u);
    EXPECT_NE(scoped.logText().find("4 of 4 diagnostic records"), std::string::npos);

    // Without a stop rule every record with a message gets its box.
    qmxDB().reportDiagnosticRecords(2, {records[2], records[3]}, Diagnostics::ShowUser);
    EXPECT_EQ(scoped.prompts.messages().size(), 3u);
}

TEST(ReportDiagnostics, UnmatchedRecordsShowTheirTextOnlyUnderConnectionRules)
{
    ScopedApp scoped;
    std::vector<DiagnosticRecord> records = {{"HY000", 1, "disk I/O error"}};
    qmxDB().reportDiagnosticRecords(1, records, Diagnostics::ShowUser);
    EXPECT_TRUE(scoped.prompts.messages().empty());
    qmxDB().reportDiagnosticRecords(1, records, Diagnostics::ConnectionRules);
    EXPECT_EQ(scoped.prompts.messageTexts(), std::vector<std::string>{records[0].text(1, 1)});
    qmxDB().reportDiagnosticRecords(1, records, Diagnostics::LogOnly);
    EXPECT_EQ(scoped.prompts.messages().size(), 1u) << "messages suppressed";
}

TEST(ReportDiagnostics, OverflowRecordIsLoggedTwiceWithoutABox)
{
    ScopedApp scoped;
    qmxDB().reportDiagnosticRecords(1, {{"22003", 0, "numeric value out of range"}}, Diagnostics::ConnectionRules);
    EXPECT_TRUE(scoped.prompts.messages().empty());
    const std::string log = scoped.logText();
    const std::string record = "SQLSTATE: 22003";
    auto first = log.find(record);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(log.find(record, first + 1), std::string::npos);
}

TEST(ReportDiagnostics, SetupPagesGetTheirFieldFocusedInTheRightOrder)
{
    ScopedApp scoped;
    qmxDB db;
    RecordingWindow databasePage(DiagnosticsWindow::Kind::DatabaseSetupPage, &scoped.prompts);
    db.reportDiagnosticRecords(1, {{"IM002", 0, "not found"}}, Diagnostics::ConnectionRules, &databasePage);
    db.reportDiagnosticRecords(1, {{"08001", 0, "NMB04104E"}}, Diagnostics::ConnectionRules, &databasePage);
    // After the message: the count of boxes shown when the field was focused.
    EXPECT_EQ(databasePage.events, (std::vector<std::string>{"database after 1", "address after 2"}));

    RecordingWindow tablePage(DiagnosticsWindow::Kind::TableSetupPage, &scoped.prompts);
    db.reportDiagnosticRecords(1, {{"42X05", 0, "no table"}}, Diagnostics::ConnectionRules,
                               &tablePage);                                                            // before the box
    db.reportDiagnosticRecords(1, {{"X0Y32", 0, "exists"}}, Diagnostics::ConnectionRules, &tablePage); // after the box
    EXPECT_EQ(tablePage.events, (std::vector<std::string>{"table after 2", "table after 4"}));

    // The missing-table rule stays silent for any other window, and a database rule does
    // not move the focus on the table page.
    RecordingWindow other(DiagnosticsWindow::Kind::Other);
    db.reportDiagnosticRecords(1, {{"42X05", 0, "no table"}}, Diagnostics::ConnectionRules, &other);
    db.reportDiagnosticRecords(1, {{"IM002", 0, "not found"}}, Diagnostics::ConnectionRules, &tablePage);
    EXPECT_EQ(scoped.prompts.messages().size(), 5u);
    EXPECT_TRUE(other.events.empty());
    EXPECT_EQ(tablePage.events.size(), 2u);
}
