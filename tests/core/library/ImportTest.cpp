#include "ScopedApp.h"
#include "db/Tables.h"
#include "library/Import.h"
#include "library/ImportLines.h"
#include "library/ImportTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {
using Rows = std::vector<std::vector<std::optional<std::string>>>;

const std::string MountHistoryInvalid = "Invalid file format!";

// Line 1 of a saved file: the title and then commas up to the field count.
std::string titleLine(const std::string& title, int fields)
{
    return title + std::string(static_cast<std::size_t>(fields - 1), ',');
}

std::string mountHistoryHeader(int fieldsOfLine1 = 36)
{
    return titleLine("Mount History,Library,SIM", fieldsOfLine1 - 2)
           + "\nFrames,4\nRecord,Mount\nTime Stamp\nMount "
             "Time,Volser\n";
}

// One data line as a library saves it: the stamp with two blanks between its pieces, blanks
// written as "_", the 28 counters after the two reserved fields.
std::string mountLine(int minute, const std::string& volser)
{
    std::string line = "2009__04__28__" + std::to_string(10 + minute / 60) + "." + std::to_string(10 + minute % 50)
                       + "," + volser + ",_4,_2,ARCHIVE_____,__267,0,0";
    for (int counter = 9; counter <= 36; ++counter)
        line += "," + std::to_string(counter * 3);
    return line;
}

std::string performanceHeader()
{
    return titleLine("Library Statistics,Library,SIM", 9)
           + "\nInterval\nLogical Libraries\nTime Stamp\nUnits\nDate "
             "and Time,Logical Library\n";
}

std::string performanceLine(int hour, const std::string& logicalLibrary)
{
    return "2009_04_28_" + std::to_string(10 + hour) + ":00," + logicalLibrary
           + ",__2693,__1502,___2,_25,_23,__0,__0,__0,__0";
}

class Import : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        if (IsSkipped())
            return;
        m_base = uniqueTableName("import");
        scoped.useBackend(GetParam(), m_base);
        ASSERT_EQ(createTables(m_base, "DEFAULT", GetParam().dsn, GetParam().user, GetParam().password), 1);
    }
    void TearDown() override
    {
        if (!m_base.empty())
            dropTables(m_base, GetParam().dsn, GetParam().user, GetParam().password, nullptr);
    }

    std::string writeFile(const std::string& name, const std::string& bytes)
    {
        const std::string path = m_files.file(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string mountTable() const { return theApp().settings.mountHistoryTableName; }
    std::string performanceTable() const { return theApp().settings.libraryPerformanceTableName; }
    Rows volsers() { return querySql(GetParam(), "select volser from " + mountTable() + " order by volser"); }
    // The messages shown since the last call, and forgets them.
    std::vector<RecordingPrompts::Shown> takeMessages()
    {
        std::vector<RecordingPrompts::Shown> all = scoped.prompts.messages();
        std::vector<RecordingPrompts::Shown> fresh(all.begin() + static_cast<long>(m_seen), all.end());
        m_seen = all.size();
        return fresh;
    }

    ScopedApp scoped;
    TemporaryFolder m_files;
    std::string m_base;
    std::size_t m_seen = 0;
};

std::vector<std::string> messageTexts(const std::vector<RecordingPrompts::Shown>& shown)
{
    std::vector<std::string> texts;
    texts.reserve(shown.size());
    for (const RecordingPrompts::Shown& message : shown)
        texts.push_back(message.text);
    return texts;
}

Rows column(std::vector<std::string> values)
{
    Rows rows;
    for (std::string& value : values)
        rows.push_back({std::move(value)});
    return rows;
}
} // namespace

