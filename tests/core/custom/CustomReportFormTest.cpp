#include "ScopedApp.h"
#include "app/TimeFormat.h"
#include "custom/CustomFormLists.h"
#include "custom/CustomFormTexts.h"
#include "custom/CustomReportForm.h"
#include "custom/GeneralReportThread.h"
#include "query/QueryListData.h"
#include "query/QueryResultSink.h"
#include "db/Dialect.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace texts = custom_form_texts;

namespace {
std::vector<std::string> afterPrompt(const FormCombo& combo)
{
    return {combo.items.begin() + 1, combo.items.end()};
}

int indexOf(const FormCombo& combo, const std::string& text)
{
    const auto found = std::find(combo.items.begin(), combo.items.end(), text);
    return found == combo.items.end() ? -1 : static_cast<int>(found - combo.items.begin());
}

// A form whose lists are given, as the database would fill them, without one.
CustomReportForm formWith(UserPrompts& prompts, std::vector<std::string> dataTypes, std::vector<std::string> driveItems,
                          std::vector<std::string> logicalLibraries = {})
{
    CustomReportForm form(prompts);
    form.initialise();
    (void)form.takePendingLoad();
    FormLists lists;
    lists.libraries = std::vector<std::string>{"10.0.0.1"};
    lists.templateNames = std::vector<std::string>{};
    form.listsLoaded(lists);
    form.rangeChanged(1);
    form.libraryChanged(1);
    (void)form.takePendingLoad();
    form.listsLoaded(FormLists{});
    form.dataTypeCombo.replaceAfterPrompt(dataTypes);
    form.driveList.setItems(std::move(driveItems));
    form.logicalList.setItems(std::move(logicalLibraries));
    return form;
}

void click(CustomReportForm& form, int item)
{
    form.driveList.selected[item] = !form.driveList.selected[item];
    form.driveListClicked(item);
}

CustomReportRequest plainRequest(const CustomReportChoices& choices)
{
    CustomReportRequest request;
    request.ipAddress = choices.ipAddress;
    request.dataType = choices.dataTypeItem;
    for (const auto& item : choices.selectedItems)
        request.selection += (request.selection.empty() ? "" : ",") + item;
    request.rateText = choices.rateText;
    request.type = choices.type;
    request.exportPath = choices.exportPath;
    request.tapeAlertCodes = choices.tapeAlertCodes;
    return request;
}
} // namespace

TEST(CustomFormFields, ColumnNamesInAnyCaseGiveTheSameItems)
{
    const std::vector<std::string> declared = {"ipAddress",
                                               "Date",
                                               "Time",
                                               "Volser",
                                               "Frame",
                                               "Drive",
                                               "Logical_Library",
                                               "Element_Address",
                                               "Reserved1",
                                               "Mount_Host_Write",
                                               "Mount_Host_Read",
                                               "Mount_Drive_Residency",
                                               "Life_Mounts_Media",
                                               "Life_Write_Retries_Media",
                                               "Mount_Rating_Drive",
                                               "Mount_Crypto_Status",
                                               "Reserved5"};
    std::vector<std::string> lower;
    for (std::string name : declared) {
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        lower.push_back(name);
    }
    const std::vector<std::string> expected = {"Mount History: HOST_WRITE (Drive / Volser)",
                                               "Mount History: HOST_READ (Drive / Volser)",
                                               "Mount History: DRIVE_RESIDENCY",
                                               "Mount History: LIFE_MOUNTS_MEDIA",
                                               "Mount History: WRITE_RETRIES_MEDIA",
                                               "* Mount History: RATING_DRIVE",
                                               "Mount History: CRYPTO_STATUS"};
    EXPECT_EQ(fieldComboItems(declared, CustomTableKind::MountHistory, 1), expected);
    EXPECT_EQ(fieldComboItems(lower, CustomTableKind::MountHistory, 1), expected) << "PostgreSQL's lower case";

    auto withLibraries = expected;
    withLibraries.push_back("Mount History: HOST_READ (Library)");
    withLibraries.push_back("Mount History: HOST_WRITE (Library)");
    EXPECT_EQ(fieldComboItems(lower, CustomTableKind::MountHistory, 2), withLibraries);

    EXPECT_EQ(fieldComboItems({"ipaddress", "date", "time", "logical_library", "mounts_total", "residency_max"},
                              CustomTableKind::LibraryPerformance, 5),
              (std::vector<std::string>{"Library Performance: MOUNTS_TOTAL", "Library Performance: RESIDENCY_MAX"}));
}

