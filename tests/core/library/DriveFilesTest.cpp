#include "library/DriveStatistics.h"
#include "library/DriveStatusLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<std::vector<std::string>> cellsOf(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    for (const DriveStatusLine& drive : readDriveStatusLines(text))
        rows.push_back(drive.cells);
    return rows;
}
} // namespace

TEST(DriveStatus, DriveLinesBecomeRows)
{
    const std::string text = "LIBRARY:QV8800:\n"
                             "TAPEDRIVE:1:2:3:FC:LTO4:YES:APPL:ON:\n"
                             " TAPE DRIVE : 1 : 3 : 4 : SCSI :LTO3:NO:NONE:OFF:\r\n"
                             "TAPEDRIVE:2:1:1:FC:LTO4:YES:APPL:ON:extra:more:\n"
                             "TAPEDRIVE:2:2:1:FC tail";
    EXPECT_EQ(cellsOf(text),
              (std::vector<std::vector<std::string>>{{"1", "2", "3", "FC", "LTO4", "YES", "APPL", "ON"},
                                                     {"1", "3", "4", "SCSI", "LTO3", "NO", "NONE", "OFF"},
                                                     {"2", "1", "1", "FC", "LTO4", "YES", "APPL", "ON"},
                                                     {"2", "2", "1"}}));
}

TEST(DriveStatus, ReadingEndsAtTheFirstEmptyLine)
{
    EXPECT_TRUE(readDriveStatusLines("\nTAPEDRIVE:1:2:3:FC:\n").empty());
    EXPECT_TRUE(readDriveStatusLines("HEADER\n   \r\nTAPEDRIVE:1:2:3:FC:\n").empty());
    EXPECT_EQ(cellsOf("TAPEDRIVE:1:2:\n\nTAPEDRIVE:9:9:\n"), (std::vector<std::vector<std::string>>{{"1", "2"}}));
    EXPECT_TRUE(readDriveStatusLines("").empty());
    EXPECT_FALSE(DriveStatusLine::parse("ROBOT:1:2:3:"));
}

TEST(DriveStatistics, DriveLinesAndTheirWwnn)
{
    EXPECT_EQ(driveLineWwnn("1000 5005 0000 001A,  LTO4, 9"), "100050050000001A");
    // "5005" has to come after the first character.
    EXPECT_FALSE(driveLineWwnn("50050000000401A,LTO4"));
    EXPECT_EQ(driveLineWwnn("x50050000000401A,LTO4"), "x50050000000401A");
    // No comma, or fewer than two characters before it: no drive line.
    EXPECT_FALSE(driveLineWwnn("A5005000000401A LTO4"));
    EXPECT_FALSE(driveLineWwnn(" A ,5005"));

    const std::string text = "Drive statistics\n"
                             "WWNN,Type\n"
                             "1050050000000001,LTO4\r\n"
                             "\n"
                             "1050050000000002,LTO4";
    EXPECT_EQ(driveWwnns(text), (std::vector<std::string>{"1050050000000001", "1050050000000002"}));
    EXPECT_EQ(driveStatisticsLines("a\n\nb").size(), 3u);
    EXPECT_TRUE(driveStatisticsLines("").empty());
}
