#include "library/LineReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {
struct ReadLine {
    std::string text;
    bool tooLong;
    bool ended;
    bool operator==(const ReadLine&) const = default;
};

// Every line of the bytes, handed to the reader `piece` bytes at a time, so that a "\r\n" or a
// long line falls across the reader's blocks.
std::vector<ReadLine> readAll(const std::string& bytes, std::size_t piece, std::size_t limit = LineReader::Unlimited)
{
    std::size_t at = 0;
    LineReader reader(
        [&](char* buffer, std::size_t size) {
            const std::size_t count = std::min({size, piece, bytes.size() - at});
            std::memcpy(buffer, bytes.data() + at, count);
            at += count;
            return count;
        },
        limit);
    std::vector<ReadLine> lines;
    for (LineReader::Line line; reader.next(line);)
        lines.push_back({line.text, line.tooLong, line.ended});
    return lines;
}
} // namespace

TEST(LineReader, EveryLineEndReadsAlikeInAnyPieces)
{
    // LF, CR LF and CR alone; an empty line of each kind; a last line without a line end.
    const std::string bytes = "one\ntwo\r\nthree\rfour\n\n\r\n\r_x\0y"s;
    const std::vector<ReadLine> expected = {{"one", false, true},  {"two", false, true},  {"three", false, true},
                                            {"four", false, true}, {"", false, true},     {"", false, true},
                                            {"", false, true},     {" x y", false, false}};
    for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, bytes.size()})
        EXPECT_EQ(readAll(bytes, piece), expected) << "pieces of " << piece;

    // A CR at the very end is one line end, not the start of another line.
    EXPECT_EQ(readAll("a\r", 1), (std::vector<ReadLine>{{"a", false, true}}));
    EXPECT_TRUE(readAll("", 1).empty());
    EXPECT_EQ(LineReader::allLines("h1\rh2\r\nh3"), (std::vector<std::string>{"h1", "h2", "h3"}));
}

TEST(LineReader, TooLongLineIsReportedOnceAndPassedOver)
{
    const std::string longLine(100, 'x');
    const std::string bytes = "short\n" + longLine + "\r\nafter\n" + longLine;
    const std::vector<ReadLine> expected = {
        {"short", false, true}, {"", true, false}, {"after", false, true}, {"", true, false}};
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, bytes.size()})
        EXPECT_EQ(readAll(bytes, piece, 99), expected) << "pieces of " << piece;
    // Exactly at the limit is still a line.
    EXPECT_EQ(readAll(std::string(99, 'y') + "\n", 5, 99),
              (std::vector<ReadLine>{{std::string(99, 'y'), false, true}}));
}

TEST(LineReader, EndlessBytesWithoutLineEndCostOnlyTheLimit)
{
    // A source that never ends (a device of zeros, a crafted file): the first line is reported
    // too long once the limit is passed, having read no more than the limit and one block.
    std::size_t delivered = 0;
    LineReader reader([&](char* buffer, std::size_t size) {
        std::memset(buffer, 0, size);
        delivered += size;
        return size;
    });
    LineReader::Line line;
    ASSERT_TRUE(reader.next(line));
    EXPECT_TRUE(line.tooLong);
    EXPECT_TRUE(line.text.empty());
    EXPECT_LE(delivered, 2 * LineReader::MaxLineLength);
}