TEST_P(Import, SameFileTwiceStoresEachLineOnceAndLosesNone)
{
    // CR LF line ends, an empty line and a blank line in the middle, no line end after the last line.
    const std::string bytes = mountHistoryHeader() + mountLine(1, "AA0001") + "\r\n" + mountLine(2, "AA0002")
                              + "\r\n\r\n" + mountLine(3, "AA0003") + "\n_\n" + mountLine(4, "AA0004") + "\n"
                              + mountLine(5, "AA0005");
    const std::string path = writeFile("mounts.csv", bytes);

    ImportResult first = importSavedFile(path, "10.0.0.1");
    EXPECT_EQ(first.outcome, ImportOutcome::Completed);
    EXPECT_EQ(first.kind, SavedFileKind::MountHistory);
    EXPECT_EQ(first.inserted, 5);
    EXPECT_TRUE(first.everyLineStored());
    auto shown = takeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Inserted 5 new entries from Mount History file into database");
    EXPECT_EQ(shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(volsers(), column({"AA0001", "AA0002", "AA0003", "AA0004", "AA0005"}));

    ImportResult second = importSavedFile(path, "10.0.0.1");
    EXPECT_EQ(second.inserted, 0);
    EXPECT_EQ(second.duplicates, 5);
    EXPECT_TRUE(second.everyLineStored());
    shown = takeMessages();
    ASSERT_EQ(shown.size(), 1u) << shown.back().text;
    EXPECT_EQ(shown[0].text, "Inserted 0 new entries from Mount History file into database");
    EXPECT_EQ(countRows(GetParam(), mountTable()), 5);

    // The same file for another library is new data.
    EXPECT_EQ(importSavedFile(path, "lib'two").inserted, 5);
    // Saved with CR alone at the end of each line: the same lines, all of them.
    std::string carriageReturns = bytes;
    std::erase(carriageReturns, '\r');
    std::replace(carriageReturns.begin(), carriageReturns.end(), '\n', '\r');
    ImportResult crOnly = importSavedFile(writeFile("cr.csv", carriageReturns), "lib cr");
    EXPECT_EQ(crOnly.inserted, 5);
    EXPECT_TRUE(crOnly.everyLineStored());
    EXPECT_EQ(querySql(GetParam(), "select count(*) from " + mountTable() + " where ipaddress = 'lib''two'"),
              column({"5"}));
    EXPECT_EQ(scoped.prompts.waitCursorDepth(), 0);
    EXPECT_EQ(scoped.logText().find("Error"), std::string::npos) << scoped.logText();
}

TEST_P(Import, LibraryPerformanceFiles)
{
    // Only the six header lines: nothing to store, and nothing wrong.
    const std::string headerOnly = writeFile("headers.csv", performanceHeader());
    ImportResult result = importSavedFile(headerOnly, "10.0.0.1");
    EXPECT_EQ(result.outcome, ImportOutcome::Completed);
    EXPECT_EQ(result.kind, SavedFileKind::LibraryPerformance);
    EXPECT_EQ(result.inserted, 0);
    EXPECT_EQ(scoped.prompts.messageTexts(),
              std::vector<std::string>{"Inserted 0 new entries from Library Performance file into database"});

    const std::string path =
        writeFile("performance.csv", performanceHeader() + performanceLine(1, "PRODBKUP____") + "\n"
                                         + performanceLine(1, "ARCHIVE") + "\n\n" + performanceLine(2, "ARCHIVE"));
    EXPECT_EQ(importSavedFile(path, "10.0.0.1").inserted, 3);
    result = importSavedFile(path, "10.0.0.1");
    EXPECT_EQ(result.inserted, 0);
    EXPECT_EQ(result.duplicates, 3);
    EXPECT_EQ(
        querySql(GetParam(), "select logical_library, time, residency_max from " + performanceTable()
                                 + " order by logical_library, time"),
        (Rows{{"ARCHIVE", "11:00:00", "2693"}, {"ARCHIVE", "12:00:00", "2693"}, {"PRODBKUP", "11:00:00", "2693"}}));
    takeMessages();
    EXPECT_EQ(scoped.prompts.messageTexts().back(),
              "Inserted 0 new entries from Library Performance file into database");

    // The header counts lines ended by CR alone as well.
    std::string carriageReturns = readWholeFile(path);
    std::replace(carriageReturns.begin(), carriageReturns.end(), '\n', '\r');
    EXPECT_EQ(importSavedFile(writeFile("cr.csv", carriageReturns), "lib cr").inserted, 3);
}

TEST_P(Import, BadLinesAreReportedAndTheGoodOnesStored)
{
    std::string garbage;
    for (int byte = 0; byte < 256; ++byte)
        if (byte != '\n' && byte != '\r')
            garbage.push_back(static_cast<char>(byte));
    std::string truncated = mountLine(3, "BB0003");
    truncated.resize(truncated.size() / 2);
    std::string hugeCounter = mountLine(4, "BB0004");
    hugeCounter.replace(hugeCounter.rfind(',') + 1, std::string::npos, "999999999999999999999999999999");
    std::string fraction = mountLine(4, "BB0008");
    fraction.replace(fraction.rfind(',') + 1, std::string::npos, "0.5");
    const std::string bytes = mountHistoryHeader() + mountLine(1, "BB0001") + "\n" + garbage + "\n" + truncated + "\n"
                              + std::string(2 << 20, 'Z') + "\n" + hugeCounter + "\n" + fraction + "\n"
                              + mountLine(5, "O'B5") + "\n" + mountLine(6, "X');--") + "\n" + mountLine(7, "BB0007");
    const std::string path = writeFile("bad.csv", bytes);

    ImportResult result = importSavedFile(path, "10.0.0.1");
    EXPECT_EQ(result.outcome, ImportOutcome::Completed);
    EXPECT_EQ(result.failed, 5) << "garbage, truncated, huge, huge counter, fraction";
    EXPECT_FALSE(result.everyLineStored());
    const std::vector<RecordingPrompts::Shown> shown = takeMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Error(s) inserting data into the database.\nSee debug file for more information.");
    EXPECT_EQ(shown[1].icon, MessageIcon::Stop);
    // A quote is data, whether it is meant as one or not.
    EXPECT_EQ(result.inserted, 4);
    EXPECT_EQ(shown[0].text, "Inserted 4 new entries from Mount History file into database");
    EXPECT_EQ(volsers(), column({"BB0001", "BB0007", "O'B5", "X');--"}));
    const std::string log = scoped.logText();
    EXPECT_NE(log.find("Line not inserted, it has"), std::string::npos);
    // Line 9 of the file (5 header lines, then the fourth data line) is refused before it is even held.
    EXPECT_NE(log.find("Line not inserted, it is longer than 65536 characters: line 9 of the file"), std::string::npos);
    EXPECT_NE(log.find("Line not inserted, field 36 is not a whole number from -32768 to 32767 (9999"),
              std::string::npos);
    EXPECT_NE(log.find("Line not inserted, field 36 is not a whole number from -32768 to 32767 (0.5)"),
              std::string::npos);

    // Importing it again adds nothing and reports the same failures.
    result = importSavedFile(path, "10.0.0.1");
    EXPECT_EQ(result.inserted, 0);
    EXPECT_EQ(result.failed, 5);
    EXPECT_EQ(countRows(GetParam(), mountTable()), 4);
}

TEST_P(Import, LongFilesAcrossBatches)
{
    // Lines go in batches of one transaction: a bad line in a later batch must neither lose the
    // good lines of its batch nor keep those of earlier batches from being committed.
    const int lines = static_cast<int>(ImportBatchLines) * 2 + 100;
    const int bad = static_cast<int>(ImportBatchLines) + 7;
    std::string bytes = mountHistoryHeader();
    for (int index = 0; index < lines; ++index) {
        const std::string volser = "E" + std::to_string(100000 + index);
        auto twoDigits = [](int value) { return std::string(value < 10 ? "0" : "") + std::to_string(value); };
        std::string line = "2009__04__" + twoDigits(1 + index / 1440) + "__" + twoDigits(index % 1440 / 60) + "."
                           + twoDigits(index % 60) + "," + volser + ",_4,_2,ARCHIVE,__267,0,0";
        for (int counter = 9; counter <= 36; ++counter)
            line += index == bad && counter == 12 ? ",many" : "," + std::to_string(counter);
        bytes += line + "\n";
    }
    const std::string path = writeFile("long.csv", bytes);
    ImportResult result = importSavedFile(path, "10.0.0.1");
    EXPECT_EQ(result.inserted, lines - 1);
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(countRows(GetParam(), mountTable()), lines - 1);
    EXPECT_EQ(querySql(GetParam(), "select count(*) from " + mountTable() + " where volser = 'E"
                                       + std::to_string(100000 + bad) + "'"),
              column({"0"}));

    // Half the file stored already: the rest is new, nothing twice.
    ASSERT_TRUE(executeSql(GetParam(), "delete from " + mountTable() + " where volser > 'E100600'"));
    const long long kept = countRows(GetParam(), mountTable());
    result = importSavedFile(path, "10.0.0.1");
    EXPECT_EQ(result.inserted, lines - 1 - kept);
    EXPECT_EQ(result.duplicates, kept);
    EXPECT_EQ(countRows(GetParam(), mountTable()), lines - 1);
}

TEST_P(Import, StopEndsAfterTheChunkAndTheNextImportStoresTheRestOnce)
{
    // 45 lines in chunks of 10; the stop flag is raised as a chunk's progress is told.
    std::string bytes = mountHistoryHeader();
    for (int index = 0; index < 45; ++index)
        bytes += mountLine(index, "ST" + std::to_string(1000 + index)) + "\n";
    const std::string path = writeFile("stop.csv", bytes);
    std::atomic<bool> stop{false};
    std::vector<ImportProgress> told;
    std::size_t stopAfter = 0;
    ImportOptions options;
    options.store.linesPerChunk = 10;
    options.store.stop = &stop;
    options.progress = [&](const ImportProgress& progress) {
        told.push_back(progress);
        if (told.size() == stopAfter)
            stop = true;
    };

    stopAfter = 2;
    ImportResult result = importSavedFile(path, "10.0.0.1", options);
    EXPECT_EQ(result.outcome, ImportOutcome::Stopped);
    EXPECT_FALSE(result.everyLineStored());
    EXPECT_EQ(result.inserted, 20);
    EXPECT_EQ(told.size(), 2u);
    EXPECT_EQ(countRows(GetParam(), mountTable()), 20);
    // Line 1, four header lines and two chunks read.
    EXPECT_EQ(importDialogText(path, told.back()).rfind("stop.csv\nImporting: 25 lines read, 20 stored, ", 0), 0u)
        << importDialogText(path, told.back());
    EXPECT_EQ(messageTexts(takeMessages()),
              std::vector<std::string>{"Import cancelled: 20 lines of the file are stored (20 of them new entries).\n"
                                       "Importing the file again stores the rest."});

    // Stopped again a chunk further on: the 20 lines are found stored, 10 more are new.
    stop = false;
    told.clear();
    stopAfter = 3;
    result = importSavedFile(path, "10.0.0.1", options);
    EXPECT_EQ(result.outcome, ImportOutcome::Stopped);
    EXPECT_EQ(result.inserted, 10);
    EXPECT_EQ(result.duplicates, 20);
    EXPECT_EQ(messageTexts(takeMessages()),
              std::vector<std::string>{"Import cancelled: 30 lines of the file are stored (10 of them new entries).\n"
                                       "Importing the file again stores the rest."});

    // Not stopped: the rest, and every line once.
    stop = false;
    stopAfter = 0;
    result = importSavedFile(path, "10.0.0.1", options);
    EXPECT_TRUE(result.everyLineStored());
    EXPECT_EQ(result.inserted, 15);
    EXPECT_EQ(result.duplicates, 30);
    EXPECT_EQ(querySql(GetParam(), "select count(distinct volser) from " + mountTable()), column({"45"}));
    EXPECT_EQ(countRows(GetParam(), mountTable()), 45);
    EXPECT_EQ(messageTexts(takeMessages()),
              std::vector<std::string>{"Inserted 15 new entries from Mount History file into database"});
}

TEST_P(Import, FilesThatAreNotImported)
{
    // Each of these ends with one message and leaves the tables empty.
    struct Case {
        std::string name;
        std::string bytes;
        std::string message;
    };
    std::string binary;
    for (int i = 0; i < 5000; ++i)
        binary.push_back(static_cast<char>((i * 7919) % 256));
    const std::vector<Case> cases = {
        {"empty.csv", "", MountHistoryInvalid},
        {"binary.bin", binary, MountHistoryInvalid},
        {"35.csv", mountHistoryHeader(35) + mountLine(1, "CC0001") + "\n", MountHistoryInvalid},
        {"37.csv", mountHistoryHeader(37) + mountLine(1, "CC0001") + "\n", MountHistoryInvalid},
        // Both titles: judged as mount history, and 11 fields are not enough for that.
        {"both.csv", titleLine("Mount History Library Statistics", 11) + "\n", MountHistoryInvalid},
        {"performance10.csv", titleLine("Library Statistics", 10) + "\n", MountHistoryInvalid},
    };
    for (const Case& c : cases) {
        const ImportResult result = importSavedFile(writeFile(c.name, c.bytes), "10.0.0.1");
        EXPECT_EQ(result.outcome, ImportOutcome::InvalidFormat) << c.name;
        const auto shown = takeMessages();
        ASSERT_EQ(shown.size(), 1u) << c.name;
        EXPECT_EQ(shown[0].text, c.message) << c.name;
        EXPECT_EQ(shown[0].icon, MessageIcon::Stop) << c.name;
    }

    const ImportResult missing = importSavedFile(m_files.file("no-such-file.csv"), "10.0.0.1");
    EXPECT_EQ(missing.outcome, ImportOutcome::FileNotOpened);
    auto shown = takeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "ERROR: Failed to open import file!\nNo such file or directory\n");
    EXPECT_EQ(shown[0].icon, MessageIcon::Exclamation);

    // A folder opens on this system but cannot be read.
    EXPECT_EQ(importSavedFile(m_files.path(), "10.0.0.1").outcome, ImportOutcome::FileNotOpened);
    shown = takeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "ERROR: Failed to open import file!\nIs a directory\n");

    // An address the address column cannot hold is refused before the file is read, on every
    // database alike (one would refuse each row, another store the whole name).
    const std::string good = writeFile("good.csv", mountHistoryHeader() + mountLine(1, "CC0001") + "\n");
    EXPECT_EQ(importSavedFile(good, "tapelib2.example.net").outcome, ImportOutcome::AddressTooLong);
    shown = takeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text.rfind("The library name or address \"tapelib2.example.net\" is longer than 15", 0), 0u);
    EXPECT_EQ(shown[0].icon, MessageIcon::Exclamation);

    EXPECT_EQ(countRows(GetParam(), mountTable()), 0);
    EXPECT_EQ(countRows(GetParam(), performanceTable()), 0);
    EXPECT_EQ(scoped.prompts.waitCursorDepth(), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, Import, ::testing::ValuesIn(testBackends()), BackendName());

