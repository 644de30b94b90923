// The monitor against a library whose web server misbehaves: endless, slow, cut, reset and
// wrong answers. Each is reported, retried, and stores nothing wrong.

#include "MonitorTestSupport.h"
#include "ScopedApp.h"
#include "db/Tables.h"
#include "library/MonitorEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace std::chrono_literals;

namespace {
const std::string MountHistoryRetry = "Problem getting Mount History file. Will try again in one minute.\r\n";
const std::string PerformanceRetry = "Problem getting Library Performance file. Will try again in one minute.\r\n";

class HostileLibrary : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        if (IsSkipped())
            return;
        m_base = uniqueTableName("hostile");
        scoped.useBackend(GetParam(), m_base);
        const TestBackend& backend = GetParam();
        ASSERT_EQ(createTables(m_base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
        libsim::LibraryOptions library;
        library.days = 2;
        server = std::make_unique<libsim::LibraryFileServer>(library);
        ASSERT_TRUE(server->start());
    }
    void TearDown() override
    {
        if (!m_base.empty())
            dropTables(m_base, GetParam().dsn, GetParam().user, GetParam().password, nullptr);
    }

    // Short periods and limits: a slow file fails after 1.5 s, a file above 256 KB at once.
    static MonitorOptions quickOptions(bool performance)
    {
        MonitorOptions options;
        options.periods.firstMountHistory = 20ms;
        options.periods.mountHistory = 3600s;
        options.periods.mountHistoryGuard = 3600s;
        options.periods.firstLibraryPerformance = performance ? 20ms : 3600s;
        options.periods.libraryPerformance = 3600s;
        options.periods.retry = 200ms;
        options.limits.totalTime = 1500ms;
        options.limits.maxBytes = 256 * 1024;
        options.limits.connectTimeout = 2000ms;
        return options;
    }
    long long mountRows() { return countRows(GetParam(), tableNameFor(TableKind::MountHistory, m_base)); }
    long long performanceRows() { return countRows(GetParam(), tableNameFor(TableKind::LibraryPerformance, m_base)); }

    ScopedApp scoped;
    std::string m_base;
    std::unique_ptr<libsim::LibraryFileServer> server;
};

struct Misbehaviour {
    const char* name;
    libsim::ControlParameters parameters;
    const char* problem; // what the error line says, after "   o ERROR: "
};
} // namespace

TEST_P(HostileLibrary, EachMisbehaviourIsReportedRetriedAndStoresNothing)
{
    const std::string file = library_texts::MountHistoryFileName;
    const std::vector<Misbehaviour> misbehaviours = {
        {"drip", {{"rate", "2"}, {"file", file}}, "LIBLG_01_CS.bin did not arrive within 2 seconds"},
        {"length", {{"long", "500"}, {"file", file}}, ""},
        {"abort", {{"bytes", "3000"}, {"file", file}}, ""},
        {"html", {{"on", "1"}, {"file", file}}, "The library sent a web page instead of LIBLG_01_CS.bin"},
        {"http500", {{"file", file}}, "The library answered HTTP status 500 instead of sending LIBLG_01_CS.bin"},
    };
    for (const Misbehaviour& misbehaviour : misbehaviours) {
        SCOPED_TRACE(misbehaviour.name);
        ASSERT_EQ(server->control("reset", {}), "");
        ASSERT_EQ(server->control(misbehaviour.name, misbehaviour.parameters), "");
        MonitorLines lines;
        MonitorEngine engine(server->address(), lines, quickOptions(false));
        engine.start();
        // Retried at the retry period, failing again each time.
        ASSERT_TRUE(lines.waitFor(MountHistoryRetry, 2, 20s));
        engine.stop();
        const std::vector<std::string> errors = lines.starting("   o ERROR: ");
        ASSERT_GE(errors.size(), 2u);
        if (*misbehaviour.problem != '\0') {
            EXPECT_EQ(errors[0], std::string("   o ERROR: ") + misbehaviour.problem + "\n");
        }
        EXPECT_TRUE(lines.starting("Inserted ").empty());
        EXPECT_EQ(mountRows(), 0);
    }

    // A library performance file without end is dropped at the size limit.
    ASSERT_EQ(server->control("reset", {}), "");
    ASSERT_EQ(server->control("endless", {{"on", "1"}, {"file", library_texts::LibraryPerformanceFileName}}), "");
    MonitorLines lines;
    auto engine = std::make_unique<MonitorEngine>(server->address(), lines, quickOptions(true));
    engine->start();
    ASSERT_TRUE(lines.waitFor(PerformanceRetry, 2, 20s));
    EXPECT_EQ(lines.starting("Library Performance for " + server->address() + "   o ERROR: ")[0],
              "Library Performance for " + server->address()
                  + "   o ERROR: LIBLG_01_LP.bin is longer than 262144 bytes, more than a library's file holds; it "
                    "was not read\n");
    EXPECT_EQ(performanceRows(), 0);

    // The library mends its ways: the next retry stores everything, once.
    ASSERT_EQ(server->control("reset", {}), "");
    ASSERT_TRUE(lines.waitFor("Inserted " + std::to_string(servedPerformanceLines(*server)), 1, 20s));
    ASSERT_TRUE(lines.waitFor(MountHistoryInserted(static_cast<int>(servedMounts(*server).size())), 1, 20s));
    engine.reset();
    EXPECT_EQ(performanceRows(), static_cast<long long>(servedPerformanceLines(*server)));
    EXPECT_EQ(mountRows(), static_cast<long long>(servedMounts(*server).size()));
}