TEST(CustomFormFields, StatementsPerKindAndDialect)
{
    CustomFormDatabase database;
    database.mountHistoryTable = "VL";
    database.libraryPerformanceTable = "VL_LP";
    database.reportsTable = "VL_REPORTS";
    database.userName = "o'neil";
    database.databaseType = 2;
    const std::time_t start = localTime(2026, 11, 3, 12, 0, 0);
    EXPECT_EQ(setupComboStatement(database, "Volser", 1, "lib'1", start),
              "select distinct volser from VL where ipaddress = 'lib''1' and date >= '2026-11-03' order by volser asc");
    EXPECT_EQ(setupComboStatement(database, "Logical Library", 2, "10.0.0.1", start),
              "select distinct Logical_Library from VL_LP where ipaddress = '10.0.0.1' and date >= '2026-11-03' "
              "order by Logical_Library asc");
    EXPECT_EQ(setupComboStatement(database, "Fields", 2, "10.0.0.1", start),
              "select distinct * from VL_LP where date = '1970-01-01'");
    EXPECT_EQ(setupComboStatement(database, "Load", 1, "", start),
              "select distinct report_name from VL_REPORTS where username = 'o''neil'");
    EXPECT_EQ(setupComboStatement(database, "Library", 1, "", start),
              "select distinct ipaddress from VL order by ipaddress asc");
    database.databaseType = 1;
    EXPECT_EQ(setupComboStatement(database, "Drive", 1, "10.0.0.1", start),
              "select distinct frame, drive from VL where ipaddress = '10.0.0.1' and "
              "dates >= TO_DATE('2026-11-03','yyyy-mm-dd') order by frame asc");
    EXPECT_EQ(setupComboStatement(database, "Fields", 1, "", start),
              "select distinct * from VL where dates = TO_DATE('1970-01-01','yyyy-mm-dd')");
}

TEST(CustomFormRules, RangeReachesBackWholeSecondsAndThePromptDisables)
{
    RecordingPrompts prompts;
    std::time_t now = 1'800'000'000;
    CustomReportForm form(prompts, [&] { return now; });
    form.initialise();
    EXPECT_FALSE(form.libraryCombo.enabled);
    EXPECT_FALSE(form.rateCombo.shown);
    EXPECT_FALSE(form.logicalList.shown);
    form.rangeChanged(indexOf(form.rangeCombo, "Last 2 Months"));
    EXPECT_EQ(form.rangeStart(), now - 5184000);
    EXPECT_TRUE(form.libraryCombo.enabled);
    now += 10;
    form.rangeChanged(indexOf(form.rangeCombo, "Last 6 Months"));
    EXPECT_EQ(form.rangeStart(), now - 15552000);
    form.rangeChanged(0);
    EXPECT_FALSE(form.libraryCombo.enabled);
    EXPECT_FALSE(form.dataTypeCombo.enabled);
    EXPECT_FALSE(form.driveList.enabled);
}