TEST(ImportOnServer, DriverThatRollsBackTheWholeTransactionLosesNoLine)
{
    // Told to roll back the whole transaction when a statement fails, the PostgreSQL driver
    // fails every later statement of the batch too: the good lines must still be stored.
    const std::vector<TestBackend> backends = testBackends();
    TestBackend server = backends.back();
    if (!server.available)
        GTEST_SKIP() << "PostgreSQL is not running here";
    const char* port = std::getenv("VAULTLINE_TEST_PG_PORT");
    std::ofstream(std::getenv("ODBCINI"), std::ios::app)
        << "[VaultlineTestPGWholeRollback]\nDriver=PostgreSQL ANSI\nServername=127.0.0.1\nPort=" << port
        << "\nDatabase=vaultline\nUsername=" << server.user << "\nProtocol=7.4-1\n\n";
    server.dsn = "VaultlineTestPGWholeRollback";

    ScopedApp scoped;
    const std::string base = uniqueTableName("importrollback");
    scoped.useBackend(server, base);
    ASSERT_EQ(createTables(base, "DEFAULT", server.dsn, server.user, server.password), 1);
    TemporaryFolder files;
    const std::string path = files.file("mounts.csv");
    // The server refuses the nine-character volser; the check before it cannot know the column's width.
    std::ofstream(path, std::ios::binary) << mountHistoryHeader() << mountLine(1, "FF0001") << "\n"
                                          << mountLine(2, "FF0002") << "\n"
                                          << mountLine(3, "FF0003TOO") << "\n"
                                          << mountLine(4, "FF0004") << "\n"
                                          << mountLine(5, "FF0005") << "\n";
    const ImportResult result = importSavedFile(path, "10.0.0.1");
    EXPECT_EQ(result.inserted, 4);
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(querySql(server, "select volser from " + base + " order by volser"),
              column({"FF0001", "FF0002", "FF0004", "FF0005"}));
    dropTables(base, server.dsn, server.user, server.password, nullptr);
}

