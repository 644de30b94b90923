#include "CustomTestChoices.h"
#include "ScopedApp.h"
#include "custom/CustomReportData.h"
#include "custom/CustomTexts.h"
#include "custom/GeneralReportThread.h"
#include "custom/GraphSink.h"
#include "db/Tables.h"
#include "query/QueryListData.h"
#include "query/QueryResultSink.h"

#include <gtest/gtest.h>

#include <functional>
#include <cstdio>
#include <mutex>

namespace {
// A graph window as the report sees it: keeps the data and counts the handshake.
class KeptGraph final : public GraphSink {
public:
    void SetReportData(GraphData data) override
    {
        std::lock_guard lock(m_mutex);
        m_data = std::move(data);
        ++m_handed;
    }
    void reportStarted() override { ++started; }
    void reportFinished() override { ++finished; }
    bool closeRequested() const override
    {
        ++checks;
        return beforeStatement ? beforeStatement(checks) : false;
    }
    GraphData data() const
    {
        std::lock_guard lock(m_mutex);
        return m_data;
    }
    int handed() const { return m_handed; }

    int started = 0;
    int finished = 0;
    mutable int checks = 0;
    // Called at every check with its number; its answer is the close request.
    std::function<bool(int)> beforeStatement;

private:
    mutable std::mutex m_mutex;
    GraphData m_data;
    int m_handed = 0;
};

class GeneralReport : public BackendTablesTest {
protected:
    GeneralReport() : BackendTablesTest("custom") {}

    void SetUp() override
    {
        BackendTablesTest::SetUp();
        if (IsSkipped())
            return;
        scoped.app().settings.DateFormatCode = 3;
        // Drive 1/1: two mounts; drive 1/2: one; another library and a day before the range.
        mount("10.0.0.7", "2026-01-05", "10:00:00", "A00001", 1, 1, 600, 5, 10, 3);
        mount("10.0.0.7", "2026-01-06", "11:00:00", "A00001", 1, 1, 600, 0, 12, 3);
        mount("10.0.0.7", "2026-01-07", "09:30:00", "A00001", 1, 2, 900, 10, 15, 20);
        mount("10.0.0.7", "2026-01-07", "12:00:00", "B'0002", 1, 2, 100, 1, 1, 0);
        mount("10.0.0.7", "2026-01-08", "12:00:00", "B'0002", 1, 2, 300, 2, 4, 3);
        mount("10.0.0.9", "2026-01-07", "12:00:00", "A00001", 1, 1, 5000, 1, 99, 3);
        mount("10.0.0.7", "2025-12-20", "12:00:00", "A00001", 1, 1, 7000, 1, 1, 3);
    }

    void mount(const std::string& address, const std::string& date, const std::string& time, const std::string& volser,
               int frame, int drive, int hostWrite, int residency, int writeRetries, int tapeAlert)
    {
        ASSERT_TRUE(executeSql(
            GetParam(),
            "INSERT INTO " + base
                + " (ipAddress, Date, Time, Volser, Frame, Drive, Logical_Library, Element_Address, Mount_Host_Write, "
                  "Mount_Drive_Residency, Life_Mounts_Media, Life_Write_Retries_Media, Mount_TapeAlert_Media, "
                  "Mount_Rating_Drive) VALUES ('"
                + address + "', '" + date + "', '" + time + "', '" + escapeQuotes(volser) + "', "
                + std::to_string(frame) + ", " + std::to_string(drive) + ", 'LL1', 1, " + std::to_string(hostWrite)
                + ", " + std::to_string(residency) + ", " + std::to_string(writeRetries) + ", "
                + std::to_string(writeRetries) + ", " + std::to_string(tapeAlert) + ", 100)"));
    }

    CustomReportRequest request(const std::string& dataType, std::vector<std::string> items, CustomReportType type,
                                const std::string& rate = "", std::vector<std::string> codes = {})
    {
        CustomReportChoices choices =
            customTestChoices(dataType, std::move(items), localTime(2026, 1, 1, 12, 0, 0), rate, std::move(codes));
        choices.type = type;
        return buildCustomReportRequestFromSettings(choices);
    }

