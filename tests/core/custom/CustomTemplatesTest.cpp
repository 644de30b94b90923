#include "ScopedApp.h"
#include "custom/CustomTemplates.h"
#include "custom/CustomTexts.h"
#include "db/Tables.h"
#include "db/qmxDB.h"

#include <gtest/gtest.h>

namespace {
class CustomTemplates : public BackendTablesTest {
protected:
    CustomTemplates() : BackendTablesTest("templates") {}
    void SetUp() override
    {
        BackendTablesTest::SetUp();
        reports = base + "_REPORTS";
    }
    std::string reports;

    CustomTemplate sample(const std::string& user, const std::string& name, const std::string& value) const
    {
        CustomTemplate tmpl;
        tmpl.userName = user;
        tmpl.name = name;
        tmpl.ipAddress = "10.0.0.7";
        tmpl.range = 4;
        tmpl.fieldType = "* Mount History: RATING_DRIVE";
        tmpl.rateText = "Optionally Select a Rate...";
        tmpl.columnType = 2;
        tmpl.value = value;
        tmpl.reportType = 3;
        return tmpl;
    }
};

// A selection of about 1,200 characters: drives and volsers as the list shows them.
std::string longSelection()
{
    std::string value;
    for (int i = 0; value.size() < 1190; ++i)
        value += (value.empty() ? "" : ",")
                 + (i % 3 == 0 ? "Frame: " + std::to_string(i) + "  Drive: 1" : "VOL" + std::to_string(100000 + i));
    return value;
}
} // namespace

TEST(CustomTemplateValueTest, PiecesEndAtCommasWithinTheLimit)
{
    const std::string value = longSelection();
    const std::vector<std::string> pieces = splitTemplateValue(value);
    ASSERT_EQ(pieces.size(), 3U);
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_LE(pieces[i].size(), 512U);
        if (i + 1 < pieces.size()) {
            EXPECT_EQ(pieces[i].back(), ',');
        }
        joined += pieces[i];
    }
    EXPECT_EQ(joined, value);

    // An item longer than a row is cut at the limit, never inside a character.
    const std::string wide = std::string(511, 'x') + "\xc3\xa9" + "yz";
    const auto cut = splitTemplateValue(wide);
    ASSERT_EQ(cut.size(), 2U);
    EXPECT_EQ(cut[0], std::string(511, 'x'));
    EXPECT_EQ(cut[0] + cut[1], wide);
    EXPECT_EQ(splitTemplateValue(""), std::vector<std::string>{""});
}

TEST(CustomTemplateValueTest, OverlongNamesAreRefusedWithTheirMessage)
{
    EXPECT_EQ(templateNameProblem(std::string(50, 'n'), std::string(25, 'u')), std::nullopt);
    // Characters count, not bytes.
    EXPECT_EQ(templateNameProblem(std::string(51, 'n'), "u"), std::string(custom_texts::TemplateNameTooLong));
    std::string accented;
    for (int i = 0; i < 50; ++i)
        accented += "\xc3\xa9";
    EXPECT_EQ(templateNameProblem(accented, "u"), std::nullopt);
    EXPECT_EQ(templateNameProblem("n", std::string(26, 'u')), std::string(custom_texts::TemplateUserTooLong));
}

TEST_P(CustomTemplates, LongSelectionIsStoredInThreeRowsAndLoadsBackExactly)
{
    qmxDB db;
    const std::string value = longSelection();
    // Another template saved and removed first leaves room in the table that the new rows
    // may take, so the rows' order on disk need not be the order they were saved in.
    ASSERT_TRUE(saveCustomTemplate(db, reports, sample(GetParam().user, "Scratch", value)));
    ASSERT_TRUE(deleteCustomTemplate(db, reports, "Scratch", GetParam().user));
    ASSERT_TRUE(saveCustomTemplate(db, reports, sample(GetParam().user, "It's wide", value)));

    const auto rows = querySql(GetParam(), "select value from " + reports + " where report_name = 'It''s wide'");
    ASSERT_EQ(rows.size(), 3U);
    int withoutComma = 0;
    for (const auto& row : rows)
        withoutComma += row[0]->back() == ',' ? 0 : 1;
    EXPECT_EQ(withoutComma, 1) << "every piece but the last ends at a comma";

    bool failed = true;
    const auto loaded = loadCustomTemplate(db, reports, "It's wide", GetParam().user, failed);
    EXPECT_FALSE(failed);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->value, value);
    EXPECT_EQ(loaded->name, "It's wide");
    EXPECT_EQ(loaded->ipAddress, "10.0.0.7");
    EXPECT_EQ(loaded->range, 4);
    EXPECT_EQ(loaded->fieldType, "* Mount History: RATING_DRIVE");
    EXPECT_EQ(loaded->rateText, "Optionally Select a Rate...");
    EXPECT_EQ(loaded->columnType, 2);
    EXPECT_EQ(loaded->reportType, 3);

    const auto missing = loadCustomTemplate(db, reports, "absent", GetParam().user, failed);
    EXPECT_FALSE(missing.has_value());
    EXPECT_FALSE(failed);
}