TEST(ImportOnServer, CommitThatComesBackAsARollbackIsStoredAgainLineByLine)
{
    // A check deferred to the end of the transaction fails the first time it runs: the batch's
    // commit is refused and the server rolls the batch back. The lines go again one at a time
    // and the counts say what became of each, with the two rows stored before as duplicates.
    const TestBackend server = testBackends().back();
    if (!server.available)
        GTEST_SKIP() << "PostgreSQL is not running here";
    ScopedApp scoped;
    const std::string base = uniqueTableName("importcommit");
    scoped.useBackend(server, base);
    ASSERT_EQ(createTables(base, "DEFAULT", server.dsn, server.user, server.password), 1);
    ASSERT_TRUE(executeSql(server, "create sequence " + base + "_seen"));
    ASSERT_TRUE(executeSql(server, "create function " + base
                                       + "_once() returns trigger language plpgsql as $$ begin "
                                         "if nextval('"
                                       + base
                                       + "_seen') = 1 then raise exception 'given up at commit'; "
                                         "end if; return null; end $$"));
    ASSERT_TRUE(executeSql(server, "create constraint trigger " + base + "_check after insert on " + base
                                       + " deferrable initially deferred for each row execute function " + base
                                       + "_once()"));
    TemporaryFolder files;
    const std::string stored = files.file("stored.csv");
    std::ofstream(stored, std::ios::binary) << mountHistoryHeader() << mountLine(2, "RB0002") << "\n"
                                            << mountLine(4, "RB0004") << "\n";
    ASSERT_TRUE(executeSql(server, "select setval('" + base + "_seen', 100)"));
    ASSERT_EQ(importSavedFile(stored, "10.0.0.1").inserted, 2);
    ASSERT_TRUE(executeSql(server, "select setval('" + base + "_seen', 1, false)"));

    const std::string path = files.file("mounts.csv");
    std::ofstream file(path, std::ios::binary);
    file << mountHistoryHeader();
    for (int minute = 1; minute <= 6; ++minute)
        file << mountLine(minute, "RB000" + std::to_string(minute)) << "\n";
    file.close();
    const ImportResult result = importSavedFile(path, "10.0.0.1");
    EXPECT_EQ(result.inserted, 4);
    EXPECT_EQ(result.duplicates, 2);
    EXPECT_EQ(result.failed, 0);
    EXPECT_EQ(querySql(server, "select volser from " + base + " order by volser"),
              column({"RB0001", "RB0002", "RB0003", "RB0004", "RB0005", "RB0006"}));
    EXPECT_NE(scoped.logText().find("are stored again one at a time"), std::string::npos);
    dropTables(base, server.dsn, server.user, server.password, nullptr);
    executeSql(server, "drop function if exists " + base + "_once() cascade");
    executeSql(server, "drop sequence if exists " + base + "_seen");
}

