#include "app/WindowArrangement.h"

#include <gtest/gtest.h>

TEST(WindowMenu, EntriesAreNumberedWithMnemonicsForTheFirstNine)
{
    EXPECT_EQ(windowMenuItemText(1, "127.0.0.1:18080"), "&1 127.0.0.1:18080");
    EXPECT_EQ(windowMenuItemText(9, "LVR Line Graph 3"), "&9 LVR Line Graph 3");
    EXPECT_EQ(windowMenuItemText(10, "LVR Bar Graph 1"), "10 LVR Bar Graph 1");
    // An ampersand in a title is shown, not taken as a mnemonic.
    EXPECT_EQ(windowMenuItemText(2, "R&D"), "&2 R&&D");
}

TEST(Cascade, WindowsKeepAUsableSizeAndStayInTheArea)
{
    // A few windows: one size, the area less the steps, a step apart.
    const auto few = cascadeWindows(1100, 650, 3);
    ASSERT_EQ(few.size(), 3u);
    EXPECT_EQ(few[0], (WindowRect{0, 0, 1044, 594}));
    EXPECT_EQ(few[2], (WindowRect{56, 56, 1044, 594}));

    // Many windows are not shrunk below the usable size: the diagonal starts again instead.
    const auto many = cascadeWindows(1100, 650, 30);
    ASSERT_EQ(many.size(), 30u);
    for (const WindowRect& window : many) {
        EXPECT_EQ(window.width, CascadeMinimumWidth);
        EXPECT_EQ(window.height, CascadeMinimumHeight);
        EXPECT_LE(window.x + window.width, 1100);
        EXPECT_LE(window.y + window.height, 650);
    }
    EXPECT_EQ(many[6].y, 6 * CascadeStep);
    EXPECT_EQ(many[7].y, 0) << "(650 - 480) / 28 + 1 windows fit one diagonal";

    // An area smaller than the usable size: the windows fill it, all at the corner.
    const auto small = cascadeWindows(500, 300, 2);
    EXPECT_EQ(small[0], (WindowRect{0, 0, 500, 300}));
    EXPECT_EQ(small[1], (WindowRect{0, 0, 500, 300}));
    EXPECT_TRUE(cascadeWindows(0, 300, 2).empty());
}