// An answer finishes the handler whose load was handed out, once: one that comes before the
// load was taken, or a second one, changes nothing.
TEST(CustomFormRules, AnAnswerFinishesTheLoadHandedOutOnce)
{
    RecordingPrompts prompts;
    CustomReportForm form(prompts);
    form.initialise();
    form.listsLoaded(FormLists{});
    ASSERT_TRUE(form.loadPending());
    ASSERT_TRUE(form.takePendingLoad());
    EXPECT_FALSE(form.loadPending());
    FormLists lists;
    lists.libraries = std::vector<std::string>{"10.0.0.1", "10.0.0.2"};
    lists.templateNames = std::vector<std::string>{};
    form.listsLoaded(lists);
    form.rangeChanged(1);
    form.libraryChanged(2);
    const auto load = form.takePendingLoad();
    ASSERT_TRUE(load);
    EXPECT_EQ(load->ipAddress, "10.0.0.2");
    EXPECT_FALSE(form.takePendingLoad());
    form.dataTypeCombo.replaceAfterPrompt({"Mount History: DRIVE_ID"});
    form.dataTypeCombo.current = 1;
    form.listsLoaded(FormLists{});
    EXPECT_EQ(form.previousLibrary(), "10.0.0.2");
    EXPECT_EQ(form.dataTypeCombo.current, 0);
    form.dataTypeCombo.current = 1;
    form.listsLoaded(FormLists{});
    EXPECT_EQ(form.dataTypeCombo.current, 1);
}

TEST(CustomFormRules, FieldsWithoutDriveOrRollupSupport)
{
    RecordingPrompts prompts;
    CustomReportForm form = formWith(prompts,
                                     {"Mount History: CRYPTO_STATUS", "Mount History: WRITE_RETRIES_MEDIA",
                                      "Mount History: TAPEALERT_MEDIA", "* Mount History: RATING_DRIVE"},
                                     {"Frame: 1  Drive: 1", "Frame: 1  Drive: 2", "VOL001", "VOL002"});
    // CRYPTO: a second drive is a rollup, which the field does not have: everything goes.
    form.dataTypeChanged(indexOf(form.dataTypeCombo, "Mount History: CRYPTO_STATUS"));
    click(form, 0);
    EXPECT_TRUE(prompts.messageTexts().empty());
    click(form, 1);
    ASSERT_EQ(prompts.messageTexts().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].text, texts::RollupNotSupported);
    EXPECT_EQ(prompts.messages()[0].icon, MessageIcon::Stop);
    EXPECT_EQ(form.driveList.selectedCount(), 0);
    EXPECT_TRUE(form.radios[0].enabled);
    EXPECT_FALSE(form.rollup);

    // The media counters: drives are refused, alone or in a rollup; volsers roll up.
    form.dataTypeChanged(indexOf(form.dataTypeCombo, "Mount History: WRITE_RETRIES_MEDIA"));
    click(form, 0);
    EXPECT_EQ(prompts.messageTexts().back(), texts::DrivesNotSupported);
    EXPECT_EQ(form.driveList.selectedCount(), 0);
    click(form, 2);
    click(form, 3);
    EXPECT_TRUE(form.rollup);
    EXPECT_FALSE(form.radios[0].enabled);
    click(form, 1);
    EXPECT_EQ(prompts.messageTexts().back(), texts::DrivesNotSupportedInRollup);
    EXPECT_EQ(form.driveList.selectedItems(), (std::vector<std::string>{"VOL001", "VOL002"}));

    // Changing to the field with drives selected deselects them with the longer message.
    form.driveList.deselectAll();
    form.dataTypeChanged(indexOf(form.dataTypeCombo, "Mount History: CRYPTO_STATUS"));
    click(form, 1);
    const auto before = prompts.messageTexts().size();
    form.dataTypeChanged(indexOf(form.dataTypeCombo, "Mount History: WRITE_RETRIES_MEDIA"));
    ASSERT_EQ(prompts.messageTexts().size(), before + 1);
    EXPECT_EQ(prompts.messageTexts().back(), texts::DrivesNotSupportedDeselected);
    EXPECT_EQ(form.driveList.selectedCount(), 0);

    // TapeAlert: no last instance, and a checked last instance does not stay chosen.
    form.checkReportType(0);
    form.dataTypeChanged(indexOf(form.dataTypeCombo, "Mount History: TAPEALERT_MEDIA"));
    EXPECT_TRUE(form.tapeAlert);
    EXPECT_FALSE(form.radios[0].enabled);
    EXPECT_EQ(form.reportType(), -1);
    EXPECT_FALSE(form.rateCombo.shown);

    // A starred field over two items offers no last instance.
    form.dataTypeChanged(indexOf(form.dataTypeCombo, "* Mount History: RATING_DRIVE"));
    click(form, 2);
    click(form, 3);
    form.dataTypeChanged(indexOf(form.dataTypeCombo, "* Mount History: RATING_DRIVE"));
    EXPECT_FALSE(form.radios[0].enabled);
    EXPECT_FALSE(form.tapeAlert);
}