TEST_P(HostileLibrary, PerformanceFileCutShortStoresItsLastLineOnlyWhenWhole)
{
    const std::string file = library_texts::LibraryPerformanceFileName;
    const std::vector<std::string> served = libraryPerformanceDataLines(libraryFileText(server->currentFile(file)));
    ASSERT_GT(served.size(), 2u);
    // The last line: its logical library and its last field, the total of inserts.
    const std::string last = served.back();
    const std::string logicalLibrary = [&] {
        std::string field = last.substr(last.find(',') + 1);
        field = field.substr(0, field.find(','));
        field.erase(std::remove(field.begin(), field.end(), ' '), field.end());
        return field;
    }();
    std::string inserts = last.substr(last.rfind(',') + 1);
    inserts.erase(std::remove_if(inserts.begin(), inserts.end(), [](char c) { return c == ' ' || c == '\r'; }),
                  inserts.end());
    const std::string table = tableNameFor(TableKind::LibraryPerformance, m_base);
    const std::string lastStored = "select inserts_total from " + table + " where logical_library = '" + logicalLibrary
                                   + "' order by date desc, time desc";

    // The file arrives two bytes short, as if whole: the cut last line is not a line.
    ASSERT_EQ(server->control("length", {{"short", "2"}, {"file", file}}), "");
    MonitorOptions options = quickOptions(true);
    options.periods.libraryPerformance = 300ms;
    MonitorLines lines;
    MonitorEngine engine(server->address(), lines, options);
    engine.start();
    ASSERT_TRUE(lines.waitFor("Inserted " + std::to_string(served.size() - 1) + " new entries from Library Performance",
                              1, 30s));
    EXPECT_EQ(performanceRows(), static_cast<long long>(served.size() - 1));

    // Whole again: the next cycle stores the last line, with the value the library wrote.
    ASSERT_EQ(server->control("length", {{"off", "1"}}), "");
    ASSERT_TRUE(lines.waitFor("Inserted 1 new entries from Library Performance", 1, 30s));
    engine.stop();
    EXPECT_EQ(performanceRows(), static_cast<long long>(served.size()));
    const auto rows = querySql(GetParam(), lastStored);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0][0], inserts);
    EXPECT_TRUE(lines.starting("ERROR").empty());
}

TEST_P(HostileLibrary, FailedMountHistoryCycleIsRetriedAfterTheRetryPeriodNotItsOwn)
{
    ASSERT_EQ(server->control("http404", {{"file", library_texts::MountHistoryFileName}}), "");
    MonitorLines lines;
    MonitorEngine engine(server->address(), lines, quickOptions(false));
    engine.start();
    ASSERT_TRUE(lines.waitFor(MountHistoryRetry, 1, 20s));
    ASSERT_EQ(server->control("reset", {}), "");
    // The regular period is an hour here: only the retry timer can bring the next cycle.
    ASSERT_TRUE(lines.waitFor(MountHistoryInserted(static_cast<int>(servedMounts(*server).size())), 1, 30s));
    engine.stop();
    EXPECT_EQ(mountRows(), static_cast<long long>(servedMounts(*server).size()));
}

INSTANTIATE_TEST_SUITE_P(Backends, HostileLibrary, ::testing::ValuesIn(testBackends()), BackendName());

TEST(MonitorCheck, ConfigurationFileErrorsAreReportedAndCheckedAgainEveryRetryPeriod)
{
    ScopedApp scoped;
    libsim::LibraryOptions library;
    library.days = 1;
    libsim::LibraryFileServer server(library);
    ASSERT_TRUE(server.start());
    const std::string notResponding = "The IP address " + server.address() + " is either invalid or not responding on ";
    MonitorOptions options;
    options.periods.firstMountHistory = 3600s;
    options.periods.firstLibraryPerformance = 3600s;
    options.periods.retry = 200ms;
    options.limits.maxBytes = 64 * 1024;

    struct Case {
        const char* name;
        libsim::ControlParameters parameters;
        std::string problem;
    };
    const std::string file = library_texts::ConfigurationFileName;
    for (const Case& failure : std::vector<Case>{
             {"http404", {{"file", file}}, "The library answered HTTP status 404 instead of sending LIBLG_01_MR.bin\n"},
             {"html", {{"on", "1"}, {"file", file}}, "The library sent a web page instead of LIBLG_01_MR.bin\n"},
             {"endless",
              {{"on", "1"}, {"file", file}},
              "LIBLG_01_MR.bin is longer than 65536 bytes, more than a library's file holds; it was not read\n"}}) {
        SCOPED_TRACE(failure.name);
        ASSERT_EQ(server.control("reset", {}), "");
        ASSERT_EQ(server.control(failure.name, failure.parameters), "");
        MonitorLines lines;
        MonitorEngine engine(server.address(), lines, options);
        engine.start();
        ASSERT_TRUE(lines.waitFor(notResponding, 3, 20s));
        EXPECT_EQ(lines.starting("   o ERROR: ")[0], "   o ERROR: " + failure.problem);
        // Mended: the next check reads the library (which says it keeps no performance data).
        ASSERT_EQ(server.control("reset", {}), "");
        ASSERT_EQ(server.control("performance", {{"available", "0"}}), "");
        ASSERT_TRUE(lines.waitFor("Library Performance for " + server.address() + " is not available", 1, 20s));
        engine.stop();
        EXPECT_TRUE(engine.ovisEnabled());
    }
}