TEST(ImportWithoutDatabase, UnrecognisedFileOpensNoConnection)
{
    // A data source that does not exist: any attempt to connect would log and show its failure.
    ScopedApp scoped;
    theApp().settings.databaseName = "NoSuchVaultlineSource";
    theApp().settings.mountHistoryTableName = "VAULTLINE";
    theApp().settings.libraryPerformanceTableName = "VAULTLINE_LP";
    TemporaryFolder files;
    for (int fields : {35, 37}) {
        const std::string path = files.file("mounts.csv");
        std::ofstream(path, std::ios::binary) << mountHistoryHeader(fields) << mountLine(1, "DD0001") << "\n";
        EXPECT_EQ(importSavedFile(path, "10.0.0.1").outcome, ImportOutcome::InvalidFormat);
    }
    EXPECT_EQ(scoped.prompts.messageTexts(), (std::vector<std::string>{MountHistoryInvalid, MountHistoryInvalid}));
    EXPECT_EQ(scoped.logText().find("NoSuchVaultlineSource"), std::string::npos) << scoped.logText();

    // The same file with a correct line 1 does try, and the failure is logged and shown.
    const std::string path = files.file("good.csv");
    std::ofstream(path, std::ios::binary) << mountHistoryHeader() << mountLine(1, "DD0001") << "\n";
    EXPECT_EQ(importSavedFile(path, "10.0.0.1").outcome, ImportOutcome::NotConnected);
    EXPECT_NE(scoped.logText().find("Error connecting to Data Source Name NoSuchVaultlineSource"), std::string::npos);
    EXPECT_GT(scoped.prompts.messages().size(), 2u);
}