TEST(CustomFormRules, LogicalLibraryRollupsAndTheRate)
{
    RecordingPrompts prompts;
    CustomReportForm form = formWith(prompts,
                                     {"Mount History: HOST_WRITE (Drive / Volser)", "Library Performance: MOUNTS_TOTAL",
                                      "Library Performance: MOUNTS_MAX"},
                                     {"VOL001"}, {"LL1", "LL2"});
    form.dataTypeChanged(indexOf(form.dataTypeCombo, "Mount History: HOST_WRITE (Drive / Volser)"));
    EXPECT_TRUE(form.rateCombo.shown && form.rateCombo.enabled && form.rateLabel.shown);
    EXPECT_TRUE(form.rate);

    form.checkReportType(0);
    form.dataTypeChanged(indexOf(form.dataTypeCombo, "Library Performance: MOUNTS_TOTAL"));
    EXPECT_FALSE(form.rateCombo.shown);
    EXPECT_TRUE(form.logicalList.shown && form.logicalList.enabled && !form.driveList.shown);
    form.logicalList.selected = {true, false};
    form.logicalListClicked();
    EXPECT_TRUE(form.radios[0].enabled);
    form.logicalList.selected = {true, true};
    form.logicalListClicked();
    EXPECT_TRUE(form.rollup);
    EXPECT_FALSE(form.radios[0].enabled);
    EXPECT_FALSE(form.radios[0].checked) << "two logical libraries uncheck last instance";

    // A maximum has no rollup: changing to it with two selected clears them.
    form.dataTypeChanged(indexOf(form.dataTypeCombo, "Library Performance: MOUNTS_MAX"));
    EXPECT_EQ(prompts.messageTexts(), std::vector<std::string>{texts::RollupNotSupported});
    EXPECT_EQ(form.logicalList.selectedCount(), 0);
    form.logicalList.selected = {true, true};
    form.logicalListClicked();
    EXPECT_EQ(form.logicalList.selectedCount(), 0);
    EXPECT_FALSE(form.rollup);
    EXPECT_TRUE(form.radios[0].enabled);
}

// A rollup has no last instance, for a plain field as for a starred one: the radio follows the
// number of selected items through clicks and changes of the field.
TEST(CustomFormRules, LastInstanceOnlyOverOneItem)
{
    RecordingPrompts prompts;
    CustomReportForm form =
        formWith(prompts, {"Mount History: HOST_WRITE (Drive / Volser)", "Mount History: DRIVE_RESIDENCY"},
                 {"Frame: 1  Drive: 1", "Frame: 1  Drive: 2", "VOL001", "VOL002"});
    const int host = indexOf(form.dataTypeCombo, "Mount History: HOST_WRITE (Drive / Volser)");
    const int residency = indexOf(form.dataTypeCombo, "Mount History: DRIVE_RESIDENCY");
    form.dataTypeChanged(host);
    click(form, 0);
    EXPECT_TRUE(form.radios[0].enabled);
    form.checkReportType(0);
    click(form, 2);
    EXPECT_FALSE(form.radios[0].enabled);
    EXPECT_EQ(form.reportType(), -1);

    // Another plain field with two items, then three: still a rollup.
    form.dataTypeChanged(residency);
    EXPECT_FALSE(form.radios[0].enabled);
    EXPECT_TRUE(form.rollup);
    click(form, 3);
    form.dataTypeChanged(host);
    EXPECT_FALSE(form.radios[0].enabled);
    EXPECT_TRUE(form.radios[1].enabled && form.radios[2].enabled);
    EXPECT_EQ(form.reportType(), -1);

    // Back to one item: a trend, with its last instance.
    click(form, 3);
    click(form, 2);
    EXPECT_TRUE(form.radios[0].enabled);
    form.dataTypeChanged(residency);
    EXPECT_TRUE(form.radios[0].enabled);
    EXPECT_FALSE(form.rollup);
    EXPECT_TRUE(prompts.messageTexts().empty());
}

