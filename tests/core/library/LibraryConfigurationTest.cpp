#include "library/LibraryConfiguration.h"
#include "library/LibraryFileText.h"

#include <gtest/gtest.h>

TEST(LibraryConfiguration, OvisFeatureState)
{
    EXPECT_FALSE(isOvisEnabled("FEATURE:OVIS:1:0:\n"));
    EXPECT_TRUE(isOvisEnabled("FEATURE:OVIS:1:1:\n"));
    EXPECT_FALSE(isOvisEnabled("FEATURE:OVIS:0:1:\n"));
    EXPECT_TRUE(isOvisEnabled("OVIS 1 2"));
    EXPECT_FALSE(isOvisEnabled("FEATURE:NONE\n"));
    EXPECT_FALSE(isOvisEnabled(""));
    // Only the first "OVIS" counts.
    EXPECT_FALSE(isOvisEnabled("OVIS:0:1\nOVIS:1:1\n"));
    // Cut off before the second digit: not enabled, and nothing read past the end.
    EXPECT_FALSE(isOvisEnabled("OVIS:1"));
    EXPECT_FALSE(isOvisEnabled("OVIS:1:"));
}

TEST(LibraryConfiguration, PerformanceFrames)
{
    for (const char* model : {"D91", "D61", "D90", "D60"})
        EXPECT_TRUE(hasPerformanceFrame(std::string("X\nFRAME:1:7790:") + model + ":ABC\n")) << model;
    EXPECT_FALSE(hasPerformanceFrame("FRAME:1:7790:D92\n"));
    EXPECT_FALSE(hasPerformanceFrame("FRAME:2:7790:D91\n"));
    EXPECT_FALSE(hasPerformanceFrame(""));

    const LibraryConfiguration both = LibraryConfiguration::read(libraryFileText("FRAME:1:7790:D61\nOVIS:1:1\n"));
    EXPECT_TRUE(both.performanceAvailable);
    EXPECT_TRUE(both.ovisEnabled);
    const LibraryConfiguration neither = LibraryConfiguration::read("FRAME:1:1000:X11\nOVIS:1:0\n");
    EXPECT_FALSE(neither.performanceAvailable);
    EXPECT_FALSE(neither.ovisEnabled);
}
