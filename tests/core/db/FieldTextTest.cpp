#include "db/FieldText.h"

#include <gtest/gtest.h>

TEST(FieldText, DatesAndTimes)
{
    EXPECT_EQ(validatedDate("2009-04-28"), "2009-04-28");
    EXPECT_EQ(validatedDate("2009-4-8"), "2009-04-08");
    EXPECT_EQ(validatedDate("2008-02-29"), "2008-02-29");
    EXPECT_EQ(validatedDate("2000-02-29"), "2000-02-29");
    for (const char* bad : {"2009-02-29", "1900-02-29", "2009-13-01", "2009-00-10", "2009-04-31", "09-04-28",
                            "2009-04-28-", "2009--04", "2009-004-28", "2009-04-2a", "", "--"})
        EXPECT_FALSE(validatedDate(bad)) << bad;

    EXPECT_EQ(validatedTime("15:46"), "15:46");
    EXPECT_EQ(validatedTime("9:5"), "09:05");
    EXPECT_EQ(validatedTime("23:59:59"), "23:59:59");
    EXPECT_EQ(validatedTime("0:00:7"), "00:00:07");
    for (const char* bad : {"24:00", "12:60", "12:00:60", "15:", ":46", "1546", "15:46:00:00", "1a:00", "", "123:00"})
        EXPECT_FALSE(validatedTime(bad)) << bad;
}

TEST(FieldText, NumbersAndMissingValues)
{
    for (const char* good : {"0", "42", "-7", "+3", "1.5", ".5", "5."})
        EXPECT_TRUE(isNumber(good)) << good;
    for (const char* bad : {"", "-", ".", "1.2.3", "0x1F", "1e5", "1'", "null", "1)", " 1"})
        EXPECT_FALSE(isNumber(bad)) << bad;

    EXPECT_TRUE(isMissingValue(""));
    EXPECT_TRUE(isMissingValue(" "));
    EXPECT_TRUE(isMissingValue("\t"));
    EXPECT_FALSE(isMissingValue("  "));
    EXPECT_FALSE(isMissingValue(" \t"));
    EXPECT_EQ(removeBlanks(" a b\tc "), "ab\tc");
    EXPECT_EQ(trimmed(" \t a b \t"), "a b");
}