TEST(CustomFormGenerate, ChecksInOrderThenTheDialogsAndTheLogLine)
{
    ScopedApp scoped;
    RecordingPrompts& prompts = scoped.prompts;
    CustomReportForm form(prompts);
    form.initialise();
    (void)form.takePendingLoad();
    FormLists lists;
    lists.libraries = std::vector<std::string>{"10.0.0.1"};
    form.listsLoaded(lists);
    int dialogs = 0;
    std::optional<std::vector<std::string>> codes;
    const TapeAlertChooser chooser = [&] {
        ++dialogs;
        return codes;
    };
    const auto generate = [&] { return form.Generate(chooser, plainRequest); };
    const auto lastMessage = [&] { return prompts.messageTexts().back(); };

    EXPECT_FALSE(generate());
    EXPECT_EQ(lastMessage(), texts::SelectDateRange);
    form.rangeChanged(1);
    EXPECT_FALSE(generate());
    EXPECT_EQ(lastMessage(), texts::SelectALibrary);
    form.libraryChanged(1);
    (void)form.takePendingLoad();
    form.listsLoaded(FormLists{});
    EXPECT_FALSE(generate());
    EXPECT_EQ(lastMessage(), texts::SelectADataType);
    form.dataTypeCombo.replaceAfterPrompt({"Mount History: TAPEALERT_MEDIA", "Library Performance: MOUNTS_TOTAL"});
    form.driveList.setItems({"Frame: 1  Drive: 1", "VOL001"});
    form.logicalList.setItems({"LL1"});
    form.dataTypeChanged(2);
    EXPECT_FALSE(generate());
    EXPECT_EQ(lastMessage(), texts::SelectLogicalLibraries);
    form.dataTypeChanged(1);
    EXPECT_FALSE(generate());
    EXPECT_EQ(lastMessage(), texts::SelectDrivesOrVolsers);
    click(form, 1);
    EXPECT_FALSE(generate());
    EXPECT_EQ(lastMessage(), "Please select a type of report.");
    EXPECT_EQ(prompts.messages().back().icon, MessageIcon::Exclamation);
    EXPECT_EQ(dialogs, 0);

    // The TapeAlert dialog closed without Submit: nothing runs, nothing is logged.
    form.checkReportType(3);
    EXPECT_FALSE(generate());
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(scoped.logText().find("Custom Report Submitted"), std::string::npos);

    codes = std::vector<std::string>{"3:Hard error"};
    const auto table = generate();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->type, CustomReportType::Table);
    EXPECT_EQ(table->tapeAlertCodes, std::vector<std::string>{"3:Hard error"});
    EXPECT_NE(
        scoped.logText().find("Custom Report Submitted: |10.0.0.1|, |Mount History: TAPEALERT_MEDIA|, |VOL001|, ||, |"
                              "Optionally Select a Rate...|"),
        std::string::npos);

    // The export's file dialog cancelled: logged, not run.
    form.checkReportType(4);
    prompts.fileReplies = {std::nullopt};
    EXPECT_FALSE(generate());
    EXPECT_EQ(prompts.dialogTitles().back(), texts::ExportTitle);
    TemporaryFolder folder;
    prompts.fileReplies = {folder.file("out")};
    const auto csv = generate();
    ASSERT_TRUE(csv);
    EXPECT_EQ(csv->exportPath, folder.file("out.csv"));
}

// The lists of one library filled from rows the test wrote, and templates kept in the reports
// table, on each database.
class CustomFormDatabaseTest : public BackendTablesTest {
protected:
    CustomFormDatabaseTest() : BackendTablesTest("form") {}
    std::string today = formatLocalTime("%Y-%m-%d", std::time(nullptr));

