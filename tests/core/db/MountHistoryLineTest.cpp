#include "db/FieldText.h"
#include "library/LibraryFileText.h"
#include "db/MountHistoryLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// Fields 1 to 36 of an ordinary mount history line.
std::vector<std::string> ordinaryFields()
{
    std::vector<std::string> fields{"2009  04  28  15.46", "ABC123", "1", "2", "LIB1", "257", "0", "0"};
    for (int counter = 9; counter <= 36; ++counter)
        fields.push_back(std::to_string(counter));
    return fields;
}

std::string joined(const std::vector<std::string>& fields)
{
    std::string line;
    for (const std::string& field : fields)
        line += (line.empty() ? "" : ",") + field;
    return line;
}
} // namespace

TEST(MountHistoryTimestamp, PiecesSeparatedByTwoBlanks)
{
    const SplitTimestamp stamp = splitTimestamp("2009  04  28  15.46");
    EXPECT_EQ(stamp.date, "2009-04-28");
    EXPECT_EQ(stamp.time, "15:46");

    // Whatever follows the minutes is ignored; blanks inside the pieces are dropped.
    EXPECT_EQ(splitTimestamp("2009  04  28  15.46.07 GMT").time, "15:46");
    EXPECT_EQ(splitTimestamp(" 2009  0 4  28   9.05  ").date, "2009-04-28");
    EXPECT_EQ(splitTimestamp(" 2009  0 4  28   9.05  ").time, "9:05");
    // The library writes underscores where the stamp has blanks.
    EXPECT_EQ(splitTimestamp(libraryFileText("2009__04__28__15.46")).date, "2009-04-28");

    // Single blanks between year, month and day give no date at all.
    const SplitTimestamp single = splitTimestamp("2009 04 28 15.46");
    EXPECT_FALSE(validatedDate(single.date));
    EXPECT_FALSE(validatedTime(splitTimestamp("2009  04  28  1546").time));
}

TEST(MountHistoryLine, FieldsMissingValuesAndBlanks)
{
    std::vector<std::string> fields = ordinaryFields();
    fields[1] = " AB C1 23 "; // blanks removed
    fields[5] = " ";          // no value
    fields[6] = "";           // no value
    fields[7] = "\t";         // no value
    fields[8] = "  ";         // two blanks: an empty value, not a missing one
    const MountHistoryLine line = MountHistoryLine::parse(joined(fields));
    EXPECT_EQ(line.fieldCount, 36u);
    EXPECT_EQ(line.values.size(), 35u);
    EXPECT_EQ(line.field(MountHistoryLine::VolserField), "ABC123");
    EXPECT_FALSE(line.field(MountHistoryLine::ElementAddressField));
    EXPECT_FALSE(line.field(7));
    EXPECT_FALSE(line.field(8));
    ASSERT_TRUE(line.field(9));
    EXPECT_EQ(*line.field(9), "");
    EXPECT_EQ(line.field(36), "36");
    EXPECT_FALSE(line.field(37));
    EXPECT_FALSE(line.field(1));
    // The empty counter cannot go into a statement.
    EXPECT_EQ(line.problem(), "field 9 is not a number ()");
}

TEST(MountHistoryLine, UnderscoresInTextFieldsVanish)
{
    std::vector<std::string> fields = ordinaryFields();
    fields[1] = "AB_123";
    fields[4] = "LIB_ONE";
    const MountHistoryLine line = MountHistoryLine::parse(libraryFileText(joined(fields)));
    EXPECT_EQ(line.field(MountHistoryLine::VolserField), "AB123");
    EXPECT_EQ(line.field(MountHistoryLine::LogicalLibraryField), "LIBONE");
    EXPECT_EQ(line.problem(), "");
}

TEST(MountHistoryLine, ProblemsThatKeepALineOutOfTheDatabase)
{
    EXPECT_EQ(MountHistoryLine::parse(joined(ordinaryFields())).problem(), "");
    // A "\r" left from a "\r\n" line end is not part of the last field.
    const MountHistoryLine crlf = MountHistoryLine::parse(joined(ordinaryFields()) + "\r");
    EXPECT_EQ(crlf.field(36), "36");
    EXPECT_EQ(crlf.problem(), "");
    std::vector<std::string> lastMissing = ordinaryFields();
    lastMissing.back() = "";
    EXPECT_FALSE(MountHistoryLine::parse(joined(lastMissing) + "\r").field(36));

    std::vector<std::string> fields = ordinaryFields();
    fields.pop_back();
    EXPECT_EQ(MountHistoryLine::parse(joined(fields)).problem(), "it has 35 fields, not 36");
    fields = ordinaryFields();
    fields.push_back("37");
    EXPECT_EQ(MountHistoryLine::parse(joined(fields)).problem(), "it has 37 fields, not 36");

    fields = ordinaryFields();
    fields[0] = "2009 04 28 15.46";
    EXPECT_NE(MountHistoryLine::parse(joined(fields)).problem().find("no valid date"), std::string::npos);
    fields[0] = "2009  02  30  15.46";
    EXPECT_NE(MountHistoryLine::parse(joined(fields)).problem().find("no valid date"), std::string::npos);
    fields[0] = "2009  04  28  24.00";
    EXPECT_NE(MountHistoryLine::parse(joined(fields)).problem().find("no valid time"), std::string::npos);

    // A counter that would change the statement instead of filling a column.
    fields = ordinaryFields();
    fields[20] = "1)--";
    EXPECT_EQ(MountHistoryLine::parse(joined(fields)).problem(), "field 21 is not a number (1)--)");
    // Text fields may hold anything: they are quoted.
    fields = ordinaryFields();
    fields[1] = "O'NEIL";
    EXPECT_EQ(MountHistoryLine::parse(joined(fields)).problem(), "");
}

TEST(MountHistoryLine, NumbersMustFitTheirColumns)
{
    // Counters are int columns, the two crypto fields (35, 36) smallint. A database that does not
    // enforce the type (the embedded store keeps 0.5 or 1e30 in an int column) must see the
    // same lines refused as one that does.
    const auto problemWith = [](std::size_t number, const std::string& value) {
        std::vector<std::string> fields = ordinaryFields();
        fields[number - 1] = value;
        return MountHistoryLine::parse(joined(fields)).problem();
    };
    for (const char* fits : {"2147483647", "-2147483648", "+7", "000000000000000000000042"})
        EXPECT_EQ(problemWith(12, fits), "") << fits;
    EXPECT_EQ(problemWith(12, "2147483648"),
              "field 12 is not a whole number from -2147483648 to 2147483647 (2147483648)");
    EXPECT_EQ(problemWith(12, "0.5"), "field 12 is not a whole number from -2147483648 to 2147483647 (0.5)");
    EXPECT_NE(problemWith(3, "999999999999999999999999999999").find("not a whole number"), std::string::npos);
    EXPECT_EQ(problemWith(12, "1e30"), "field 12 is not a number (1e30)");
    EXPECT_EQ(problemWith(36, "32767"), "");
    EXPECT_EQ(problemWith(35, "-32769"), "field 35 is not a whole number from -32768 to 32767 (-32769)");
    // A missing value is still no problem: it is stored as null.
    EXPECT_EQ(problemWith(36, ""), "");
}
