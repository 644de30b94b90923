// The batched store of an import against the line-by-line one it replaces: on the same file
// and the same stored rows, the same counts, messages, rows and debug log lines.

#include "ScopedApp.h"
#include "db/Tables.h"
#include "library/Import.h"
#include "library/ImportLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {
using Rows = std::vector<std::vector<std::optional<std::string>>>;

std::string twoDigits(int value)
{
    return (value < 10 ? "0" : "") + std::to_string(value);
}

// A mount a minute from 2009-04-01 on, as a library saves it (blanks written as "_").
std::string mountLine(int index, const std::string& volser, long long firstCounter = 9)
{
    std::string line = "2009__04__" + twoDigits(1 + index / 1440) + "__" + twoDigits(index % 1440 / 60) + "."
                       + twoDigits(index % 60) + "," + volser + ",_4,_2,ARCHIVE_____,__267,0,0";
    for (int counter = 9; counter <= 36; ++counter)
        line += "," + std::to_string(counter == 9 ? firstCounter : counter * 3 + index % 7);
    return line;
}

// Chunks of 500 lines keep the line-by-line reference short.
constexpr std::size_t ChunkLines = 500;

const std::string Header =
    "Mount History,Library,SIM" + std::string(33, ',') + "\nFrames,4\nRecord,Mount\nTime Stamp\nMount Time,Volser\n";

// The log without its time stamps, and without the line that says a chunk is stored again line
// by line, which only the batched store has.
std::vector<std::string> logLines(const std::string& log)
{
    static const std::regex stamp("^[A-Z][a-z]{2} [A-Z][a-z]{2} \\d{2} \\d{4} at \\d{2}:\\d{2}:\\d{2} [AP]M: ");
    std::vector<std::string> lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);)
        if (line.find("are stored again one at a time") == std::string::npos)
            lines.push_back(std::regex_replace(line, stamp, ""));
    return lines;
}

struct Outcome {
    int inserted = 0;
    int duplicates = 0;
    int failed = 0;
    std::vector<std::string> messages;
    Rows rows;
    std::vector<std::string> log;
    int chunksStoredAgain = 0;
    std::string firstStoredAgain;
};

class ImportBatch : public BackendTablesTest {
protected:
    ImportBatch() : BackendTablesTest("importbatch") {}

    // Makes the database refuse one volser, whatever check the program made before.
    void refuseVolser(const std::string& volser)
    {
        if (GetParam().name == "SQLite") {
            ASSERT_TRUE(executeSql(GetParam(), "create trigger " + base + "_refuse before insert on " + base
                                                   + " when new.volser = '" + volser
                                                   + "' begin select raise(abort, 'refused by the test'); end"));
            return;
        }
        ASSERT_TRUE(executeSql(GetParam(), "create function " + base
                                               + "_refuse() returns trigger language plpgsql as "
                                                 "$$ begin if new.volser = '"
                                               + volser
                                               + "' then raise exception "
                                                 "'refused by the test'; end if; return new; end $$"));
        ASSERT_TRUE(executeSql(GetParam(), "create trigger " + base + "_refuse before insert on " + base
                                               + " for each row execute function " + base + "_refuse()"));
    }
    void TearDown() override
    {
        if (GetParam().name != "SQLite" && !base.empty())
            executeSql(GetParam(), "drop function if exists " + base + "_refuse() cascade");
        BackendTablesTest::TearDown();
    }

    // Empties the table, stores the stored file's lines one by one, then imports the file.
    Outcome import(const std::string& stored, const std::string& path, bool batched,
                   std::size_t chunkLines = ChunkLines, std::size_t retryLines = ChunkLines)
    {
        EXPECT_TRUE(executeSql(GetParam(), "delete from " + base));
        ImportOptions small;
        small.store.linesPerChunk = ChunkLines;
        EXPECT_EQ(importSavedFile(stored, "10.0.0.1", small).failed, 0);
        const std::size_t logFrom = scoped.logText().size();
        const std::size_t shownFrom = scoped.prompts.messages().size();
        ImportOptions options;
        options.store.batched = batched;
        options.store.linesPerChunk = chunkLines;
        options.store.linesPerRetry = retryLines;
        const ImportResult result = importSavedFile(path, "10.0.0.1", options);
        Outcome outcome{result.inserted, result.duplicates, result.failed, {}, {}, {}, 0, {}};
        const auto shown = scoped.prompts.messages();
        for (std::size_t at = shownFrom; at < shown.size(); ++at)
            outcome.messages.push_back(shown[at].text);
        outcome.rows = querySql(GetParam(), "select * from " + base + " order by ipaddress, volser, date, time");
        const std::string log = scoped.logText().substr(logFrom);
        outcome.log = logLines(log);
        for (std::size_t at = log.find("are stored again one at a time"); at != std::string::npos;
             at = log.find("are stored again one at a time", at + 1))
            ++outcome.chunksStoredAgain;
        static const std::regex again("Import lines \\d+ to \\d+ are stored again one at a time");
        if (std::smatch found; std::regex_search(log, found, again))
            outcome.firstStoredAgain = found.str();
        return outcome;
    }
};
} // namespace

