#include "library/LibraryFileText.h"
#include "library/LibraryTexts.h"
#include "library/SavedFileCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {
std::string header(std::size_t lines)
{
    std::string text;
    for (std::size_t i = 1; i <= lines; ++i)
        text += "header line " + std::to_string(i) + "\n";
    return text;
}

// A line 1 with the title and fields-1 commas.
std::string titleLine(const std::string& title, std::size_t fields)
{
    return title + std::string(fields - 1, ',') + "\n";
}
} // namespace

TEST(LibraryFileText, ZeroBytesAndUnderscoresReadAsBlanks)
{
    EXPECT_EQ(libraryFileText("A_B\0C__\n"s), "A B C  \n");
    EXPECT_EQ(libraryFileText(""), "");

    // A download appends piece by piece and stops at the limit, saying it was cut.
    std::string text;
    EXPECT_TRUE(appendLibraryBytes(text, "ab_", 5));
    EXPECT_FALSE(appendLibraryBytes(text, "cd\0e"s, 5));
    EXPECT_EQ(text, "ab cd");
    EXPECT_FALSE(appendLibraryBytes(text, "x", 5));
    EXPECT_EQ(text, "ab cd");

    EXPECT_EQ(libraryFileUrl("10.1.2.3", library_texts::MountHistoryFileName), "http://10.1.2.3/FS/LIBLG_01_CS.bin");
}

TEST(LibraryFileText, DataLinesFollowTheHeaderAndSkipBlankLines)
{
    const std::string text = header(5) + "one,1\n" + "   \n" + "\n" + "two,2\r\n" + "\t\r\n" + "three,3";
    // The last line counts without a final line end; blank lines in the middle do not end the data.
    EXPECT_EQ(mountHistoryDataLines(text), (std::vector<std::string>{"one,1", "two,2", "three,3"}));

    // Lines are counted as written: an empty line inside the header is one of the header lines...
    EXPECT_EQ(dataLines("h1\n\nh3\nh4\nh5\ndata\n", 5), (std::vector<std::string>{"data"}));
    // ...except in the mount history file, where runs of line ends count as one: its fifth
    // header line must not be stored as data.
    EXPECT_EQ(mountHistoryDataLines("h1\n\nh2\r\n\r\nh3\nh4\nh5\ndata\n"), (std::vector<std::string>{"data"}));
    // CR alone ends lines as well as LF does, in both data files.
    EXPECT_EQ(mountHistoryDataLines("h1\rh2\rh3\rh4\rh5\rone,1\rtwo,2\r"),
              (std::vector<std::string>{"one,1", "two,2"}));
    EXPECT_EQ(libraryPerformanceDataLines("h1\rh2\rh3\rh4\rh5\rh6\ra,b\r"), (std::vector<std::string>{"a,b"}));
    // A file shorter than its header has no data.
    EXPECT_TRUE(mountHistoryDataLines(header(4)).empty());
    EXPECT_TRUE(mountHistoryDataLines(header(4) + "no line end").empty());
    EXPECT_TRUE(mountHistoryDataLines("").empty());
}

TEST(LibraryFileText, LibraryPerformanceFileWithOnlyItsHeaderHasNoData)
{
    EXPECT_TRUE(libraryPerformanceDataLines(header(6)).empty());
    // Fewer than two characters after the header count as an empty file.
    EXPECT_TRUE(libraryPerformanceDataLines(header(6) + "x").empty());
    EXPECT_TRUE(libraryPerformanceDataLines(header(6) + " \n \n").empty());
    EXPECT_EQ(libraryPerformanceDataLines(header(6) + "a,b\n \nc,d"), (std::vector<std::string>{"a,b", "c,d"}));
    // Line 6 is still header in a library performance file.
    EXPECT_EQ(libraryPerformanceDataLines(header(5) + "sixth\nfirst data\n"), std::vector<std::string>{"first data"});
}

TEST(SavedFileCheck, FirstLineDecidesTheKind)
{
    EXPECT_EQ(checkSavedFile(titleLine("Mount History", 36) + "data\n"), SavedFileKind::MountHistory);
    EXPECT_EQ(checkSavedFile(titleLine("Mount History", 35)), SavedFileKind::Invalid);
    EXPECT_EQ(checkSavedFile(titleLine("Mount History", 37)), SavedFileKind::Invalid);
    EXPECT_EQ(checkSavedFile(titleLine("Library Statistics", 11)), SavedFileKind::LibraryPerformance);
    EXPECT_EQ(checkSavedFile(titleLine("Library Statistics", 12)), SavedFileKind::Invalid);
    // Mount history is looked for first, so both titles with 11 fields fail mount history's count.
    EXPECT_EQ(checkSavedFile(titleLine("Mount History Library Statistics", 11)), SavedFileKind::Invalid);
    EXPECT_EQ(checkSavedFile(titleLine("Statistics", 11)), SavedFileKind::Invalid);
    EXPECT_EQ(checkSavedFile(""), SavedFileKind::Invalid);

    // Line 1 ends at "\r" as well; commas after it belong to other lines.
    EXPECT_EQ(checkSavedFile("Library Statistics,,,,,,,,,,\r,,,\n"), SavedFileKind::LibraryPerformance);
    // The title words are found after the byte replacement, wherever they are on line 1.
    EXPECT_EQ(checkSavedFile(libraryFileText("x,Mount_History" + std::string(34, ',') + "\n")),
              SavedFileKind::MountHistory);
    // Only line 1 counts: the title on line 2 is not enough.
    EXPECT_EQ(checkSavedFile("\n" + titleLine("Mount History", 36)), SavedFileKind::Invalid);

    EXPECT_EQ(headerLineCount(SavedFileKind::MountHistory), 5u);
    EXPECT_EQ(headerLineCount(SavedFileKind::LibraryPerformance), 6u);
    EXPECT_EQ(std::string(library_texts::InvalidFileFormat), "Invalid file format!");
}