    void mount(const std::string& address, const std::string& volser, int frame, int drive, const std::string& date)
    {
        const std::string values = "('" + address + "', '" + date + "', '10:00:00', '" + escapeQuotes(volser) + "', "
                                   + std::to_string(frame) + ", " + std::to_string(drive) + ", 'LL1')";
        ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base
                                               + " (ipAddress, Date, Time, Volser, Frame, Drive, Logical_Library) "
                                                 "VALUES "
                                               + values));
    }

    void performance(const std::string& address, const std::string& logicalLibrary, const std::string& time)
    {
        ASSERT_TRUE(executeSql(
            GetParam(), "INSERT INTO " + base + "_LP (ipAddress, Date, Time, Logical_Library, Mounts_Total) VALUES ('"
                            + address + "', '" + today + "', '" + time + "', '" + logicalLibrary + "', 3)"));
    }

    CustomFormDatabase database() const { return CustomFormDatabase::fromSettings(); }

    // A form opened, with a range and a library chosen.
    void open(CustomReportForm& form, const std::string& library)
    {
        form.initialise();
        completeFormLoads(form, database());
        form.rangeChanged(indexOf(form.rangeCombo, "Last Week"));
        form.libraryChanged(indexOf(form.libraryCombo, library));
        completeFormLoads(form, database());
    }
};

TEST_P(CustomFormDatabaseTest, ListsOfALibraryWithAndWithoutPerformanceRows)
{
    mount("10.0.0.2", "VOL002", 2, 1, today);
    mount("10.0.0.2", "VOL001", 1, 3, today);
    mount("10.0.0.2", "OLD001", 1, 4, "2001-01-01");
    mount("10.0.0.1", "VOL009", 1, 1, today);
    performance("10.0.0.1", "LL1", "10:00:00");
    performance("10.0.0.1", "LL2", "10:00:00");
    performance("10.0.0.1", "LL1", "11:00:00");
    mount("10.0.0.3", "VOL003", 1, 1, today);
    performance("10.0.0.3", "LL9", "10:00:00");
    // A row without volser or drive offers no empty item.
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base + " (ipAddress, Date, Time, Frame) VALUES ('10.0.0.2', '"
                                           + today + "', '11:00:00', 3)"));

    CustomReportForm form(scoped.prompts);
    open(form, "10.0.0.2");
    EXPECT_EQ(afterPrompt(form.libraryCombo), (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "10.0.0.3"}));
    EXPECT_EQ(form.driveList.items,
              (std::vector<std::string>{"Frame: 1  Drive: 3", "Frame: 2  Drive: 1", "VOL001", "VOL002"}))
        << "drives first in frame order, then the volsers in the range";
    EXPECT_TRUE(form.emptyLogicalLibraries);
    for (const std::string& item : afterPrompt(form.dataTypeCombo))
        EXPECT_TRUE(item.rfind("Mount History: ", 0) == 0 || item.rfind("* Mount History: ", 0) == 0) << item;
    EXPECT_NE(indexOf(form.dataTypeCombo, "Mount History: HOST_WRITE (Drive / Volser)"), -1);
    EXPECT_EQ(indexOf(form.dataTypeCombo, "Mount History: HOST_READ (Library)"), -1);

    form.libraryChanged(indexOf(form.libraryCombo, "10.0.0.1"));
    completeFormLoads(form, database());
    EXPECT_FALSE(form.emptyLogicalLibraries);
    EXPECT_EQ(form.logicalList.items, (std::vector<std::string>{"LL1", "LL2"}));
    EXPECT_EQ(form.driveList.items, (std::vector<std::string>{"Frame: 1  Drive: 1", "VOL009"}));
    EXPECT_NE(indexOf(form.dataTypeCombo, "Mount History: HOST_READ (Library)"), -1);
    EXPECT_NE(indexOf(form.dataTypeCombo, "Library Performance: MOUNTS_TOTAL"), -1);
    EXPECT_EQ(form.dataTypeCombo.current, 0);

    // The next library's lists replace these whole: no logical library of the one before stays.
    form.libraryChanged(indexOf(form.libraryCombo, "10.0.0.3"));
    completeFormLoads(form, database());
    EXPECT_EQ(form.logicalList.items, std::vector<std::string>{"LL9"});
    EXPECT_EQ(indexOf(form.dataTypeCombo, "Mount History: HOST_READ (Library)"), -1);
    form.libraryChanged(indexOf(form.libraryCombo, "10.0.0.1"));
    completeFormLoads(form, database());

    // A failed statement leaves the lists as they were.
    CustomFormDatabase broken = database();
    broken.mountHistoryTable = base + "_MISSING";
    form.rangeChanged(indexOf(form.rangeCombo, "Last Month"));
    completeFormLoads(form, broken);
    EXPECT_EQ(form.driveList.items, (std::vector<std::string>{"Frame: 1  Drive: 1", "VOL009"}));
    EXPECT_EQ(form.logicalList.items, (std::vector<std::string>{"LL1", "LL2"}));
}

