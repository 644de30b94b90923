#include "CustomReportRequest.h"

#include "CustomItems.h"
#include "CustomTexts.h"
#include "app/AppSettings.h"
#include "app/CQmxApp.h"
#include "app/TimeFormat.h"
#include "db/Dialect.h"
#include "db/Tables.h"
#include "reports/ReportRunner.h"

#include <algorithm>

namespace {
using namespace custom_texts;

// The TapeAlert form of the selection: drive terms and one volser list, in list order.
std::string tapeAlertCondition(const std::vector<std::string>& items)
{
    std::string condition;
    bool volserListOpen = false;
    for (const std::string& item : items) {
        if (isDriveItem(item)) {
            const DriveItem drive = parseDriveItem(item);
            condition = condition.empty() ? formatReportText(FirstDriveCondition, {drive.frame, drive.drive})
                                          : formatReportText(NextDriveCondition, {condition, drive.frame, drive.drive});
        } else if (!volserListOpen) {
            condition = condition.empty() ? formatReportText(FirstVolserCondition, {escapeQuotes(item)})
                                          : formatReportText(NextVolserListCondition, {condition, escapeQuotes(item)});
            volserListOpen = true;
        } else {
            condition = formatReportText(NextVolser, {condition, escapeQuotes(item)});
        }
    }
    if (volserListOpen)
        condition = formatReportText(CloseVolserList, {condition});
    return condition;
}
} // namespace

CustomReportRequest buildCustomReportRequest(const CustomReportChoices& choices, const std::string& dataSourceName,
                                             const std::string& userName, const std::string& password,
                                             const std::string& mountHistoryTable, int databaseType, int dateFormatCode)
{
    CustomReportRequest request;
    request.dataSourceName = dataSourceName;
    request.userName = userName;
    request.password = password;
    request.mountHistoryTable = mountHistoryTable;
    request.libraryPerformanceTable = mountHistoryTable + "_LP";
    request.databaseType = databaseType;
    request.dateFormatCode = dateFormatCode;

    request.ipAddress = choices.ipAddress;
    request.dataType = choices.dataTypeItem;
    if (request.dataType.rfind(StarPrefix, 0) == 0) {
        request.starred = true;
        request.dataType.erase(0, 2);
    }
    request.tableKind = request.dataType.find(MountHistoryMark) != std::string::npos
                            ? CustomTableKind::MountHistory
                            : CustomTableKind::LibraryPerformance;

    request.rateText = choices.rateText;
    request.rate = choices.rateEnabled && choices.rateText.find(OptionallyMark) == std::string::npos;
    request.tapeAlert = choices.tapeAlert;
    request.rollup = choices.selectedItems.size() >= 2;
    request.type = choices.type;
    request.exportPath = choices.exportPath;

    request.commaList = joinItems(choices.selectedItems);
    request.selection = request.tapeAlert ? tapeAlertCondition(choices.selectedItems) : request.commaList;

    const std::string rangeDate = formatLocalTime("%Y-%m-%d", choices.rangeStart);
    const std::string dateCondition =
        formatReportText(Dialect(databaseType).isOracle() ? OracleDateCondition : DateCondition, {rangeDate});
    request.conditionPrefix = formatReportText(ConditionPrefix, {escapeQuotes(request.ipAddress), dateCondition});
    std::string shownFormat = dateOutputFormatFor(dateFormatCode);
    if (shownFormat.empty())
        shownFormat = "%m-%d-%Y";
    request.sinceText = formatReportText(SinceText, {formatLocalTime(shownFormat.c_str(), choices.rangeStart)});

    if (request.tapeAlert) {
        request.tapeAlertCodes = choices.tapeAlertCodes;
        const auto byNumber = [](const std::string& a, const std::string& b) {
            return tapeAlertNumber(a) < tapeAlertNumber(b);
        };
        std::stable_sort(request.tapeAlertCodes.begin(), request.tapeAlertCodes.end(), byNumber);
        request.severalCodes = request.tapeAlertCodes.size() > 1;
        if (request.tapeAlertCodes.size() == 1)
            request.selection = request.commaList;
    }
    return request;
}

CustomReportRequest buildCustomReportRequestFromSettings(const CustomReportChoices& choices)
{
    const CQmxApp& app = theApp();
    const AppSettings& settings = app.settings;
    CustomReportRequest request =
        buildCustomReportRequest(choices, settings.databaseName, settings.userName, app.password,
                                 settings.mountHistoryTableName, settings.DatabaseType, settings.DateFormatCode);
    if (!settings.libraryPerformanceTableName.empty())
        request.libraryPerformanceTable = settings.libraryPerformanceTableName;
    return request;
}
