#include "ScopedApp.h"
#include "query/GeneralQueryThread.h"
#include "query/QueryExport.h"
#include "query/QueryListData.h"
#include "query/QueryTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
// A list with the given titles (the first numeric columns flagged) and rows.
QueryListData listOf(const std::vector<std::string>& titles, const std::vector<int>& numeric,
                     const std::vector<std::vector<std::string>>& rows)
{
    QueryListData list;
    for (const std::string& title : titles)
        list.addColumn(title);
    for (int column : numeric)
        list.addNumericColumn(column);
    for (const auto& row : rows)
        list.addRow(row);
    return list;
}

std::vector<std::string> columnTexts(const QueryListData& list, int column)
{
    std::vector<std::string> texts;
    for (int row = 0; row < list.rowCount(); ++row)
        texts.emplace_back(list.cell(row, column));
    return texts;
}

using Texts = std::vector<std::string>;
} // namespace

TEST(QueryListSort, NumericColumnsCompareIntegersTextColumnsIgnoreCase)
{
    ScopedApp scoped;
    QueryListData list =
        listOf({"ROW", "FRAME", "VOLSER"}, {0, 1},
               {{"1", "10", "jb0002"}, {"2", "9", "JA0001"}, {"3", "", "ja0003"}, {"4", "-2", "Jb0001"}});
    SortMark mark = list.SortColumn(1, false);
    // An empty cell counts as 0; a text sort would have put "10" before "9".
    EXPECT_EQ(columnTexts(list, 1), (Texts{"-2", "", "9", "10"}));
    EXPECT_EQ(mark.column, 1);
    EXPECT_TRUE(mark.ascending);

    list.SortColumn(2, false);
    EXPECT_EQ(columnTexts(list, 2), (Texts{"JA0001", "ja0003", "Jb0001", "jb0002"}));
    // The row number column is only data: it stays with its row.
    EXPECT_EQ(columnTexts(list, 0), (Texts{"2", "3", "4", "1"}));
    EXPECT_EQ(list.sortKeys(), (std::vector<int>{2}));
}

TEST(QueryListSort, PlainClicksAlternateTheDirection)
{
    ScopedApp scoped;
    QueryListData list = listOf({"ROW", "FRAME"}, {0, 1}, {{"1", "10"}, {"2", "9"}, {"3", ""}});
    const Texts ascending{"", "9", "10"};
    const Texts descending{"10", "9", ""};
    EXPECT_TRUE(list.SortColumn(1, false).ascending);
    EXPECT_EQ(columnTexts(list, 1), ascending);
    EXPECT_FALSE(list.SortColumn(1, false).ascending);
    EXPECT_EQ(columnTexts(list, 1), descending);
    EXPECT_TRUE(list.SortColumn(1, false).ascending);
    EXPECT_EQ(columnTexts(list, 1), ascending);

    // Each column remembers its own direction.
    list.SortColumn(0, false);
    EXPECT_FALSE(list.SortColumn(1, false).ascending);
}

TEST(QueryListSort, CtrlClickAddsMinorKeysAndTheFirstKeyStaysMajor)
{
    ScopedApp scoped;
    scoped.app().DebugLevel = 2;
    QueryListData list = listOf({"ROW", "DRIVE", "VOLSER"}, {0, 1},
                                {{"1", "2", "B"}, {"2", "1", "b"}, {"3", "2", "A"}, {"4", "1", "C"}, {"5", "2", "a"}});
    // The first click sorts by its column alone even with Ctrl held.
    list.SortColumn(1, true);
    EXPECT_EQ(list.sortKeys(), (std::vector<int>{1}));
    EXPECT_EQ(columnTexts(list, 1), (Texts{"1", "1", "2", "2", "2"}));

    // Ctrl on VOLSER: DRIVE stays the major key, VOLSER (ascending, ignoring case) orders within it.
    SortMark mark = list.SortColumn(2, true);
    EXPECT_EQ(list.sortKeys(), (std::vector<int>{1, 2}));
    EXPECT_EQ(mark.column, 2);
    EXPECT_TRUE(mark.ascending);
    EXPECT_EQ(columnTexts(list, 1), (Texts{"1", "1", "2", "2", "2"}));
    EXPECT_EQ(columnTexts(list, 2), (Texts{"b", "C", "A", "a", "B"}));
    // Equal keys keep the order the earlier passes left them in: "A" (row 3) before "a" (row 5).
    EXPECT_EQ(columnTexts(list, 0), (Texts{"2", "4", "3", "5", "1"}));

    // Ctrl on VOLSER again reverses only the minor key.
    mark = list.SortColumn(2, true);
    EXPECT_FALSE(mark.ascending);
    EXPECT_EQ(columnTexts(list, 1), (Texts{"1", "1", "2", "2", "2"}));
    EXPECT_EQ(columnTexts(list, 2), (Texts{"C", "b", "B", "A", "a"}));

    // Ctrl on DRIVE moves it to the end: VOLSER (descending) becomes the major key.
    mark = list.SortColumn(1, true);
    EXPECT_EQ(list.sortKeys(), (std::vector<int>{2, 1}));
    EXPECT_EQ(mark.column, 1);
    EXPECT_FALSE(mark.ascending);
    EXPECT_EQ(columnTexts(list, 2), (Texts{"C", "B", "b", "A", "a"}));
    EXPECT_EQ(columnTexts(list, 1), (Texts{"1", "2", "1", "2", "2"}));

    // A plain click starts over with one key.
    list.SortColumn(0, false);
    EXPECT_EQ(list.sortKeys(), (std::vector<int>{0}));
    EXPECT_EQ(columnTexts(list, 0), (Texts{"1", "2", "3", "4", "5"}));
    EXPECT_NE(scoped.logText().find("Starting QueryData::SortColumn with iSubItem: 2\n"), std::string::npos);
}