TEST_P(ImportBatch, SameAnswersAsLineByLine)
{
    refuseVolser("FAIL01");
    // Two chunks and a bit: duplicates within a chunk and across chunks, a line the database
    // refuses and a line the program refuses in the middle of the first, a mount without a
    // volser, and two lines that share a key but not their counters.
    const int count = static_cast<int>(ChunkLines) * 2 + 137;
    std::vector<std::string> lines;
    for (int index = 0; index < count; ++index)
        lines.push_back(mountLine(index, "C" + std::to_string(10000 + index)));
    lines[100] = lines[40];
    lines[720] = lines[10];
    lines[250] = mountLine(250, "FAIL01");
    lines[260] = mountLine(260, "C10260", 99999999999LL);
    lines[900] = mountLine(900, "_");
    lines[1001] = mountLine(1000, "C11000", 5);
    lines[1101] = lines[1100];

    // A stretch of the file stored before, across the second chunk's start.
    std::string storedBytes = Header;
    for (int index = 450; index < 650; ++index)
        storedBytes += lines[static_cast<std::size_t>(index)] + "\n";
    const std::string stored = scoped.logPath() + ".stored.csv";
    std::ofstream(stored, std::ios::binary) << storedBytes;

    const auto fileWith = [&](const std::string& lineEnd) {
        std::string bytes = Header;
        if (lineEnd != "\n")
            std::replace(bytes.begin(), bytes.end(), '\n', '\r');
        if (lineEnd == "\r\n")
            bytes = std::regex_replace(bytes, std::regex("\r"), "\r\n");
        for (const std::string& line : lines)
            bytes += line + lineEnd;
        const std::string path = scoped.logPath() + ".mounts.csv";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        return path;
    };

    // The reference: every line stored on its own, as the monitor and the import always did.
    const Outcome reference = import(stored, fileWith("\n"), false);
    EXPECT_EQ(reference.inserted, count - 200 - 6);
    EXPECT_EQ(reference.failed, 2);
    EXPECT_NE(
        std::find_if(reference.log.begin(), reference.log.end(),
                     [](const std::string& line) { return line.find("refused by the test") != std::string::npos; }),
        reference.log.end());
    const auto sameAsReference = [&](const Outcome& batched) {
        EXPECT_EQ(batched.inserted, reference.inserted);
        EXPECT_EQ(batched.duplicates, reference.duplicates);
        EXPECT_EQ(batched.failed, reference.failed);
        EXPECT_EQ(batched.messages, reference.messages);
        EXPECT_TRUE(batched.rows == reference.rows);
        ASSERT_EQ(batched.log.size(), reference.log.size());
        for (std::size_t at = 0; at < reference.log.size(); ++at)
            ASSERT_EQ(batched.log[at], reference.log[at]) << "log line " << at;
    };
    {
        // The whole file in one chunk: it goes again in pieces, and only the piece with the
        // refused line (the 251st of the file) goes line by line.
        SCOPED_TRACE("one chunk, pieces of 100 lines");
        const Outcome batched = import(stored, fileWith("\n"), true, lines.size(), 100);
        sameAsReference(batched);
        EXPECT_EQ(batched.chunksStoredAgain, 1);
        EXPECT_EQ(batched.firstStoredAgain, "Import lines 201 to 300 are stored again one at a time");
    }
    for (const std::string lineEnd : {"\n", "\r\n", "\r"}) {
        SCOPED_TRACE(lineEnd == "\n" ? "LF" : lineEnd == "\r" ? "CR" : "CR LF");
        const Outcome batched = import(stored, fileWith(lineEnd), true);
        EXPECT_EQ(batched.inserted, reference.inserted);
        EXPECT_EQ(batched.duplicates, reference.duplicates);
        EXPECT_EQ(batched.failed, reference.failed);
        EXPECT_EQ(batched.messages, reference.messages);
        EXPECT_EQ(batched.rows.size(), reference.rows.size());
        EXPECT_TRUE(batched.rows == reference.rows);
        ASSERT_EQ(batched.log.size(), reference.log.size());
        for (std::size_t at = 0; at < reference.log.size(); ++at)
            ASSERT_EQ(batched.log[at], reference.log[at]) << "log line " << at;
        // Only the chunk with the refused line went line by line; the chunk with the mount
        // without a volser was passed over to it without a word.
        EXPECT_EQ(batched.chunksStoredAgain, 1);
    }
}
INSTANTIATE_TEST_SUITE_P(Backends, ImportBatch, ::testing::ValuesIn(testBackends()), BackendName());
