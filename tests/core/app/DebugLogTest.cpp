#include "ScopedApp.h"
#include "app/DebugLog.h"
#include "app/SystemError.h"
#include "app/TimeFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

TEST(DebugLog, LineFormatAndTraceLevel)
{
    ScopedApp scoped;
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 7;
    when.tm_hour = 15;
    when.tm_min = 4;
    when.tm_sec = 9;
    when.tm_isdst = -1;
    const std::time_t fixed = std::mktime(&when);
    scoped.app().debugLog().setClock([fixed] { return fixed; });

    WriteDebugLine("Error connecting to Data Source Name X\n");
    WriteTraceLine("trace hidden at level 1");
    scoped.app().DebugLevel = 2;
    WriteTraceLine("trace shown at level 2");
    EXPECT_EQ(scoped.logText(), "Mon Dec 07 2026 at 03:04:09 PM: Error connecting to Data Source Name X\n\n"
                                "Mon Dec 07 2026 at 03:04:09 PM: trace shown at level 2\n");
}

TEST(DebugLog, StampIgnoresTheProcessLocale)
{
    // The desktop program runs in the user's locale; the log must still read in English. The test
    // makes a German locale of its own from the system's locale sources, whatever the machine has
    // generated.
    TemporaryFolder folder;
    const std::string command = "localedef -i de_DE -f UTF-8 '" + folder.file("de_DE.UTF-8") + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << "localedef could not make de_DE.UTF-8 (package locales)";
    const char* previousPath = std::getenv("LOCPATH");
    const std::string savedPath = previousPath != nullptr ? previousPath : "";
    setenv("LOCPATH", folder.path().c_str(), 1);
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    std::tm when{};
    when.tm_year = 126;
    when.tm_mon = 4;
    when.tm_mday = 3;
    when.tm_wday = 0;
    when.tm_hour = 9;
    char local[64];
    std::strftime(local, sizeof local, "%a %b", &when);
    EXPECT_STREQ(local, "So Mai");
    EXPECT_EQ(formatTime(StampFormat, when), "Sun May 03 2026 at 09:00:00 AM");
    std::setlocale(LC_ALL, saved.c_str());
    if (savedPath.empty())
        unsetenv("LOCPATH");
    else
        setenv("LOCPATH", savedPath.c_str(), 1);
}

TEST(DebugLog, SecondStartTruncatesAndThreadsNeverInterleave)
{
    TemporaryFolder folder;
    const std::string path = folder.file("lvr_debug.txt");
    {
        DebugLog first;
        ASSERT_EQ(first.open(path), 0);
        first.writeLine("first run");
    }
    DebugLog second;
    ASSERT_EQ(second.open(path), 0);
    second.writeLine("second run");

    // Another process (or log object) cannot take the file while it is open.
    DebugLog intruder;
    EXPECT_NE(intruder.open(path), 0);
    second.writeLine("still mine");

    std::vector<std::thread> writers;
    const std::string payload(300, 'x');
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i)
                second.writeLine("thread " + std::to_string(t) + " " + payload);
        });
    for (auto& writer : writers)
        writer.join();
    second.close();

    std::istringstream lines(readWholeFile(path));
    std::string line;
    std::getline(lines, line);
    EXPECT_NE(line.find("second run"), std::string::npos);
    EXPECT_EQ(readWholeFile(path).find("first run"), std::string::npos);
    const std::regex whole(
        R"(^\w{3} \w{3} \d\d \d{4} at \d\d:\d\d:\d\d [AP]M: (second run|still mine|thread \d x{300})$)");
    int count = 0;
    lines.seekg(0);
    while (std::getline(lines, line)) {
        EXPECT_TRUE(std::regex_match(line, whole)) << line;
        ++count;
    }
    EXPECT_EQ(count, 2 + 800);
}

TEST(DebugLog, OpenFailureGivesTheSystemReason)
{
    DebugLog log;
    int error = log.open("/nonexistent-folder/lvr_debug.txt");
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(FormatSystemError(error), "No such file or directory\n");
    EXPECT_EQ(FormatSystemError(987654), "Unknown Error: 987654\n");
    log.writeLine("ignored without a file"); // never fails towards the caller
}

namespace {
mode_t permissionsOf(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 07777;
}
} // namespace

TEST(DebugLog, FullLogIsRenamedAndANewOneStartedWithLinesWhole)
{
    TemporaryFolder folder;
    const std::string path = folder.file("lvr_debug.txt");
    const std::string previous = path + ".1";
    // A log left by an earlier run with wider permissions, and a rotated copy from before.
    std::ofstream(path) << "old run\n";
    ::chmod(path.c_str(), 0644);
    std::ofstream(previous) << "older copy\n";

    DebugLog log;
    log.setSizeLimit(1000);
    ASSERT_EQ(log.open(path), 0);
    EXPECT_EQ(permissionsOf(path), 0600u);
    // The start of a run still empties the log; the copy from before stays until it is replaced.
    EXPECT_EQ(readWholeFile(path), "");

    const auto line = [](int number) { return "line " + std::to_string(number) + " " + std::string(90, 'x'); };
    for (int number = 1; number <= 25; ++number)
        log.writeLine(line(number));

    const std::string current = readWholeFile(path);
    const std::string renamed = readWholeFile(previous);
    EXPECT_LE(current.size(), 1000u);
    EXPECT_LE(renamed.size(), 1000u);
    EXPECT_EQ(renamed.find("older copy"), std::string::npos) << "one previous file is kept, not two";
    EXPECT_EQ(permissionsOf(previous), 0600u);
    EXPECT_EQ(permissionsOf(path), 0600u);
    // The two files hold the last lines in order, each line whole in one of them.
    const std::string both = renamed + current;
    const std::regex whole(R"(^\w{3} \w{3} \d\d \d{4} at \d\d:\d\d:\d\d [AP]M: line (\d+) x{90}$)");
    std::istringstream lines(both);
    int expected = 25 - static_cast<int>(std::count(both.begin(), both.end(), '\n')) + 1;
    EXPECT_GT(expected, 1) << "some lines went with the older copies";
    for (std::string text; std::getline(lines, text); ++expected) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(text, match, whole)) << text;
        EXPECT_EQ(std::stoi(match[1]), expected);
    }
    EXPECT_EQ(expected, 26);
    EXPECT_FALSE(renamed.empty());
    EXPECT_NE(current.find("line 25 "), std::string::npos);

    // The new file is as much ours as the first: another process cannot take it.
    DebugLog intruder;
    EXPECT_EQ(intruder.open(path), EWOULDBLOCK);
}