TEST(QueryListSort, ClearForgetsRowsColumnsAndKeys)
{
    ScopedApp scoped;
    QueryListData list = listOf({"ROW", "A"}, {0}, {{"1", "x"}, {"2", "y"}});
    list.SortColumn(1, false);
    list.SortColumn(0, true);
    list.clear();
    EXPECT_TRUE(list.wasCleared());
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.columnCount(), 0);
    EXPECT_EQ(list.sortMark().column, -1);
    list.addColumn("B");
    list.addRow({"b", "dropped"});
    list.addRow({"a"});
    // The first sort after a clear is a first sort again: Ctrl does not add a key.
    list.SortColumn(0, true);
    EXPECT_EQ(list.sortKeys(), (std::vector<int>{0}));
    EXPECT_EQ(columnTexts(list, 0), (Texts{"a", "b"}));
    EXPECT_EQ(list.cell(5, 0), "");
}

TEST(QueryListSort, DatesAndTimesSortInTimeOrderWhateverTheDisplayFormat)
{
    ScopedApp scoped;
    // Stored dates across a year end, in the order the database returned them.
    const std::vector<std::string> stored{"2026-01-01", "2025-12-29", "", "2026-01-02", "2025-12-31"};
    const Texts storedAscending{"", "2025-12-29", "2025-12-31", "2026-01-01", "2026-01-02"};
    for (int format : {1, 2, 3}) {
        QueryListData list;
        list.addColumn("ROW");
        list.addColumn("DATE");
        list.setColumnKind(1, QueryColumnKind::Date, format);
        for (std::size_t i = 0; i < stored.size(); ++i)
            list.addRow({std::to_string(i + 1), queryDateText(stored[i], format)});
        list.SortColumn(1, false);
        Texts expected;
        for (const std::string& date : storedAscending)
            expected.push_back(queryDateText(date, format));
        EXPECT_EQ(columnTexts(list, 1), expected) << "date format " << format;
        list.SortColumn(1, false);
        std::reverse(expected.begin(), expected.end());
        EXPECT_EQ(columnTexts(list, 1), expected) << "date format " << format;
    }

    // A cell that is not a date keeps its text, and the other dates still sort as dates.
    QueryListData mixed = listOf({"DATE"}, {}, {{"12-29-2025"}, {"01-01-2026"}, {"someday"}});
    mixed.setColumnKind(0, QueryColumnKind::Date, 1);
    mixed.SortColumn(0, false);
    EXPECT_EQ(columnTexts(mixed, 0), (Texts{"someday", "12-29-2025", "01-01-2026"}));

    // The custom reports show two-digit years: those dates sort as dates as well, across the
    // year end, and read back exactly as shown.
    const std::vector<std::pair<int, Texts>> twoDigitYears{{1, {"01-02-26", "12-31-25", "01-01-26"}},
                                                           {2, {"26-01-02", "25-12-31", "26-01-01"}},
                                                           {3, {"02-01-26", "31-12-25", "01-01-26"}}};
    for (const auto& [format, shown] : twoDigitYears) {
        QueryListData list = listOf({"DATE"}, {}, {{shown[0]}, {shown[1]}, {shown[2]}});
        list.setColumnKind(0, QueryColumnKind::Date, format);
        EXPECT_EQ(columnTexts(list, 0), shown) << "date format " << format;
        list.SortColumn(0, false);
        EXPECT_EQ(columnTexts(list, 0), (Texts{shown[1], shown[2], shown[0]})) << "date format " << format;
    }

    QueryListData times = listOf({"TIME"}, {}, {{"13:05:00"}, {"09:59:59"}, {"23:00:01"}, {""}});
    times.setColumnKind(0, QueryColumnKind::Time);
    times.SortColumn(0, false);
    EXPECT_EQ(columnTexts(times, 0), (Texts{"", "09:59:59", "13:05:00", "23:00:01"}));
}