namespace {
// The process's peak resident memory in KB, from the start or the last reset.
long peakResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

bool resetPeakResident()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}
} // namespace

TEST(ImportWithoutDatabase, EndlessOrHugeFilesAreJudgedByTheirFirstLineAlone)
{
    // Neither file may be read to its end: /dev/zero has none, and 50 MB of zeros after a
    // first line that is no library's must cost no more than that line.
    ScopedApp scoped;
    theApp().settings.databaseName = "NoSuchVaultlineSource";
    TemporaryFolder files;
    const std::string huge = files.file("huge.csv");
    std::ofstream(huge, std::ios::binary) << "Date,Amount,Note\n";
    std::filesystem::resize_file(huge, 50u << 20); // sparse: no disk space used

    const bool measured = resetPeakResident();
    const long before = peakResidentKilobytes();
    for (const std::string& path : {std::string("/dev/zero"), huge})
        EXPECT_EQ(importSavedFile(path, "10.0.0.1").outcome, ImportOutcome::InvalidFormat) << path;
    EXPECT_EQ(scoped.prompts.messageTexts(), (std::vector<std::string>{MountHistoryInvalid, MountHistoryInvalid}));
    if (measured && before > 0) {
        EXPECT_LT(peakResidentKilobytes() - before, 8 * 1024) << "KB more at the peak";
    }
}