// A link in the log's place, or in the rotated copy's, never leads the program to empty or
// narrow the file it points to.
TEST(DebugLog, SymbolicLinksAreNeverWrittenThrough)
{
    TemporaryFolder folder;
    const std::string target = folder.file("precious.txt");
    std::ofstream(target) << "keep me\n";
    ::chmod(target.c_str(), 0644);
    const std::string path = folder.file("lvr_debug.txt");
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    {
        DebugLog log;
        const int error = log.open(path);
        EXPECT_EQ(error, ELOOP);
        EXPECT_FALSE(log.isOpen());
        EXPECT_EQ(debugLogOpenFailure(path, error), "ERROR: Failed to open debug file!\n" + FormatSystemError(ELOOP)
                                                        + path
                                                        + " is a symbolic link, and the debug log is never written "
                                                          "through one: remove the link, or run from another folder\n");
    }
    EXPECT_EQ(readWholeFile(target), "keep me\n");
    EXPECT_EQ(permissionsOf(target), 0644u);
    // Any other failure keeps its two lines only.
    EXPECT_EQ(debugLogOpenFailure(folder.file("none/x"), ENOENT),
              "ERROR: Failed to open debug file!\nNo such file or directory\n");

    ::unlink(path.c_str());
    const std::string previous = path + ".1";
    ASSERT_EQ(::symlink(target.c_str(), previous.c_str()), 0);
    DebugLog log;
    log.setSizeLimit(300);
    ASSERT_EQ(log.open(path), 0);
    for (int number = 0; number < 10; ++number)
        log.writeLine(std::string(60, 'x'));
    struct stat info {};
    ASSERT_EQ(::lstat(previous.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode)) << "the rotation replaced the link by the full log";
    EXPECT_EQ(readWholeFile(target), "keep me\n");
    EXPECT_EQ(permissionsOf(target), 0644u);
}

TEST(DebugLog, TruncatedFromOutsideLeavesNoGap)
{
    // A log rotation tool that copies the file and truncates it: the next line goes to the
    // start of the file, not to the old offset after a run of zero bytes.
    TemporaryFolder folder;
    const std::string path = folder.file("lvr_debug.txt");
    DebugLog log;
    ASSERT_EQ(log.open(path), 0);
    log.writeLine(std::string(5000, 'a'));
    ASSERT_EQ(::truncate(path.c_str(), 0), 0);
    log.writeLine("after the truncation");
    const std::string text = readWholeFile(path);
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_LT(text.size(), 100u);
    EXPECT_NE(text.find("after the truncation"), std::string::npos);
}

// Lines gathered and written together make the same files as lines written one at a time: the
// same lines in the same order, the new file started at the same line. Another thread's line
// is not held back by the gathering.
TEST(DebugLog, GatheredLinesMakeTheSameFiles)
{
    TemporaryFolder folder;
    const auto line = [](int number) { return "line " + std::to_string(number) + " " + std::string(90, 'x'); };
    const auto files = [&](const std::string& name, bool gathered) {
        const std::string path = folder.file(name);
        DebugLog log;
        log.setClock([] { return std::time_t{1700000000}; });
        log.setSizeLimit(1000);
        EXPECT_EQ(log.open(path), 0);
        {
            std::optional<GatheredDebugLines> gathering;
            if (gathered)
                gathering.emplace(log);
            for (int number = 1; number <= 25; ++number) {
                // An outer gathering holds the lines of an inner one.
                if (gathered && number == 3) {
                    const GatheredDebugLines inner(log);
                    log.writeLine(line(number));
                    continue;
                }
                log.writeLine(line(number));
                if (gathered) {
                    EXPECT_EQ(readWholeFile(path), "") << "line " << number << " was not held back";
                }
            }
        }
        return std::make_pair(readWholeFile(path + ".1"), readWholeFile(path));
    };
    const auto oneByOne = files("one.txt", false);
    const auto together = files("together.txt", true);
    EXPECT_FALSE(oneByOne.first.empty());
    EXPECT_EQ(together.first, oneByOne.first);
    EXPECT_EQ(together.second, oneByOne.second);

    const std::string path = folder.file("threads.txt");
    DebugLog log;
    ASSERT_EQ(log.open(path), 0);
    {
        const GatheredDebugLines gathering(log);
        log.writeLine("gathered");
        std::thread([&log] {
            // This thread's own gathering waits for none: the first thread gathers.
            const GatheredDebugLines other(log);
            log.writeLine("other thread");
        }).join();
        EXPECT_NE(readWholeFile(path).find("other thread"), std::string::npos);
        EXPECT_EQ(readWholeFile(path).find("gathered"), std::string::npos);
    }
    const std::string text = readWholeFile(path);
    EXPECT_LT(text.find("other thread"), text.find("gathered"));
    log.close();
}