TEST(QueryListStorage, NumbersAreKeptCompactAndEveryCellReadsBackAsGiven)
{
    ScopedApp scoped;
    QueryListData list;
    list.addColumn("ROW");
    list.addColumn("FRAME");
    list.addColumn("VOLSER");
    list.addNumericColumn(0);
    list.addNumericColumn(1);
    const int rows = 100000;
    for (int row = 0; row < rows; ++row)
        list.addRow({std::to_string(row + 1), std::to_string(row % 7 - 3), "V" + std::to_string(100000 + row)});
    // Two number columns at 4 bytes a cell, one text column at 8 bytes and 7 characters a
    // cell, and the row order: 27 bytes a row, twice that at most while the vectors grow
    // (it was over 300 bytes a row when every row kept its own texts).
    EXPECT_LT(list.cellMemoryBytes(), static_cast<std::size_t>(rows) * 56);
    EXPECT_EQ(list.cell(rows - 1, 0), "100000");
    EXPECT_EQ(list.cell(0, 1), "-3");

    // Texts that are not the one way of writing a number are kept exactly, and still sort by
    // their leading digits.
    QueryListData odd = listOf({"FRAME"}, {0}, {{"7"}, {"007"}, {""}, {"-2147483648"}, {"x"}, {"+5"}});
    EXPECT_EQ(columnTexts(odd, 0), (Texts{"7", "007", "", "-2147483648", "x", "+5"}));
    odd.SortColumn(0, false);
    EXPECT_EQ(columnTexts(odd, 0), (Texts{"-2147483648", "", "x", "+5", "7", "007"}));
}

TEST(QueryListWidths, TheLongestTextIsFoundByCharactersInEveryRow)
{
    ScopedApp scoped;
    QueryListData list;
    list.addColumn("ROW");
    list.addColumn("LOGICAL_LIBRARY");
    list.addNumericColumn(0);
    for (int row = 1; row <= 11123; ++row)
        list.addRow({std::to_string(row), row == 11000 ? "abcd" : "\xc3\x84\xc3\x84\xc3\x84"});
    EXPECT_EQ(list.longestCell(0), "10000");
    // Three two-byte characters are shorter than four one-byte ones.
    EXPECT_EQ(list.longestCell(1), "abcd");
    EXPECT_EQ(characterCount("\xc3\x84\xc3\x84\xc3\x84"), 3u);
}

TEST(QueryListColouring, CellsAskTheColouringWithTheirColumnTitle)
{
    struct Limits : QueryCellColouring {
        CellShade shadeFor(const std::string& title, std::string_view text) const override
        {
            if (title != "LIFE_READ_PERMS")
                return CellShade::Default;
            return text == "10" ? CellShade::Red : text == "5" ? CellShade::Yellow : CellShade::Default;
        }
    };
    QueryListData list = listOf({"ROW", "LIFE_READ_PERMS"}, {0}, {{"10", "5"}, {"2", "10"}, {"3", "1"}});
    EXPECT_EQ(list.cellShade(0, 1), CellShade::Default) << "no colouring set";
    list.setCellColouring(std::make_shared<Limits>());
    EXPECT_EQ(list.cellShade(0, 1), CellShade::Yellow);
    EXPECT_EQ(list.cellShade(1, 1), CellShade::Red);
    EXPECT_EQ(list.cellShade(2, 1), CellShade::Default);
    EXPECT_EQ(list.cellShade(0, 0), CellShade::Default) << "another column's title";
}

TEST(QueryExport, FieldsAreQuotedOnlyWhenTheyMustBe)
{
    EXPECT_EQ(csvField("JA0001"), "JA0001");
    EXPECT_EQ(csvField(""), "");
    EXPECT_EQ(csvField(" spaced 'quoted' "), " spaced 'quoted' ");
    EXPECT_EQ(csvField("LL1,LL2"), "\"LL1,LL2\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(csvField("cr\r"), "\"cr\r\"");
}

