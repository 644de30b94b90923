#include "ScopedApp.h"
#include "custom/CustomItems.h"
#include "custom/CustomReportRequest.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {
CustomReportChoices choices(std::string dataType, std::vector<std::string> items)
{
    CustomReportChoices chosen;
    chosen.ipAddress = "10.0.0.7";
    chosen.dataTypeItem = std::move(dataType);
    chosen.rateText = "Optionally Select a Rate...";
    chosen.selectedItems = std::move(items);
    chosen.rangeStart = localTime(2008, 3, 15, 12, 0, 0);
    chosen.type = CustomReportType::LineGraph;
    return chosen;
}

CustomReportRequest build(const CustomReportChoices& chosen, int databaseType = 2, int dateFormat = 3)
{
    return buildCustomReportRequest(chosen, "dsn", "user", "secret", "VAULTLINE", databaseType, dateFormat);
}
} // namespace

TEST(CustomReportRequestTest, PrefixSinceTextAndTablesFollowDialectAndDateFormat)
{
    const CustomReportRequest derby = build(choices("Mount History: HOST_WRITE (Drive / Volser)", {"A00001"}));
    EXPECT_EQ(derby.conditionPrefix, "where ipaddress = '10.0.0.7' and date >= '2008-03-15' and ");
    EXPECT_EQ(derby.sinceText, " since 15-03-2008");
    EXPECT_EQ(derby.tableKind, CustomTableKind::MountHistory);
    EXPECT_EQ(derby.libraryPerformanceTable, "VAULTLINE_LP");
    EXPECT_FALSE(derby.rollup);
    EXPECT_FALSE(derby.starred);

    const CustomReportRequest oracle = build(choices("Library Performance: MOUNTS_TOTAL", {"LL1", "LL2"}), 1, 1);
    EXPECT_EQ(oracle.conditionPrefix,
              "where ipaddress = '10.0.0.7' and dates >= TO_DATE('2008-03-15','yyyy-mm-dd') and ");
    EXPECT_EQ(oracle.sinceText, " since 03-15-2008");
    EXPECT_EQ(oracle.tableKind, CustomTableKind::LibraryPerformance);
    EXPECT_EQ(oracle.selection, "LL1,LL2");
    EXPECT_TRUE(oracle.rollup);

    // An address typed into a hostile library list cannot end the literal.
    CustomReportChoices quoted = choices("Mount History: CRYPTO_STATUS", {"A"});
    quoted.ipAddress = "1.2.3.4' or '1'='1";
    EXPECT_EQ(build(quoted).conditionPrefix,
              "where ipaddress = '1.2.3.4'' or ''1''=''1' and date >= '2008-03-15' and ");
}

TEST(CustomReportRequestTest, StarRateAndFlags)
{
    CustomReportChoices chosen = choices("* Mount History: RATING_DRIVE", {"Frame: 1  Drive: 2"});
    const CustomReportRequest starred = build(chosen);
    EXPECT_TRUE(starred.starred);
    EXPECT_EQ(starred.dataType, "Mount History: RATING_DRIVE");
    EXPECT_FALSE(starred.rate);

    chosen = choices("Mount History: HOST_READ (Drive / Volser)", {"A", "B"});
    chosen.rateText = "Per Mount";
    EXPECT_FALSE(build(chosen).rate) << "a rate combo that is disabled gives no rate";
    chosen.rateEnabled = true;
    EXPECT_TRUE(build(chosen).rate);
    chosen.rateText = "Optionally Select a Rate...";
    EXPECT_FALSE(build(chosen).rate);
}

TEST(CustomReportRequestTest, TapeAlertSelectionIsConditionAndCodesAreSorted)
{
    CustomReportChoices chosen =
        choices("Mount History: TAPEALERT_MEDIA", {"Frame: 1  Drive: 2", "Frame: 3  Drive: 14", "A0001", "B'2"});
    chosen.tapeAlert = true;
    chosen.tapeAlertCodes = {"20:Clean now", "3:Hard error", "11:Cleaning media"};
    const CustomReportRequest several = build(chosen);
    EXPECT_EQ(several.selection,
              "(frame = 1 and drive = 2) or (frame = 3 and drive = 14) or volser in ('A0001','B''2')");
    EXPECT_EQ(several.commaList, "Frame: 1  Drive: 2,Frame: 3  Drive: 14,A0001,B'2");
    EXPECT_EQ(several.tapeAlertCodes, (std::vector<std::string>{"3:Hard error", "11:Cleaning media", "20:Clean now"}));
    EXPECT_TRUE(several.severalCodes);

    chosen.selectedItems = {"A0001", "A0002"};
    EXPECT_EQ(build(chosen).selection, "volser in('A0001','A0002')");

    chosen.tapeAlertCodes = {"5:Read failure"};
    const CustomReportRequest one = build(chosen);
    EXPECT_EQ(one.selection, "A0001,A0002") << "one code: the plain comma list";
    EXPECT_FALSE(one.severalCodes);
}

TEST(CustomItemsTest, DriveItemsShortNamesAndHostileParts)
{
    const DriveItem drive = parseDriveItem("Frame: 12  Drive: 3");
    EXPECT_EQ(drive.frame, "12");
    EXPECT_EQ(drive.drive, "3");
    EXPECT_EQ(itemShortName("Frame: 1  Drive: 2"), "Fr1:Drv2");
    EXPECT_EQ(itemShortName("A00001"), "A00001");
    // A stored item that is no number stays a literal: it can only fail to match.
    EXPECT_EQ(parseDriveItem("Frame: 1;drop  Drive: 2 or 1=1").drive, "'2 or 1=1'");
    EXPECT_EQ(splitItems("a,,b,"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(tapeAlertEntries().size(), 42U);
    EXPECT_EQ(tapeAlertEntryFor(58), "58:Firmware failure");
    EXPECT_EQ(tapeAlertEntryFor(13), "");
}