    // Runs a report into a graph and gives its data.
    GraphData graphOf(const CustomReportRequest& chosen)
    {
        KeptGraph graph;
        bool ok = false;
        GeneralReportThread(chosen, {&graph, nullptr, &scoped.prompts}, &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(graph.started, 1);
        EXPECT_EQ(graph.finished, 1);
        EXPECT_EQ(graph.handed(), 1);
        return graph.data();
    }

    std::vector<std::vector<std::string>> tableOf(const CustomReportRequest& chosen, std::vector<std::string>* titles)
    {
        QueryListData list;
        QueryListSink sink(list);
        bool ok = false;
        GeneralReportThread(chosen, {nullptr, &sink, &scoped.prompts}, &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(sink.updateDepth(), 0);
        std::vector<std::vector<std::string>> cells;
        for (int row = 0; row < list.rowCount(); ++row) {
            cells.emplace_back();
            for (int column = 0; column < list.columnCount(); ++column)
                cells.back().push_back(list.cell(row, column));
        }
        titles->clear();
        for (int column = 0; column < list.columnCount(); ++column)
            titles->push_back(list.column(column).title);
        return cells;
    }
};

using Values = std::vector<std::uint32_t>;
using Texts = std::vector<std::string>;
} // namespace

TEST_P(GeneralReport, TrendPerSecondOfOneDrive)
{
    const GraphData data = graphOf(request("Mount History: HOST_WRITE (Drive / Volser)", {"Frame: 1  Drive: 1"},
                                           CustomReportType::LineGraph, "Per Second (while Mounted)"));
    // 600 MB over 5 minutes is 2 a second; over no residency it stays 600.
    EXPECT_EQ(data.values, (Values{2, 600}));
    EXPECT_EQ(data.firstLabels, (Texts{"10:00:00", "11:00:00"}));
    EXPECT_EQ(data.secondLabels, (Texts{"05-01-26", "06-01-26"}));
    EXPECT_EQ(data.library, "10.0.0.7");
    EXPECT_EQ(data.title, "HOST_WRITE(MBs) Per Second on Frame:1 Drive:1");
}

TEST_P(GeneralReport, RollupsOfTwoDrivesTotalsRatesAndMounts)
{
    const Texts drives{"Frame: 1  Drive: 1", "Frame: 1  Drive: 2"};
    GraphData data = graphOf(request("Mount History: HOST_WRITE (Drive / Volser)", drives, CustomReportType::BarGraph));
    EXPECT_EQ(data.values, (Values{1200, 1300}));
    EXPECT_EQ(data.firstLabels, (Texts{"Fr1:Drv1", "Fr1:Drv2"}));
    EXPECT_EQ(data.secondLabels, (Texts{"", ""}));
    EXPECT_EQ(data.title, "HOST_WRITE(MBs) since 01-01-2026");

    // 1200 MB over 5 minutes; 1300 MB over 13 minutes.
    data = graphOf(request("Mount History: HOST_WRITE (Drive / Volser)", drives, CustomReportType::BarGraph,
                           "Per Second (while Mounted)"));
    EXPECT_EQ(data.values, (Values{4, 2}));
    data =
        graphOf(request("Mount History: HOST_WRITE (Drive / Volser)", drives, CustomReportType::BarGraph, "Per Mount"));
    EXPECT_EQ(data.values, (Values{600, 433}));
    data = graphOf(request("Mount History: LIFE_MOUNTS_MEDIA", drives, CustomReportType::LineGraph));
    EXPECT_EQ(data.values, (Values{2, 3}));
    EXPECT_EQ(data.title, "Mounts since 01-01-2026");
    data = graphOf(request("* Mount History: RATING_DRIVE", drives, CustomReportType::LineGraph));
    EXPECT_EQ(data.values, (Values{100, 100}));
    EXPECT_EQ(data.title, "AVG RATING_DRIVE(1-255) since 01-01-2026");
}

TEST_P(GeneralReport, LifetimeDifferencesAsTableAndCsv)
{
    // Volser A00001 counted 10, 12, 15 retries: increases of 2 and 3.
    Texts titles;
    auto cells = tableOf(request("Mount History: WRITE_RETRIES_MEDIA", {"A00001"}, CustomReportType::Table), &titles);
    EXPECT_EQ(titles, (Texts{"ROW", "DATE", "TIME", "WRITE_RETRIES_MEDIA(count)"}));
    EXPECT_EQ(cells, (std::vector<Texts>{{"1", "06-01-26", "11:00:00", "2"}, {"2", "07-01-26", "09:30:00", "3"}}));

    cells =
        tableOf(request("Mount History: WRITE_RETRIES_MEDIA", {"A00001", "B'0002"}, CustomReportType::Table), &titles);
    EXPECT_EQ(titles, (Texts{"ROW", "DRIVE/VOLSER", "WRITE_RETRIES(count)"}));
    EXPECT_EQ(cells, (std::vector<Texts>{{"1", "A00001", "5"}, {"2", "B'0002", "3"}}));

    TemporaryFolder folder;
    CustomReportRequest csv =
        request("Mount History: WRITE_RETRIES_MEDIA", {"A00001", "B'0002"}, CustomReportType::CsvExport);
    csv.exportPath = folder.file("rollup.csv");
    bool ok = false;
    GeneralReportThread(csv, {nullptr, nullptr, &scoped.prompts}, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(readWholeFile(csv.exportPath),
              "Drive/Volser/Logical Library,WRITE_RETRIES(count) since 01-01-2026\nA00001,5\nB'0002,3\n");

    csv = request("Mount History: WRITE_RETRIES_MEDIA", {"A00001"}, CustomReportType::CsvExport);
    csv.exportPath = folder.file("trend.csv");
    GeneralReportThread(csv, {nullptr, nullptr, &scoped.prompts}, &ok);
    EXPECT_EQ(readWholeFile(csv.exportPath),
              "Date,Time,WRITE_RETRIES_MEDIA(count) on A00001\n06-01-26,11:00:00,2\n07-01-26,09:30:00,3\n");

    // A logical library name with a comma stays one field.
    CustomReportPlan plan;
    plan.mode = CustomReportMode::Rollup;
    plan.valueLabel = "Mounts";
    CustomReportData data;
    data.values = {4};
    data.items = {"LL,1"};
    EXPECT_EQ(customCsvText(plan, data), "Drive/Volser/Logical Library,Mounts\n\"LL,1\",4\n");
    csv.exportPath = folder.file("missing/trend.csv");
    GeneralReportThread(csv, {nullptr, nullptr, &scoped.prompts}, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(scoped.prompts.messageTexts().back(), "ERROR: Failed to open export file!\nNo such file or directory\n");
}

TEST_P(GeneralReport, SeveralTapeAlertCodesAreCountedPerCode)
{
    const CustomReportRequest chosen =
        request("Mount History: TAPEALERT_MEDIA", {"Frame: 1  Drive: 1", "B'0002"}, CustomReportType::Table, "",
                {"20:Clean now", "3:Hard error", "18:Directory corrupted in CM"});
    Texts titles;
    const auto cells = tableOf(chosen, &titles);
    EXPECT_EQ(titles, (Texts{"ROW", "TapeAlert", "TAPEALERT(count)"}));
    // Code 3: drive 1/1 twice and B'0002 once; 18: never; 20: on drive 1/2 with A00001, not selected.
    EXPECT_EQ(cells,
              (std::vector<Texts>{
                  {"1", "3:Hard error", "3"}, {"2", "18:Directory corrupted in CM", "0"}, {"3", "20:Clean now", "0"}}));

    const GraphData data = graphOf(request("Mount History: TAPEALERT_MEDIA", {"A00001"}, CustomReportType::BarGraph, "",
                                           {"3:Hard error", "20:Clean now"}));
    EXPECT_EQ(data.values, (Values{2, 1}));
    EXPECT_EQ(data.firstLabels, (Texts{"3:Hard e", "20:Clean"}));
    EXPECT_EQ(data.secondLabels, (Texts{"rror", " now"}));
    EXPECT_EQ(data.title, "TAPEALERT(count)on A00001");
}

TEST_P(GeneralReport, LastInstanceTellsTheNewestRowOrThatThereIsNone)
{
    bool ok = false;
    GeneralReportThread(
        request("Mount History: HOST_WRITE (Drive / Volser)", {"Frame: 1  Drive: 1"}, CustomReportType::LastInstance),
        {nullptr, nullptr, &scoped.prompts}, &ok);
    GeneralReportThread(
        request("Mount History: HOST_WRITE (Drive / Volser)", {"Frame: 9  Drive: 9"}, CustomReportType::LastInstance),
        {nullptr, nullptr, &scoped.prompts}, &ok);
    mount("10.0.0.7", "2026-01-09", "08:00:00", "C00003", 2, 2, 1, 1, 7, 0);
    GeneralReportThread(request("Mount History: WRITE_RETRIES_MEDIA", {"C00003"}, CustomReportType::LastInstance),
                        {nullptr, nullptr, &scoped.prompts}, &ok);
    EXPECT_EQ(scoped.prompts.messageTexts(),
              (Texts{"The last instance of HOST_WRITE(MBs) on Frame:1 Drive:1\nwas recorded on 06-01-26 at "
                     "11:00:00.  The value is 600.",
                     "Nothing was recorded for HOST_WRITE(MBs) on Frame:9 Drive:9 since 01-01-2026.",
                     "Only one mount was recorded for WRITE_RETRIES_MEDIA(count) on C00003 since 01-01-2026,\nso "
                     "there is no increase to show."}));
}

TEST_P(GeneralReport, FailuresEndTheReportAndTellWhy)
{
    // Closing the window before the first statement: nothing is drawn, the window may close.
    KeptGraph closing;
    closing.beforeStatement = [](int) { return true; };
    bool ok = true;
    const Texts drives{"Frame: 1  Drive: 1", "Frame: 1  Drive: 2"};
    GeneralReportThread(request("Mount History: HOST_WRITE (Drive / Volser)", drives, CustomReportType::LineGraph),
                        {&closing, nullptr, &scoped.prompts}, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(closing.handed(), 0);
    EXPECT_EQ(closing.finished, 1);

    // A table window that goes before the first statement gets nothing.
    QueryListData list;
    QueryListSink sink(list);
    const std::atomic<bool> stop{true};
    GeneralReportThread(request("Mount History: HOST_WRITE (Drive / Volser)", drives, CustomReportType::Table),
                        {nullptr, &sink, &scoped.prompts, &stop}, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(list.columnCount(), 0);

    // The table goes between the two statements.
    KeptGraph dropped;
    dropped.beforeStatement = [&](int check) {
        if (check == 2)
            executeSql(GetParam(), "DROP TABLE " + base);
        return false;
    };
    GeneralReportThread(request("Mount History: HOST_WRITE (Drive / Volser)", drives, CustomReportType::LineGraph),
                        {&dropped, nullptr, &scoped.prompts}, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(dropped.handed(), 0);
    EXPECT_EQ(dropped.finished, 1);
    const std::string log = scoped.logText();
    // PostgreSQL refuses the statement when it runs, SQLite (reading row by row) at its first row.
    EXPECT_NE(log.find("SELECT SUM(MOUNT_HOST_WRITE) FROM " + base + " where"), std::string::npos) << log;
    ASSERT_EQ(scoped.prompts.messageTexts().size(), 1U);
    EXPECT_EQ(scoped.prompts.messageTexts()[0].rfind(
                  "The table does not exist in the database. Please check the table name in Setup.", 0),
              0U);

    CustomReportRequest elsewhere =
        request("Mount History: HOST_WRITE (Drive / Volser)", {"A00001"}, CustomReportType::LastInstance);
    elsewhere.dataSourceName = "VaultlineNoSuchSource";
    GeneralReportThread(elsewhere, {nullptr, nullptr, &scoped.prompts}, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(scoped.prompts.messageTexts().back(), custom_texts::ConnectFailed);
    EXPECT_NE(scoped.logText().find(custom_texts::ConnectFailedLog), std::string::npos);
}

// A long trend stops while its rows are read, not only before its statement.
TEST_P(GeneralReport, AClosingGraphStopsALongTrendWhileItsRowsAreRead)
{
    std::string values;
    for (int i = 0; i < 1100; ++i) {
        char time[9];
        std::snprintf(time, sizeof time, "%02d:%02d:00", i / 60, i % 60);
        values += std::string(i == 0 ? "" : ", ") + "('10.0.0.7', '2026-01-10', '" + time + "', 'C00003', 3, 3, 1)";
    }
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base
                                           + " (ipAddress, Date, Time, Volser, Frame, Drive, Mount_Host_Write) VALUES "
                                           + values));
    KeptGraph closing;
    // The first look comes before the statement; a second one only while its rows are read.
    closing.beforeStatement = [](int check) { return check >= 2; };
    bool ok = true;
    GeneralReportThread(
        request("Mount History: HOST_WRITE (Drive / Volser)", {"Frame: 3  Drive: 3"}, CustomReportType::LineGraph),
        {&closing, nullptr, &scoped.prompts}, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(closing.checks, 2);
    EXPECT_EQ(closing.handed(), 0);
    EXPECT_EQ(closing.finished, 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, GeneralReport, ::testing::ValuesIn(testBackends()), BackendName());