TEST(QueryExport, WritesVisibleColumnsInAddedOrderAndRowsInShownOrder)
{
    ScopedApp scoped;
    TemporaryFolder folder;
    QueryListData list = listOf({"ROW", "VOLSER", "FRAME", "LOGICAL_LIBRARY"}, {0, 2},
                                {{"1", "JB0002", "", "LL1"}, {"2", "JA0001", "3", "LL \"A\", B"}});
    list.SortColumn(1, false);
    list.setColumnHidden(2, true);
    EXPECT_EQ(list.visibleColumns(), (std::vector<int>{0, 1, 3}));
    const std::string path = folder.file("out.csv");
    ASSERT_EQ(writeQueryExport(path, list), 0);
    EXPECT_EQ(readWholeFile(path), "ROW,VOLSER,LOGICAL_LIBRARY\r\n2,JA0001,\"LL \"\"A\"\", B\"\r\n1,JB0002,LL1\r\n");

    // Showing it again brings it back, an empty cell as an empty field.
    list.setColumnHidden(2, false);
    ASSERT_EQ(writeQueryExport(path, list), 0);
    EXPECT_EQ(readWholeFile(path),
              "ROW,VOLSER,FRAME,LOGICAL_LIBRARY\r\n2,JA0001,3,\"LL \"\"A\"\", B\"\r\n1,JB0002,,LL1\r\n");

    EXPECT_EQ(writeQueryExport(folder.file("missing/out.csv"), list), ENOENT);
}

TEST(QueryExport, CommandChecksTheWindowAsksAndReports)
{
    ScopedApp scoped;
    TemporaryFolder folder;
    QueryListData list = listOf({"ROW"}, {0}, {{"1"}});

    // A report window: the message and no file dialog.
    EXPECT_FALSE(ExportData("Report By Mount Rates 1", &list));
    EXPECT_EQ(scoped.prompts.messageTexts(), (Texts{"ERROR: Function is only for query windows"}));
    EXPECT_TRUE(scoped.prompts.dialogTitles().empty());

    EXPECT_EQ(exportSourceFor("general sql query"), ExportSource::QueryWindow);
    EXPECT_EQ(exportSourceFor("LVR Table 2"), ExportSource::TableWindow);
    EXPECT_EQ(exportSourceFor("Table"), ExportSource::None) << "\"Table\" must come after the first character";
    EXPECT_EQ(exportSourceFor("General SQL Query 2"), ExportSource::None);

    // Cancelled dialog: nothing written, nothing said.
    EXPECT_FALSE(ExportData("General SQL Query", &list));
    EXPECT_EQ(scoped.prompts.dialogTitles(), (Texts{"LVR Export Data"}));

    // A name without an extension gets ".csv".
    scoped.prompts.fileReplies = {folder.file("rows")};
    EXPECT_TRUE(ExportData("LVR Table 1", &list));
    EXPECT_EQ(readWholeFile(folder.file("rows.csv")), "ROW\r\n1\r\n");

    // ".csv" added to a name whose file exists: asked first, and No keeps the file.
    scoped.prompts.fileReplies = {folder.file("rows")};
    scoped.prompts.yesNoReplies = {false};
    QueryListData other = listOf({"OTHER"}, {}, {{"x"}});
    EXPECT_FALSE(ExportData("General SQL Query", &other));
    EXPECT_EQ(scoped.prompts.questions(),
              (Texts{folder.file("rows.csv") + " already exists.\nAre you sure you would like to replace it?"}));
    EXPECT_EQ(readWholeFile(folder.file("rows.csv")), "ROW\r\n1\r\n");
    scoped.prompts.fileReplies = {folder.file("rows")};
    scoped.prompts.yesNoReplies = {true};
    EXPECT_TRUE(ExportData("General SQL Query", &other));
    EXPECT_EQ(readWholeFile(folder.file("rows.csv")), "OTHER\r\nx\r\n");

    // A file that cannot be created: the message with the system's text.
    scoped.prompts.fileReplies = {folder.file("no/such/folder/rows.csv")};
    EXPECT_FALSE(ExportData("General SQL Query", &list));
    const std::string expected = std::string("ERROR: Failed to open export file!\n") + std::strerror(ENOENT);
    ASSERT_EQ(scoped.prompts.messages().size(), 2u);
    EXPECT_EQ(scoped.prompts.messages().back().text.rfind(expected, 0), 0u) << scoped.prompts.messages().back().text;
    EXPECT_EQ(scoped.prompts.messages().back().icon, MessageIcon::Exclamation);
}

TEST(QueryTexts, TemplatesAndFilters)
{
    EXPECT_EQ(fillTemplate("Query has %d results, %s", {"10001", "x"}), "Query has 10001 results, x");
    EXPECT_EQ(fillTemplate("100% %s", {"sure"}), "100% sure");
    EXPECT_EQ(fillTemplate("%s and %s", {"one"}), "one and %s");
    EXPECT_EQ(dialogFilter(query_texts::ExportFilter), "Comma-seperated values (*.csv);;All Files (*.*)");
}
