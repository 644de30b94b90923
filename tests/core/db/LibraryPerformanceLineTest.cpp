#include "db/LibraryPerformanceLine.h"

#include <gtest/gtest.h>

TEST(LibraryPerformanceTimestamp, BlankSeparatedWithColonBlankAsColon)
{
    SplitTimestamp stamp = splitPerformanceTimestamp("  2009 04 28 15: 46 ");
    EXPECT_EQ(stamp.date, "2009-04-28");
    EXPECT_EQ(stamp.time, "15:46");
    stamp = splitPerformanceTimestamp("2009   4  28   9:05");
    EXPECT_EQ(stamp.date, "2009-4-28");
    EXPECT_EQ(stamp.time, "9:05");
    EXPECT_EQ(splitPerformanceTimestamp("2009 04 28 15:  46").time, "15:46");
    EXPECT_EQ(splitPerformanceTimestamp("2009 04").date, "2009-04-");
    // Every blank after a colon goes, however many there are (in one pass: a long run of them
    // once took seconds).
    const std::string blanks(60000, ' ');
    EXPECT_EQ(splitPerformanceTimestamp("2009 04 28 15:" + blanks + "46").time, "15:46");
    EXPECT_EQ(splitPerformanceTimestamp("2009 04 28 1: 2: 3:" + blanks).time, "1:2:3:");
}

TEST(LibraryPerformanceLine, FieldsAndProblems)
{
    const char* ordinary = "2009 04 28 15: 46, LIB 1 ,120,60,42,30,12,3,20,9,7";
    LibraryPerformanceLine line = LibraryPerformanceLine::parse(ordinary);
    EXPECT_EQ(line.fieldCount, 11u);
    EXPECT_EQ(line.date, "2009-04-28");
    EXPECT_EQ(line.time, "15:46");
    EXPECT_EQ(line.field(LibraryPerformanceLine::LogicalLibraryField), "LIB1");
    EXPECT_EQ(line.field(11), "7");
    EXPECT_EQ(line.field(12), "");
    EXPECT_EQ(line.problem(), "");
    EXPECT_EQ(LibraryPerformanceLine::parse(std::string(ordinary) + "\r").field(11), "7");

    // An empty counter is no value the table can take.
    EXPECT_EQ(LibraryPerformanceLine::parse("2009 04 28 15:46,LIB1,120,  ,42,30,12,3,20,9,7").problem(),
              "field 4 is not a number ()");
    EXPECT_EQ(LibraryPerformanceLine::parse("2009 04 28 15:46").problem(), "it has 1 fields, not 11");
    EXPECT_EQ(LibraryPerformanceLine::parse("2009 04 28 15:46,LIB1,1,2,3,4,5,6,7,8").problem(),
              "it has 10 fields, not 11");
    EXPECT_NE(LibraryPerformanceLine::parse("2009 13 28 15:46,LIB1,1,2,3,4,5,6,7,8,9").problem().find("no valid date"),
              std::string::npos);
    EXPECT_NE(LibraryPerformanceLine::parse("2009 12 28 15.46,LIB1,1,2,3,4,5,6,7,8,9").problem().find("no valid time"),
              std::string::npos);
}

TEST(LibraryPerformanceLine, CountersMustFitTheirColumns)
{
    // The residency fields (3, 4) are int columns, the seven counts and times after them smallint.
    EXPECT_EQ(LibraryPerformanceLine::parse("2009 04 28 15:46,LIB1,40000,60,32767,-32768,1,2,3,4,5").problem(), "");
    EXPECT_EQ(LibraryPerformanceLine::parse("2009 04 28 15:46,LIB1,120,60,32768,1,1,2,3,4,5").problem(),
              "field 5 is not a whole number from -32768 to 32767 (32768)");
    EXPECT_EQ(LibraryPerformanceLine::parse("2009 04 28 15:46,LIB1,120,60,1,1,1,2,3,4,2.5").problem(),
              "field 11 is not a whole number from -32768 to 32767 (2.5)");
}
