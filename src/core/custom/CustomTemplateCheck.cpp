#include "CustomTemplateCheck.h"

#include "CustomFormTexts.h"
#include "CustomItems.h"
#include "CustomTexts.h"
#include "query/QueryColumnCells.h"
#include "query/QueryTexts.h"
#include "reports/ReportRunner.h"

#include <algorithm>
#include <cctype>

namespace {
namespace form_texts = custom_form_texts;

// The widths of the columns the lists are read from: the form never shows a longer item.
constexpr std::size_t VolserLength = 8;
constexpr std::size_t LogicalLibraryLength = 30;
constexpr std::size_t NumberLength = 10;

bool contains(const std::vector<std::string>& values, const std::string& value)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

bool plainNumber(const std::string& text)
{
    return !text.empty() && text.size() <= NumberLength
           && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool printable(const std::string& text)
{
    return std::none_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; });
}

// "Frame: <frame>  Drive: <drive>" with both numbers as the drive list writes them.
bool wellFormedDriveItem(const std::string& item)
{
    const std::string frameMark = "Frame: ";
    const std::string driveMark = "  Drive: ";
    if (item.rfind(frameMark, 0) != 0)
        return false;
    const std::size_t drive = item.find(driveMark, frameMark.size());
    if (drive == std::string::npos)
        return false;
    const std::string frameNumber = item.substr(frameMark.size(), drive - frameMark.size());
    const std::string driveNumber = item.substr(drive + driveMark.size());
    return plainNumber(frameNumber) && plainNumber(driveNumber)
           && item == fillTemplate(form_texts::DriveItem, {frameNumber, driveNumber});
}

bool itemOfList(const std::string& item, bool driveVolserList)
{
    if (!printable(item))
        return false;
    if (!driveVolserList)
        return characterCount(item) <= LogicalLibraryLength;
    if (isDriveItem(item))
        return wellFormedDriveItem(item);
    return characterCount(item) <= VolserLength;
}

bool mountHistoryItem(const std::string& dataType)
{
    return dataType.find(custom_texts::MountHistoryMark) != std::string::npos
           && dataType.find("Library") == std::string::npos;
}
} // namespace

std::vector<std::string> offeredDataTypes(const FormLists& lists)
{
    const std::size_t logicalLibraries = lists.logicalLibraries ? lists.logicalLibraries->size() : 0;
    std::vector<std::string> items;
    if (lists.mountHistoryColumns)
        items = fieldComboItems(*lists.mountHistoryColumns, CustomTableKind::MountHistory, logicalLibraries);
    if (lists.libraryPerformanceColumns && logicalLibraries > 0) {
        const auto performance =
            fieldComboItems(*lists.libraryPerformanceColumns, CustomTableKind::LibraryPerformance, 0);
        items.insert(items.end(), performance.begin(), performance.end());
    }
    return items;
}

bool templateListsRead(const FormLists& lists, const std::string& previousLibrary)
{
    if (!lists.loadedTemplate || !lists.libraries)
        return false;
    const std::string& address = lists.loadedTemplate->ipAddress;
    if (!contains(*lists.libraries, address) || address == previousLibrary)
        return true;
    return lists.logicalLibraries && lists.mountHistoryColumns && lists.libraryPerformanceColumns;
}

std::optional<std::string> templateBadColumn(const CustomTemplate& tmpl, const TemplateOffer& offer)
{
    if (!contains(offer.libraries, tmpl.ipAddress))
        return std::string("ipAddress");
    if (rangeItemForCode(tmpl.range).empty())
        return std::string("Range");
    if (!contains(offer.dataTypes, tmpl.fieldType))
        return std::string("Field_Type");
    if (tmpl.rateText != form_texts::SelectRate && tmpl.rateText != form_texts::PerSecond
        && tmpl.rateText != form_texts::PerMount)
        return std::string("Eff_Value");
    const bool driveVolserList = mountHistoryItem(tmpl.fieldType);
    if (tmpl.columnType != (driveVolserList ? 2 : 3))
        return std::string("Col_Type");
    const std::vector<std::string> items = splitItems(tmpl.value);
    if (items.empty() || !std::all_of(items.begin(), items.end(), [&](const std::string& item) {
            return itemOfList(item, driveVolserList);
        }))
        return std::string("Value");
    if (tmpl.reportType < 0 || tmpl.reportType > 4)
        return std::string("Report_Type");
    return std::nullopt;
}

std::string templateRefusedMessage(const std::string& templateName, const std::string& column)
{
    return formatReportText(custom_texts::TemplateRefused, {templateName, column});
}