TEST(ImportCommand, DialogsAndCancel)
{
    ScopedApp scoped;
    theApp().settings.databaseName = "NoSuchVaultlineSource";
    // Cancel in the file dialog: nothing else is asked.
    EXPECT_EQ(runImportCommand().outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(scoped.prompts.dialogTitles(), std::vector<std::string>{"Import Data"});

    // Cancel in the library name dialog: the file is not even read.
    scoped.prompts.fileReplies.push_back("/no/such/file.csv");
    EXPECT_EQ(runImportCommand().outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(scoped.prompts.dialogTitles(), (std::vector<std::string>{"Import Data", "Import Data", "Library Name"}));
    EXPECT_TRUE(scoped.prompts.messages().empty());

    // Both answered: the import runs on the chosen file.
    scoped.prompts.fileReplies.push_back("/no/such/file.csv");
    scoped.prompts.textReplies.push_back("10.0.0.1");
    EXPECT_EQ(runImportCommand().outcome, ImportOutcome::FileNotOpened);
    EXPECT_EQ(scoped.prompts.messageTexts(),
              std::vector<std::string>{"ERROR: Failed to open import file!\nNo such file or directory\n"});
    EXPECT_EQ(scoped.prompts.waitCursorDepth(), 0);

    // A name too long for the tables is refused and asked for again, the typed text kept.
    scoped.prompts.fileReplies.push_back("/no/such/file.csv");
    scoped.prompts.textReplies.push_back("tapelib2.example.net");
    scoped.prompts.textReplies.push_back("tapelib2");
    EXPECT_EQ(runImportCommand().outcome, ImportOutcome::FileNotOpened);
    const std::vector<std::string> texts = scoped.prompts.messageTexts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1].rfind("The library name or address \"tapelib2.example.net\"", 0), 0u);
    EXPECT_EQ(scoped.prompts.dialogTitles().back(), "Library Name");

    EXPECT_EQ(promptFilter(import_texts::FileDialogFilter), "Comma-seperated values (*.csv);;All Files (*.*)");
}
