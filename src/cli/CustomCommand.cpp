#include "CustomCommand.h"

#include "CommandOptions.h"
#include "CommandSettings.h"
#include "app/CQmxApp.h"
#include "custom/CustomFormLists.h"
#include "custom/CustomItems.h"
#include "custom/CustomReportData.h"
#include "custom/CustomStatements.h"
#include "custom/CustomTemplateCheck.h"
#include "custom/CustomTemplates.h"
#include "custom/GeneralReportThread.h"
#include "db/qmxDB.h"
#include "query/QueryListData.h"
#include "query/QueryResultSink.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <iostream>

namespace {
int usage(const std::string& why)
{
    std::cerr << "vaultlinectl custom: " << why << "\nusage: vaultlinectl" << CustomCommandUsage + 1;
    return 2;
}

bool containsIgnoringCase(std::string text, const std::string& part)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text.find(part) != std::string::npos;
}

// The entries of "3,20,18": false when a code is not a number or not one of the 42.
bool tapeAlertCodesOf(const std::string& list, std::vector<std::string>& entries, std::string& wrong)
{
    for (const std::string& code : splitItems(list)) {
        const bool digits = !code.empty() && code.size() <= 3
                            && std::all_of(code.begin(), code.end(), [](unsigned char c) { return std::isdigit(c); });
        const std::string entry = digits ? tapeAlertEntryFor(std::atoi(code.c_str())) : std::string();
        if (entry.empty()) {
            wrong = code;
            return false;
        }
        if (std::find(entries.begin(), entries.end(), entry) == entries.end())
            entries.push_back(entry);
    }
    return !entries.empty();
}
} // namespace

int customCommand(const std::vector<std::string>& args)
{
    CommandOptions options({{"template"}, {"user"}, {"csv"}, {"tapealert"}});
    const std::vector<std::string> words(args.begin() + 1, args.end());
    if (!options.parse(words))
        return usage(options.error());
    if (!options.positionals().empty())
        return usage("unexpected \"" + options.positionals().front() + "\"");
    const auto name = options.value("template");
    if (!name || name->empty())
        return usage("--template names the template");
    const auto csv = options.value("csv");
    if (csv && csv->empty())
        return usage("--csv names the file to write");
    std::vector<std::string> codes;
    if (const auto list = options.value("tapealert")) {
        std::string wrong;
        if (!tapeAlertCodesOf(*list, codes, wrong))
            return usage(wrong.empty() ? "--tapealert takes TapeAlert codes: CODE,..."
                                       : "\"" + wrong + "\" is not one of the 42 TapeAlert codes");
    }

    if (!readCommandSettings(true))
        return 1;
    const AppSettings& settings = theApp().settings;
    if (settings.reportsTableName.empty()) {
        std::cerr << "vaultlinectl custom: no reports table name in the settings: set it in Database > Setup...\n";
        return 1;
    }
    const std::string user = options.value("user").value_or(settings.userName);
    if (const auto problem = templateNameProblem(*name, user))
        return usage(*problem);

    ConsolePrompts prompts(std::cout, std::cerr);
    const InstalledPrompts installed(&prompts);
    // The template is read as the form's Load reads it, with the lists the form would check it
    // against: the libraries, both tables' fields and the logical libraries over its range.
    FormListsRequest read;
    read.templateName = *name;
    read.now = std::time(nullptr);
    read.driveVolserLists = false;
    read.templateUser = user;
    const FormLists lists = loadFormLists(read, CustomFormDatabase::fromSettings());
    const std::optional<CustomTemplate>& loaded = lists.loadedTemplate;
    if (lists.templateFailed || (loaded && !templateListsRead(lists, ""))) {
        std::cerr << "vaultlinectl custom: the template could not be read: see " << theApp().debugLog().path() << "\n";
        return 1;
    }
    if (!loaded) {
        std::cerr << "vaultlinectl custom: there is no template \"" << *name << "\" of user \"" << user << "\"\n";
        return 1;
    }
    TemplateOffer offer;
    offer.libraries = *lists.libraries;
    offer.dataTypes = offeredDataTypes(lists);
    if (const auto column = templateBadColumn(*loaded, offer)) {
        std::cerr << "vaultlinectl custom: " << templateRefusedMessage(*name, *column) << "\n";
        return 1;
    }
    const long rangeSeconds = customRangeSeconds(loaded->range);

    // The templates keep no TapeAlert codes: the command line gives them.
    const bool tapeAlert = containsIgnoringCase(loaded->fieldType, "TAPEALERT");
    if (tapeAlert && codes.empty())
        return usage("the template \"" + *name + "\" counts TapeAlert codes: give them with --tapealert CODE,...");
    if (!tapeAlert && !codes.empty())
        return usage("--tapealert is for templates of the TAPEALERT field only");

    CustomReportChoices choices;
    choices.ipAddress = loaded->ipAddress;
    choices.dataTypeItem = loaded->fieldType;
    choices.rateText = loaded->rateText;
    choices.rateEnabled = containsIgnoringCase(loaded->fieldType, "HOST");
    choices.selectedItems = splitItems(loaded->value);
    choices.tapeAlert = tapeAlert;
    choices.tapeAlertCodes = codes;
    choices.rangeStart = std::time(nullptr) - rangeSeconds;
    if (csv) {
        choices.type = CustomReportType::CsvExport;
        choices.exportPath = *csv;
    } else if (loaded->reportType == 0 && choices.selectedItems.size() < 2) {
        // Several items are a rollup, which has no last instance: it is printed as its table.
        choices.type = CustomReportType::LastInstance;
    } else {
        choices.type = CustomReportType::Table;
    }
    const CustomReportRequest request = buildCustomReportRequestFromSettings(choices);

    QueryListData list;
    QueryListSink sink(list);
    bool ran = false;
    GeneralReportThread(request, {nullptr, &sink, &prompts}, &ran);
    if (!ran) {
        std::cerr << "vaultlinectl custom: the report stopped: see " << theApp().debugLog().path() << "\n";
        return 1;
    }
    if (list.columnCount() > 0) {
        std::vector<std::string> titles;
        titles.reserve(static_cast<std::size_t>(list.columnCount()));
        for (int column = 0; column < list.columnCount(); ++column)
            titles.push_back(list.column(column).title);
        std::vector<std::vector<std::string>> rows;
        for (int row = 0; row < list.rowCount(); ++row) {
            rows.emplace_back();
            for (int column = 0; column < list.columnCount(); ++column)
                rows.back().push_back(list.cell(row, column));
        }
        const CustomReportPlan plan = planCustomReport(request);
        std::cout << request.ipAddress << ": " << customGraphTitle(plan, request) << "\n"
                  << customTableText(titles, rows) << std::flush;
    }
    return 0;
}
