#include "HostileTemplates.h"
#include "ScopedApp.h"
#include "app/TimeFormat.h"
#include "custom/CustomFormLists.h"
#include "custom/CustomReportForm.h"
#include "custom/CustomTemplateCheck.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
CustomTemplate saved(const std::string& fieldType, int columnType, const std::string& value, int reportType)
{
    CustomTemplate tmpl;
    tmpl.name = "t";
    tmpl.ipAddress = "10.0.0.1";
    tmpl.range = 5;
    tmpl.fieldType = fieldType;
    tmpl.rateText = "Per Second (while Mounted)";
    tmpl.columnType = columnType;
    tmpl.value = value;
    tmpl.reportType = reportType;
    return tmpl;
}
} // namespace

// Whatever the form saves passes; one character the form never writes does not.
TEST(CustomTemplateCheck, TakesWhatTheFormSavesAndNothingElse)
{
    TemplateOffer offer;
    offer.libraries = {"10.0.0.1", "lib'2"};
    offer.dataTypes = {"Mount History: HOST_WRITE (Drive / Volser)", "Mount History: HOST_READ (Library)",
                       "Library Performance: MOUNTS_TOTAL"};
    const std::string host = offer.dataTypes[0];
    EXPECT_EQ(templateBadColumn(saved(host, 2, "Frame: 12  Drive: 3,Frame: 1  Drive: 10,O'NEIL,VOL00001", 0), offer),
              std::nullopt)
        << "a volser with a quote is the form's (its quote is doubled in the statements), and a last instance over "
           "several items is loaded with the radio off";
    EXPECT_EQ(templateBadColumn(saved("Mount History: HOST_READ (Library)", 3, "LL1,LL2", 1), offer), std::nullopt);
    EXPECT_EQ(templateBadColumn(saved("Library Performance: MOUNTS_TOTAL", 3, std::string(30, 'L'), 4), offer),
              std::nullopt);

    const auto bad = [&](CustomTemplate tmpl) { return templateBadColumn(tmpl, offer).value_or("accepted"); };
    CustomTemplate tmpl = saved(host, 2, "VOL001", 3);
    tmpl.ipAddress = "10.0.0.2";
    EXPECT_EQ(bad(tmpl), "ipAddress");
    tmpl = saved(host, 2, "VOL001", 3);
    tmpl.range = 0;
    EXPECT_EQ(bad(tmpl), "Range");
    EXPECT_EQ(bad(saved("mount history: HOST_WRITE (Drive / Volser)", 2, "VOL001", 3)), "Field_Type");
    tmpl = saved(host, 2, "VOL001", 3);
    tmpl.rateText = "Per Mount ";
    EXPECT_EQ(bad(tmpl), "Eff_Value");
    EXPECT_EQ(bad(saved(host, 3, "VOL001", 3)), "Col_Type");
    EXPECT_EQ(bad(saved("Library Performance: MOUNTS_TOTAL", 2, "LL1", 3)), "Col_Type");
    EXPECT_EQ(bad(saved(host, 2, "VOL000001", 3)), "Value") << "a volser is at most 8 characters";
    EXPECT_EQ(bad(saved(host, 2, "Frame: 1  Drive: 2 ", 3)), "Value");
    EXPECT_EQ(bad(saved(host, 2, "Frame: 01  Drive: x", 3)), "Value");
    EXPECT_EQ(bad(saved(host, 2, "VOL\n01", 3)), "Value");
    EXPECT_EQ(bad(saved(host, 2, ",", 3)), "Value") << "no item at all";
    EXPECT_EQ(bad(saved("Library Performance: MOUNTS_TOTAL", 3, std::string(31, 'L'), 3)), "Value");
    EXPECT_EQ(bad(saved(host, 2, "VOL001", 5)), "Report_Type");
}

namespace {
class TemplateCheckDatabase : public BackendTablesTest {
protected:
    TemplateCheckDatabase() : BackendTablesTest("tcheck") {}
    void TearDown() override
    {
        dropCanary(GetParam());
        BackendTablesTest::TearDown();
    }
};
} // namespace

