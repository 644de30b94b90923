#include "ScopedApp.h"
#include "db/Tables.h"
#include "library/MonitorAddressList.h"
#include "library/MonitorFormat.h"
#include "library/MonitorTexts.h"
#include "library/MonitorWindowText.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(MonitorWindowText, TheOldestHalfGoesWhenTheWindowIsFull)
{
    MonitorWindowText window;
    for (int line = 1; line <= 1024; ++line)
        EXPECT_FALSE(window.append("line " + std::to_string(line)));
    EXPECT_EQ(window.lineCount(), 1025u);
    EXPECT_EQ(window.text().substr(0, 8), "line 1\r\n");

    // The 1025th line finds the window over 1024 lines.
    EXPECT_TRUE(window.append("line 1025"));
    EXPECT_EQ(window.text().substr(0, 11), "\r\nline 513\r");
    EXPECT_EQ(window.text().find("line 512\r"), std::string::npos);
    EXPECT_EQ(window.text().substr(window.text().size() - 11), "line 1025\r\n");
    EXPECT_EQ(window.lineCount(),
              static_cast<std::size_t>(std::count(window.text().begin(), window.text().end(), '\n')) + 1);
    EXPECT_EQ(window.lineCount(), 515u);

    // A line that carries its own line end counts as two lines.
    MonitorWindowText skipping;
    skipping.append("Skipping\n");
    EXPECT_EQ(skipping.text(), "Skipping\n\r\n");
    EXPECT_EQ(skipping.lineCount(), 3u);
}

TEST(MonitorWindowText, TheWidestLineIsTheStampedPerformanceLine)
{
    const std::string address = "192.168.100.200:18080";
    const std::string widest = widestMonitorLine(address);
    EXPECT_EQ(widest, "Getting Library Performance file from " + address + " on Wed May 20 2026 at 10:58:48 PM");
    // No line of a normal run is longer, so a window that fits this one cuts none.
    for (const std::string& line :
         {formatMonitorText(monitor_texts::GettingMountHistory, address.c_str(), "Wed May 20 2026 at 10:58:48 PM"),
          formatMonitorText(monitor_texts::StartingMonitor, address.c_str()),
          formatMonitorText(monitor_texts::InsertedLibraryPerformance, 2147483647),
          std::string(monitor_texts::SkippingLibraryPerformance), std::string(monitor_texts::LibraryPerformanceRetry)})
        EXPECT_LE(line.size(), widest.size()) << line;
    EXPECT_EQ(widestMonitorLine("lib"),
              "Skipping Library Performance file. Previous Library Performance still processing");
}

TEST(MonitorAddressList, EnteredTextAndAllLibraries)
{
    EXPECT_EQ(cleanLibraryAddress(" \t10.1.2.3 \t"), "10.1.2.3");
    EXPECT_EQ(cleanLibraryAddress("lib1 lib2"), "lib1");
    EXPECT_EQ(cleanLibraryAddress(" \t "), "");

    const std::vector<std::string> list{"**ALL**", "A", "B", "C"};
    const std::vector<MonitorStart> all = monitorStarts("**ALL**", list);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].address, "C");
    EXPECT_EQ(all[0].startOffset.count(), 80000);
    EXPECT_EQ(all[1].address, "B");
    EXPECT_EQ(all[1].startOffset.count(), 40000);
    EXPECT_EQ(all[2].address, "A");
    EXPECT_EQ(all[2].startOffset.count(), 0);

    const std::vector<MonitorStart> one = monitorStarts("B", list);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].address, "B");
    EXPECT_EQ(one[0].startOffset.count(), 0);
    EXPECT_TRUE(monitorStarts("**ALL**", {}).empty());
}

TEST(MonitorAddressList, AddressMustFitTheAddressColumn)
{
    EXPECT_EQ(libraryAddressProblem("255.255.255.255"), "");
    EXPECT_EQ(libraryAddressProblem("**ALL**"), "");
    // Characters are counted, not bytes: fifteen accented letters fit a varchar(15).
    std::string accented;
    for (int i = 0; i < 15; ++i)
        accented += "\xc3\xa9";
    EXPECT_EQ(libraryAddressProblem(accented), "");
    EXPECT_EQ(libraryAddressProblem("tapelib2.example.net"),
              "The library name or address \"tapelib2.example.net\" is longer than 15 characters, the most the "
              "database stores with each row.\nEnter the library's IP address or a shorter name.");
    EXPECT_NE(libraryAddressProblem(accented + "x"), "");
}

class MonitorAddresses : public BackendTest {};

TEST_P(MonitorAddresses, TheListHoldsEveryStoredLibraryAfterAllLibraries)
{
    ScopedApp scoped;
    const std::string base = uniqueTableName("addresses");
    scoped.useBackend(GetParam(), base);
    const TestBackend& backend = GetParam();
    ASSERT_EQ(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
    const std::string table = tableNameFor(TableKind::MountHistory, base);

    auto empty = setupIPCombo();
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());

    for (const char* address : {"lib-b", "lib-a", "lib-b"})
        ASSERT_TRUE(executeSql(backend, "insert into " + table + " (ipaddress, volser) values ('" + address + "', 'V"
                                            + std::to_string(countRows(backend, table)) + "')"));
    auto list = setupIPCombo();
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(*list, (std::vector<std::string>{"**ALL**", "lib-a", "lib-b"}));
    dropTables(base, backend.dsn, backend.user, backend.password, nullptr);

    // A table that is not there closes the dialog as cancelled.
    EXPECT_FALSE(setupIPCombo().has_value());
}

INSTANTIATE_TEST_SUITE_P(Backends, MonitorAddresses, ::testing::ValuesIn(testBackends()), BackendName());