TEST_P(CustomTemplates, DeleteRemovesOnlyTheUsersTemplate)
{
    qmxDB db;
    const std::string me = GetParam().user;
    ASSERT_TRUE(saveCustomTemplate(db, reports, sample(me, "Daily", "A0001")));
    ASSERT_TRUE(saveCustomTemplate(db, reports, sample("o'brien", "Daily", "B0001")));
    ASSERT_TRUE(saveCustomTemplate(db, reports, sample(me, "Weekly", "C0001")));

    std::vector<std::string> names;
    ASSERT_TRUE(customTemplateNames(db, reports, me, names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Daily", "Weekly"}));

    ASSERT_TRUE(deleteCustomTemplate(db, reports, "Daily", me));
    bool failed = false;
    EXPECT_FALSE(loadCustomTemplate(db, reports, "Daily", me, failed).has_value());
    const auto theirs = loadCustomTemplate(db, reports, "Daily", "o'brien", failed);
    ASSERT_TRUE(theirs.has_value());
    EXPECT_EQ(theirs->value, "B0001");
}

TEST_P(CustomTemplates, OverlongNameRunsNoStatementAndFailuresAreLogged)
{
    qmxDB db;
    EXPECT_FALSE(saveCustomTemplate(db, reports, sample(GetParam().user, std::string(51, 'n'), "A")));
    EXPECT_EQ(countRows(GetParam(), reports), 0);
    EXPECT_NE(scoped.logText().find(custom_texts::TemplateNameTooLong), std::string::npos);

    bool failed = false;
    EXPECT_FALSE(loadCustomTemplate(db, "no_such_table_here", "x", GetParam().user, failed).has_value());
    EXPECT_TRUE(failed);
    EXPECT_FALSE(saveCustomTemplate(db, "no_such_table_here", sample(GetParam().user, "x", "A")));
    const std::string log = scoped.logText();
    // SQLite refuses the statement when it is prepared, PostgreSQL when it runs.
    EXPECT_TRUE(log.find("Error executing the select statement for volser") != std::string::npos
                || log.find("Error preparing the select statement for volser") != std::string::npos);
    EXPECT_NE(log.find("Error preparing the insert statement INSERT INTO no_such_table_here VALUES ("),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Backends, CustomTemplates, ::testing::ValuesIn(testBackends()), BackendName());

// A comma that falls on character 513 is one past what a row holds: the piece ends at the comma
// before it, and the whole selection still comes back as it was saved.
TEST_P(CustomTemplates, ACommaJustPastTheRowsWidthStartsTheNextRow)
{
    std::string value;
    for (int i = 0; i < 60; ++i)
        value += (i == 0 ? "" : ",") + ("VOL" + std::to_string(10000 + i));
    ASSERT_EQ(value[512], ',') << "the 57th item ends on character 512, its comma is the 513th";
    for (const std::string& piece : splitTemplateValue(value))
        EXPECT_LE(piece.size(), 512U);

    qmxDB db;
    ASSERT_TRUE(saveCustomTemplate(db, reports, sample(GetParam().user, "Edge", value)));
    const auto rows = querySql(GetParam(), "select value from " + reports + " where report_name = 'Edge'");
    ASSERT_EQ(rows.size(), 2U);
    for (const auto& row : rows)
        EXPECT_LE(row[0]->size(), 512U);
    bool failed = true;
    const auto loaded = loadCustomTemplate(db, reports, "Edge", GetParam().user, failed);
    EXPECT_FALSE(failed);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->value, value);
}