TEST_P(CustomFormDatabaseTest, TemplatesSaveLoadAndDeletePerUser)
{
    // 160 volsers with a quote: a selection of 1,279 characters, kept in three rows.
    std::vector<std::string> volsers;
    std::string values;
    for (int i = 0; i < 160; ++i) {
        volsers.push_back("V'" + std::to_string(100000 + i).substr(1));
        values += std::string(values.empty() ? "" : ", ") + "('10.0.0.1', '" + today + "', '10:00:00', '"
                  + escapeQuotes(volsers.back()) + "', 1, 1)";
    }
    ASSERT_TRUE(executeSql(GetParam(),
                           "INSERT INTO " + base + " (ipAddress, Date, Time, Volser, Frame, Drive) VALUES " + values));
    mount("10.0.0.3", "OTHER1", 1, 1, today);
    CustomReportForm form(scoped.prompts);
    open(form, "10.0.0.1");
    form.dataTypeChanged(indexOf(form.dataTypeCombo, "Mount History: HOST_WRITE (Drive / Volser)"));
    form.rateCombo.select("Per Mount");
    for (const auto& volser : volsers)
        form.driveList.select(volser);
    form.checkReportType(2);
    const std::string user = scoped.app().settings.userName;

    form.templateName = std::string(51, 'n');
    EXPECT_FALSE(form.saveTemplate(user));
    EXPECT_EQ(scoped.prompts.messageTexts().back(), *templateNameProblem(std::string(51, 'n'), user));
    form.templateName = "weekly o'writes";
    const auto write = form.saveTemplate(user);
    ASSERT_TRUE(write);
    EXPECT_GT(write->tmpl.value.size(), 1200u);
    ASSERT_TRUE(writeTemplate(*write, database()));
    const auto rows = querySql(GetParam(), "SELECT Value FROM " + base + "_REPORTS");
    ASSERT_EQ(rows.size(), 3u);
    form.templateName = "weekly o'writes";
    EXPECT_FALSE(form.saveTemplate(user));
    EXPECT_EQ(scoped.prompts.messageTexts().back(), texts::TemplateNameInList);
    EXPECT_TRUE(form.templateName.empty());

    // Another user's template of the same name stays when this user deletes theirs.
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base
                                           + "_REPORTS VALUES ('someone', 'weekly o''writes', '10.0.0.3', 1, "
                                             "'Mount History: DRIVE_RESIDENCY', 'x', 2, 'OTHER1', 3)"));

    // A fresh form on another library loads it back exactly.
    CustomReportForm loaded(scoped.prompts);
    open(loaded, "10.0.0.3");
    loaded.driveList.select("OTHER1");
    loaded.templateCombo.select("weekly o'writes");
    ASSERT_TRUE(loaded.loadTemplate());
    completeFormLoads(loaded, database());
    EXPECT_EQ(loaded.libraryCombo.text(), "10.0.0.1");
    EXPECT_EQ(loaded.rangeCombo.text(), "Last Week");
    EXPECT_EQ(loaded.dataTypeCombo.text(), "Mount History: HOST_WRITE (Drive / Volser)");
    EXPECT_EQ(loaded.rateCombo.text(), "Per Mount");
    EXPECT_TRUE(loaded.rateCombo.shown);
    EXPECT_EQ(loaded.driveList.selectedItems(), volsers);
    EXPECT_EQ(loaded.reportType(), 2);
    EXPECT_TRUE(loaded.rollup);
    EXPECT_FALSE(loaded.radios[0].enabled);

    loaded.templateCombo.select("weekly o'writes");
    const auto removal = loaded.deleteTemplate(user);
    ASSERT_TRUE(removal);
    EXPECT_FALSE(loaded.loadButton.enabled);
    ASSERT_TRUE(writeTemplate(*removal, database()));
    const auto left = querySql(GetParam(), "SELECT Username FROM " + base + "_REPORTS");
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0][0].value_or(""), "someone");

    // A save the database refused leaves no name in the list that Load could not find.
    CustomFormDatabase broken = database();
    broken.reportsTable = base + "_NONE";
    loaded.templateName = "never stored";
    const auto refused = loaded.saveTemplate(user);
    ASSERT_TRUE(refused);
    ASSERT_FALSE(writeTemplate(*refused, broken));
    loaded.templateWriteFailed(*refused);
    EXPECT_EQ(loaded.templateCombo.items, std::vector<std::string>{texts::SelectTemplate});
    EXPECT_FALSE(loaded.loadButton.enabled);
}

