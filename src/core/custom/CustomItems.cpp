#include "CustomItems.h"

#include "CustomTexts.h"
#include "app/AppSettings.h"
#include "db/Dialect.h"
#include "reports/ReportRunner.h"

#include <algorithm>
#include <cctype>

namespace {
bool isNumber(const std::string& text)
{
    return !text.empty() && text.size() <= 10
           && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::string numberOrLiteral(const std::string& text)
{
    return isNumber(text) ? text : quoteLiteral(text);
}
} // namespace

bool isDriveItem(const std::string& item)
{
    return item.find(custom_texts::DriveMark) != std::string::npos;
}

DriveItem parseDriveItem(const std::string& item)
{
    DriveItem drive;
    if (item.size() > 7) {
        const std::size_t blank = item.find(' ', 7);
        drive.frame = item.substr(7, blank == std::string::npos ? std::string::npos : blank - 7);
    }
    const std::size_t colon = item.rfind(':');
    if (colon != std::string::npos)
        drive.drive = item.substr(std::min(item.size(), colon + 2));
    drive.frame = numberOrLiteral(drive.frame);
    drive.drive = numberOrLiteral(drive.drive);
    return drive;
}

std::string itemShortName(const std::string& item)
{
    if (!isDriveItem(item))
        return item;
    const DriveItem drive = parseDriveItem(item);
    return formatReportText(custom_texts::DriveShortName, {drive.frame, drive.drive});
}

std::vector<std::string> splitItems(const std::string& selection)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= selection.size()) {
        std::size_t comma = selection.find(',', start);
        if (comma == std::string::npos)
            comma = selection.size();
        if (comma > start)
            items.push_back(selection.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

std::string joinItems(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ",") + item;
    return text;
}

const std::vector<std::string>& tapeAlertEntries()
{
    static const std::vector<std::string> entries = {
        "1:Read Warning",
        "2:Write Warning",
        "3:Hard error",
        "4:Media",
        "5:Read failure",
        "6:Write failure",
        "7:Media life",
        "8:Not data grade",
        "9:Write protect",
        "10:No removal",
        "11:Cleaning media",
        "12:Unsupported format",
        "14:Snapped tape",
        "15:CM chip faliure",
        "16:Forced eject",
        "17:Read only format",
        "18:Directory corrupted in CM",
        "19:Nearing media life",
        "20:Clean now",
        "21:Clean periodic",
        "22:Expired clean",
        "23:Invalid cleaning cartridge",
        "25:Dual-port interface error",
        "26:Cooling fan failure",
        "27:Power supply",
        "30:Hardware A",
        "31:Hardware B",
        "32:Interface",
        "33:Eject media",
        "34:Download fail",
        "36:Dive temperature",
        "37:Drive voltage",
        "38:Predictive failure",
        "39:Diagnostics required",
        "50:Lost statistics",
        "51:Invalid directory at unload",
        "52:Area write failure",
        "53:Area read failure",
        "54:No start of data",
        "55:Load failure",
        "56:Unload failure",
        "58:Firmware failure",
    };
    return entries;
}

int tapeAlertNumber(const std::string& entry)
{
    return decimalValue(entry.substr(0, entry.find(':')));
}

std::string tapeAlertEntryFor(int code)
{
    for (const std::string& entry : tapeAlertEntries())
        if (tapeAlertNumber(entry) == code)
            return entry;
    return {};
}

long customRangeSeconds(int rangeCode)
{
    switch (rangeCode) {
    case 1:
        return 86400;
    case 2:
        return 604800;
    case 3:
        return 2592000;
    case 4:
        return 5184000;
    case 5:
        return 15552000;
    default:
        return 0;
    }
}
