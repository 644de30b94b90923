#include "app/AppSettings.h"
#include "app/SettingsStore.h"
#include "app/Startup.h"

#include <gtest/gtest.h>

TEST(DecimalValue, LeadingDigitsElseZero)
{
    EXPECT_EQ(decimalValue("2"), 2);
    EXPECT_EQ(decimalValue("12abc"), 12);
    EXPECT_EQ(decimalValue("abc"), 0);
    EXPECT_EQ(decimalValue(""), 0);
    EXPECT_EQ(decimalValue(" 3"), 3);
}