// What the form offers and Generate asks for is what the worker reads, on either database's
// spelling of the columns: a lifetime field rolled up over two volsers.
TEST_P(CustomFormDatabaseTest, GeneratedRequestRunsAsTheFormShowedIt)
{
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base
                                           + " (ipAddress, Date, Time, Volser, Frame, Drive, "
                                             "Life_Write_Retries_Media) VALUES "
                                             "('10.0.0.1', '"
                                           + today
                                           + "', '08:00:00', 'VOL001', 1, 1, 10), "
                                             "('10.0.0.1', '"
                                           + today
                                           + "', '09:00:00', 'VOL001', 1, 2, 12), "
                                             "('10.0.0.1', '"
                                           + today
                                           + "', '10:00:00', 'VOL001', 1, 1, 15), "
                                             "('10.0.0.1', '"
                                           + today
                                           + "', '08:30:00', 'VOL002', 1, 1, 7), "
                                             "('10.0.0.1', '"
                                           + today + "', '09:30:00', 'VOL002', 1, 1, 9)"));
    CustomReportForm form(scoped.prompts);
    open(form, "10.0.0.1");
    form.dataTypeChanged(indexOf(form.dataTypeCombo, "Mount History: WRITE_RETRIES_MEDIA"));
    form.driveList.select("VOL001");
    form.driveListClicked(-1);
    form.driveList.select("VOL002");
    form.driveListClicked(-1);
    ASSERT_TRUE(form.rollup);
    form.checkReportType(3);
    const auto request = form.Generate({}, buildCustomReportRequestFromSettings);
    ASSERT_TRUE(request);
    QueryListData list;
    QueryListSink sink(list);
    CustomReportOutputs outputs;
    outputs.table = &sink;
    outputs.prompts = &scoped.prompts;
    bool ok = false;
    GeneralReportThread(*request, outputs, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(list.rowCount(), 2);
    const int value = list.columnCount() - 1;
    EXPECT_EQ(list.cell(0, value - 1), "VOL001");
    EXPECT_EQ(list.cell(0, value), "5");
    EXPECT_EQ(list.cell(1, value - 1), "VOL002");
    EXPECT_EQ(list.cell(1, value), "2");
}

INSTANTIATE_TEST_SUITE_P(Backends, CustomFormDatabaseTest, ::testing::ValuesIn(testBackends()), BackendName());
