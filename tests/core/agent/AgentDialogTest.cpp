// What the agent's dialog decides on OK, and the libraries it offers.

#include "ScopedApp.h"
#include "agent/AgentDialog.h"
#include "agent/AgentTexts.h"
#include "db/Tables.h"

#include <gtest/gtest.h>

namespace {
std::time_t localNoon(int year, int month, int day)
{
    std::tm when{};
    when.tm_year = year - 1900;
    when.tm_mon = month - 1;
    when.tm_mday = day;
    when.tm_hour = 12;
    when.tm_isdst = -1;
    return std::mktime(&when);
}

TEST(AgentDialog, ConfirmChecksInOrderThenStoresTheStartDate)
{
    AgentDialogEntry entry;
    entry.fields.enabled = true;
    entry.fields.smtpServer = "mail.example.net";
    const std::time_t now = localNoon(2026, 12, 8);

    // Nothing checked comes first, whatever else is wrong.
    entry.rangeText = "";
    EXPECT_EQ(confirmAgentDialog(entry, now).refusal, agent_texts::NoIpChecked);
    entry.checkedAddresses = {"10.0.0.2", "10.0.0.1"};
    EXPECT_EQ(confirmAgentDialog(entry, now).refusal, agent_texts::SelectRange);
    entry.rangeText = "1 Week";
    entry.fields.smtpServer = "mail.example.net:0";
    EXPECT_EQ(confirmAgentDialog(entry, now).refusal, agent_texts::ServerPortMessage);

    entry.fields.smtpServer = "mail.example.net:2525";
    const AgentDialogOutcome outcome = confirmAgentDialog(entry, now);
    ASSERT_FALSE(outcome.refusal);
    EXPECT_EQ(outcome.settings.ipList, "10.0.0.2,10.0.0.1,");
    EXPECT_EQ(outcome.settings.startDate, "12-01-2026");
    EXPECT_EQ(outcome.startDateMessage, "New calculated start date: 12-01-2026");
    EXPECT_TRUE(outcome.settings.enabled);
}

class AgentLibraries : public BackendTest {
protected:
    void TearDown() override
    {
        if (!m_base.empty())
            dropTables(m_base, GetParam().dsn, GetParam().user, GetParam().password, nullptr);
    }
    ScopedApp scoped;
    std::string m_base;
};

TEST_P(AgentLibraries, DistinctAddressesInOrderOrNothingWithTheStatementLogged)
{
    m_base = uniqueTableName("agent");
    scoped.useBackend(GetParam(), m_base);
    ASSERT_EQ(createTables(m_base, "DEFAULT", GetParam().dsn, GetParam().user, GetParam().password), 1);
    const std::string table = tableNameFor(TableKind::MountHistory, m_base);
    for (const char* address : {"10.0.0.9", "10.0.0.1", "10.0.0.9"})
        ASSERT_TRUE(executeSql(GetParam(), "insert into " + table + " (ipAddress) values ('" + address + "')"));
    EXPECT_EQ(agentLibraryAddresses(), (std::vector<std::string>{"10.0.0.1", "10.0.0.9"}));

    scoped.app().settings.mountHistoryTableName = m_base + "_MISSING";
    EXPECT_FALSE(agentLibraryAddresses());
    const std::string log = scoped.logText();
    EXPECT_NE(log.find("in report by mount rates:\n"), std::string::npos) << log;
    EXPECT_NE(log.find("select distinct ipaddress from " + m_base + "_MISSING order by ipaddress asc"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Backends, AgentLibraries, ::testing::ValuesIn(testBackends()), BackendName());
} // namespace