// Templates written into the reports table by hand, each with SQL (or a number the form never
// writes) in one column: Load names the template and the column and takes nothing of it.
TEST_P(TemplateCheckDatabase, FormsLoadRefusesAValueItCouldNotHaveSaved)
{
    const std::string today = formatLocalTime("%Y-%m-%d", std::time(nullptr));
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base
                                           + " (ipAddress, Date, Time, Volser, Frame, Drive, Mount_Host_Write) "
                                             "VALUES ('10.0.0.1', '"
                                           + today + "', '10:00:00', 'VOL001', 1, 1, 5)"));
    const std::vector<HostileTemplate> hostile =
        insertHostileTemplates(GetParam(), base + "_REPORTS", scoped.app().settings.userName);
    ASSERT_EQ(hostile.size(), 8u);
    const CustomFormDatabase database = CustomFormDatabase::fromSettings();
    CustomReportForm form(scoped.prompts);
    form.initialise();
    completeFormLoads(form, database);

    const auto load = [&](const std::string& name) {
        ASSERT_TRUE(form.templateCombo.select(name)) << name;
        ASSERT_TRUE(form.loadTemplate());
        completeFormLoads(form, database);
    };
    for (const HostileTemplate& tmpl : hostile) {
        load(tmpl.name);
        ASSERT_FALSE(scoped.prompts.messages().empty()) << tmpl.name;
        EXPECT_EQ(scoped.prompts.messages().back().text, templateRefusedMessage(tmpl.name, tmpl.column));
        EXPECT_EQ(scoped.prompts.messages().back().icon, MessageIcon::Stop);
        EXPECT_TRUE(form.rangeCombo.onPrompt() && form.libraryCombo.onPrompt() && form.dataTypeCombo.onPrompt())
            << tmpl.name;
        EXPECT_EQ(form.reportType(), -1) << tmpl.name;
    }

    const std::size_t shown = scoped.prompts.messages().size();
    load("well formed");
    EXPECT_EQ(scoped.prompts.messages().size(), shown);
    EXPECT_EQ(form.libraryCombo.text(), "10.0.0.1");
    EXPECT_EQ(form.dataTypeCombo.text(), "Mount History: HOST_WRITE (Drive / Volser)");
    EXPECT_EQ(form.driveList.selectedItems(), std::vector<std::string>{"VOL001"});
    EXPECT_EQ(form.reportType(), 3);

    // With its library shown, the form checks against the fields it offers, and keeps its choices.
    load("field");
    EXPECT_EQ(scoped.prompts.messages().back().text, templateRefusedMessage("field", "Field_Type"));
    EXPECT_EQ(form.dataTypeCombo.text(), "Mount History: HOST_WRITE (Drive / Volser)");
    EXPECT_EQ(form.reportType(), 3);
    EXPECT_TRUE(canaryIntact(GetParam()));

    // Lists that could not be read refuse nothing: the form stays as it was, and only the
    // database's own diagnostics are shown.
    const std::size_t before = scoped.prompts.messages().size();
    CustomFormDatabase broken = database;
    broken.mountHistoryTable = base + "_MISSING";
    CustomReportForm other(scoped.prompts);
    other.initialise();
    completeFormLoads(other, database);
    ASSERT_TRUE(other.templateCombo.select("well formed"));
    ASSERT_TRUE(other.loadTemplate());
    completeFormLoads(other, broken);
    const auto messages = scoped.prompts.messages();
    EXPECT_TRUE(std::none_of(
        messages.begin() + static_cast<std::ptrdiff_t>(before), messages.end(),
        [](const auto& shownMessage) { return shownMessage.text.find("was refused") != std::string::npos; }));
    EXPECT_TRUE(other.libraryCombo.onPrompt() && other.dataTypeCombo.onPrompt());
}

INSTANTIATE_TEST_SUITE_P(Backends, TemplateCheckDatabase, ::testing::ValuesIn(testBackends()), BackendName());
