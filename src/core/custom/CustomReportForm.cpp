#include "CustomReportForm.h"

#include "CustomFormTexts.h"
#include "CustomItems.h"
#include "app/DebugLog.h"
#include "app/UserPrompts.h"
#include "query/QueryExport.h"
#include "query/QueryTexts.h"

#include <algorithm>
#include <filesystem>
#include <cctype>
#include <string_view>

namespace texts = custom_form_texts;

namespace {
enum Radio { LastInstance = 0, LineGraph = 1, BarGraph = 2, Table = 3, CsvExport = 4 };

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// Field names in a data type item, compared without regard to case: a template saved with
// another spelling of the columns reads the same.
bool hasField(const std::string& text, std::initializer_list<const char*> names)
{
    const auto sameLetter = [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    };
    return std::any_of(names.begin(), names.end(), [&](const char* name) {
        const std::string_view wanted(name);
        return std::search(text.begin(), text.end(), wanted.begin(), wanted.end(), sameLetter) != text.end();
    });
}

// Rollups of library performance fields are sums; only these have them.
bool libraryRollupField(const std::string& dataType)
{
    return hasField(dataType, {"MOUNTS_TOTAL", "EJECTS_TOTAL", "INSERTS_TOTAL", "HOST_WRITE", "HOST_READ"});
}

bool mediaCountField(const std::string& dataType)
{
    return hasField(dataType, {"WRITE_RETRIES_MEDIA", "WRITE_PERMS_MEDIA", "READ_RETRIES_MEDIA", "READ_PERMS_MEDIA"});
}

} // namespace

CustomReportForm::CustomReportForm(UserPrompts& prompts, Clock clock)
    : m_prompts(prompts), m_clock(clock ? std::move(clock) : Clock([] { return std::time(nullptr); })),
      m_rangeStart(m_clock())
{
    templateCombo.items = {texts::SelectTemplate};
    rangeCombo.items = {texts::SelectRange, texts::LastDay,       texts::LastWeek,
                        texts::LastMonth,   texts::LastTwoMonths, texts::LastSixMonths};
    libraryCombo.items = {texts::SelectLibrary};
    dataTypeCombo.items = {texts::SelectDataType};
    rateCombo.items = {texts::SelectRate, texts::PerSecond, texts::PerMount};
}

int CustomReportForm::reportType() const
{
    for (int type = 0; type < 5; ++type)
        if (radios[type].checked)
            return type;
    return -1;
}

void CustomReportForm::checkReportType(int type)
{
    for (int radio = 0; radio < 5; ++radio)
        radios[radio].checked = radio == type;
}

void CustomReportForm::message(const char* text) const
{
    m_prompts.showMessage(text, MessageIcon::Stop);
}

void CustomReportForm::request(Pending kind, FormListsRequest request)
{
    m_pending = PendingLoad{kind, std::move(request)};
}

std::optional<FormListsRequest> CustomReportForm::takePendingLoad()
{
    if (!loadPending())
        return std::nullopt;
    m_pending->taken = true;
    return m_pending->request;
}

void CustomReportForm::initialise()
{
    templateCombo.current = rangeCombo.current = libraryCombo.current = dataTypeCombo.current = rateCombo.current = 0;
    rateCombo.shown = rateCombo.enabled = rateLabel.shown = false;
    libraryCombo.enabled = dataTypeCombo.enabled = driveList.enabled = false;
    logicalList.shown = logicalLibraryLabel.shown = volserLabel.shown = false;
    loadButton.enabled = deleteButton.enabled = false;
    FormListsRequest load;
    load.libraries = load.templateNames = true;
    request(Pending::Initialise, load);
}

void CustomReportForm::rangeChanged(int index)
{
    rangeCombo.current = index;
    const std::string range = rangeCombo.text();
    if (const std::time_t seconds = rangeSeconds(range); seconds > 0)
        m_rangeStart = m_clock() - seconds;
    if (rangeCombo.onPrompt()) {
        libraryCombo.enabled = dataTypeCombo.enabled = rateCombo.enabled = false;
        driveList.enabled = logicalList.enabled = false;
    } else {
        libraryCombo.enabled = true;
        if (!libraryCombo.onPrompt() && range != m_previousRange) {
            FormListsRequest load;
            load.itemLists = true;
            load.ipAddress = libraryCombo.text();
            load.rangeStart = m_rangeStart;
            request(Pending::Range, load);
        }
        dataTypeCombo.enabled = true;
        if (!dataTypeCombo.onPrompt()) {
            if (libraryField())
                logicalList.enabled = true;
            else
                driveList.enabled = true;
            if (contains(dataTypeCombo.text(), "HOST"))
                rateCombo.enabled = rateCombo.shown = rateLabel.shown = true;
        }
    }
    m_previousRange = range;
}

void CustomReportForm::libraryChanged(int index)
{
    libraryCombo.current = index;
    emptyLogicalLibraries = driveSelected = false;
    const std::string library = libraryCombo.text();
    if (libraryCombo.onPrompt()) {
        driveList.enabled = dataTypeCombo.enabled = rateCombo.enabled = false;
    } else if (library != m_previousLibrary) {
        driveList.shown = driveVolserLabel.shown = true;
        driveList.enabled = false;
        logicalList.shown = logicalLibraryLabel.shown = rateCombo.shown = rateLabel.shown = false;
        dataTypeCombo.enabled = true;
        FormListsRequest load;
        load.itemLists = load.fields = true;
        load.ipAddress = library;
        load.rangeStart = m_rangeStart;
        request(Pending::Library, load);
    } else {
        dataTypeCombo.enabled = true;
        const std::string& dataType = dataTypeCombo.text();
        if (contains(dataType, "Mount History:") && !contains(dataType, "Library")) {
            driveList.enabled = true;
            if (hasField(dataType, {"HOST_"}))
                rateCombo.enabled = true;
        } else if (!dataTypeCombo.onPrompt()) {
            logicalList.enabled = true;
        }
    }
}

bool CustomReportForm::libraryField() const
{
    return contains(dataTypeCombo.text(), "Library");
}

void CustomReportForm::setRate(bool on)
{
    if (on) {
        rateCombo.shown = rateCombo.enabled = rateLabel.shown = true;
    } else {
        rateCombo.current = 0;
        rateCombo.shown = rateCombo.enabled = rateLabel.shown = false;
    }
    rate = on;
}

// A disabled radio is never the chosen report type: it is unchecked as it is disabled.
void CustomReportForm::disableLastInstance()
{
    radios[LastInstance].enabled = false;
    radios[LastInstance].checked = false;
}

void CustomReportForm::dataTypeChanged(int index)
{
    dataTypeCombo.current = index;
    const std::string dataType = dataTypeCombo.text();
    if (dataTypeCombo.onPrompt()) {
        driveList.enabled = false;
        return;
    }
    if (!libraryField()) {
        logicalList.shown = logicalLibraryLabel.shown = volserLabel.shown = false;
        tapeAlert = false;
        logicalList.deselectAll();
        if (hasField(dataType, {"WRITE_RETRIES", "WRITE_PERMS", "READ_RETRIES", "READ_PERMS"})) {
            bool deselected = false;
            for (std::size_t i = 0; i < driveList.items.size(); ++i) {
                if (driveList.selected[i] && isDriveItem(driveList.items[i])) {
                    driveList.selected[i] = false;
                    deselected = true;
                }
            }
            if (deselected)
                message(texts::DrivesNotSupportedDeselected);
        } else if (hasField(dataType, {"CRYPTO"}) && driveList.selectedCount() > 1) {
            message(texts::RollupNotSupported);
            driveList.deselectAll();
            radios[LastInstance].enabled = true;
        }
        // Several items make a rollup, which has no last instance, whatever the field.
        const bool several = driveList.selectedCount() >= 2;
        rollup = several;
        const bool starred = dataType.rfind("* ", 0) == 0;
        if (!starred || !several)
            radios[LineGraph].enabled = radios[BarGraph].enabled = true;
        if (several)
            disableLastInstance();
        else
            radios[LastInstance].enabled = true;
        if (hasField(dataType, {"HOST_WRITE", "HOST_READ"})) {
            setRate(true);
            tapeAlert = false;
        } else {
            setRate(false);
            if (hasField(dataType, {"TAPEALERT"})) {
                tapeAlert = true;
                disableLastInstance();
            }
        }
        driveList.enabled = driveList.shown = driveVolserLabel.shown = true;
        return;
    }
    tapeAlert = false;
    driveList.shown = driveList.enabled = driveVolserLabel.shown = volserLabel.shown = false;
    setRate(hasField(dataType, {"HOST_WRITE", "HOST_READ"}));
    driveList.deselectAll();
    if (!libraryRollupField(dataType) && logicalList.selectedCount() > 1) {
        message(texts::RollupNotSupported);
        logicalList.deselectAll();
        radios[LastInstance].enabled = true;
    }
    if (logicalList.selectedCount() >= 2)
        disableLastInstance();
    logicalList.enabled = logicalList.shown = logicalLibraryLabel.shown = true;
}

void CustomReportForm::logicalListClicked()
{
    if (logicalList.selectedCount() < 2) {
        radios[LastInstance].enabled = true;
        rollup = false;
        return;
    }
    if (!libraryRollupField(dataTypeCombo.text())) {
        message(texts::RollupNotSupported);
        logicalList.deselectAll();
    }
    if (logicalList.selectedCount() >= 2) {
        rollup = true;
        disableLastInstance();
    } else {
        radios[LastInstance].enabled = true;
        rollup = false;
    }
}

void CustomReportForm::driveListClicked(int clicked)
{
    const std::string dataType = dataTypeCombo.text();
    const bool validClick = clicked >= 0 && clicked < static_cast<int>(driveList.items.size());
    const bool clickedDrive = validClick && isDriveItem(driveList.items[clicked]);
    const bool clickedSelected = validClick && driveList.selected[clicked];
    if (driveList.selectedCount() < 2) {
        if (hasField(dataType, {"TAPEALERT"})) {
            disableLastInstance();
            return;
        }
        rollup = false;
        radios[LastInstance].enabled = radios[LineGraph].enabled = radios[BarGraph].enabled = true;
        if (clickedDrive)
            driveSelected = true;
        if (mediaCountField(dataType) && clickedDrive && clickedSelected) {
            driveList.selected[clicked] = false;
            message(texts::DrivesNotSupported);
        }
        return;
    }
    radios[LastInstance].enabled = false;
    if (hasField(dataType, {"CRYPTO"})) {
        message(texts::RollupNotSupported);
        driveList.deselectAll();
    }
    if (mediaCountField(dataType)) {
        bool deselected = false;
        for (std::size_t i = 0; i < driveList.items.size(); ++i) {
            const bool target = static_cast<int>(i) == clicked ? clickedDrive : driveSelected;
            if (target && driveList.selected[i] && isDriveItem(driveList.items[i])) {
                driveList.selected[i] = false;
                deselected = true;
            }
        }
        if (deselected)
            message(texts::DrivesNotSupportedInRollup);
    }
    if (driveList.selectedCount() >= 2) {
        rollup = true;
        disableLastInstance();
    } else {
        radios[LastInstance].enabled = true;
        rollup = false;
    }
}

void CustomReportForm::applyItemLists(const FormLists& lists)
{
    // setupCombo's order: volsers, logical libraries, drives.
    if (lists.volsers)
        driveList.setItems(*lists.volsers);
    if (lists.logicalLibraries) {
        emptyLogicalLibraries = lists.logicalLibraries->empty();
        logicalList.setItems(*lists.logicalLibraries);
    }
    if (lists.drives) {
        if (lists.drives->empty()) {
            driveList.setItems({});
        } else {
            std::vector<std::string> items;
            for (const auto& [frame, drive] : *lists.drives)
                items.push_back(driveItemText(frame, drive));
            // Drives stand before the volsers, in frame order.
            items.insert(items.end(), driveList.items.begin(), driveList.items.end());
            driveList.setItems(std::move(items));
        }
    }
}

void CustomReportForm::applyFields(const FormLists& lists)
{
    if (lists.mountHistoryColumns) {
        dataTypeCombo.replaceAfterPrompt(
            fieldComboItems(*lists.mountHistoryColumns, CustomTableKind::MountHistory, logicalList.items.size()));
    }
    if (lists.libraryPerformanceColumns && !emptyLogicalLibraries) {
        std::vector<std::string> items(dataTypeCombo.items.begin() + 1, dataTypeCombo.items.end());
        const auto performance =
            fieldComboItems(*lists.libraryPerformanceColumns, CustomTableKind::LibraryPerformance, 0);
        items.insert(items.end(), performance.begin(), performance.end());
        dataTypeCombo.replaceAfterPrompt(items);
    }
}

void CustomReportForm::finishLibraryChange(const std::string& library)
{
    dataTypeCombo.current = 0;
    m_previousLibrary = library;
}

void CustomReportForm::listsLoaded(const FormLists& lists)
{
    if (!m_pending || !m_pending->taken)
        return;
    const PendingLoad pending = std::move(*m_pending);
    m_pending.reset();
    switch (pending.kind) {
    case Pending::Initialise:
        if (lists.libraries)
            libraryCombo.replaceAfterPrompt(*lists.libraries);
        if (lists.templateNames)
            templateCombo.replaceAfterPrompt(*lists.templateNames);
        loadButton.enabled = deleteButton.enabled = templateCombo.items.size() > 1;
        break;
    case Pending::Range:
        applyItemLists(lists);
        break;
    case Pending::Library:
        applyItemLists(lists);
        applyFields(lists);
        finishLibraryChange(pending.request.ipAddress);
        break;
    case Pending::Template:
        if (lists.loadedTemplate)
            applyTemplate(*lists.loadedTemplate, lists);
        break;
    }
}

std::vector<std::string> CustomReportForm::visibleSelection() const
{
    return (logicalList.shown ? logicalList : driveList).selectedItems();
}

std::optional<CustomReportRequest>
CustomReportForm::Generate(const TapeAlertChooser& chooseTapeAlerts,
                           const std::function<CustomReportRequest(const CustomReportChoices&)>& buildRequest)
{
    CustomReportChoices choices;
    choices.ipAddress = libraryCombo.text();
    choices.dataTypeItem = dataTypeCombo.text();
    choices.rateText = rateCombo.text();
    choices.rateEnabled = rateCombo.enabled;
    choices.selectedItems = visibleSelection();
    choices.tapeAlert = tapeAlert;
    choices.rangeStart = m_rangeStart;

    const auto refuse = [&](const char* text) {
        m_prompts.showMessage(text, MessageIcon::Exclamation);
        return std::nullopt;
    };
    if (rangeCombo.onPrompt())
        return refuse(texts::SelectDateRange);
    if (libraryCombo.onPrompt())
        return refuse(texts::SelectALibrary);
    if (dataTypeCombo.onPrompt())
        return refuse(texts::SelectADataType);
    if (choices.selectedItems.empty())
        return refuse(libraryField() ? texts::SelectLogicalLibraries : texts::SelectDrivesOrVolsers);
    if (reportType() < 0)
        return refuse(texts::SelectReportType);
    choices.type = static_cast<CustomReportType>(reportType());

    if (tapeAlert && choices.type != CustomReportType::LastInstance) {
        auto codes = chooseTapeAlerts ? chooseTapeAlerts() : std::nullopt;
        if (!codes)
            return std::nullopt;
        choices.tapeAlertCodes = std::move(*codes);
    }
    bool exportCancelled = false;
    if (choices.type == CustomReportType::CsvExport) {
        const auto chosen = m_prompts.askSaveFileName(texts::ExportTitle, dialogFilter(query_texts::ExportFilter), "");
        if (chosen) {
            // A name that got ".csv" only now is asked about here, before it is overwritten.
            choices.exportPath = withDefaultExtension(*chosen);
            std::error_code ignored;
            if (choices.exportPath != *chosen && std::filesystem::exists(choices.exportPath, ignored)
                && !m_prompts.askYesNo(fillTemplate(query_texts::ExportReplaceQuestion, {choices.exportPath})))
                exportCancelled = true;
        } else {
            exportCancelled = true;
        }
    }
    CustomReportRequest built = buildRequest(choices);
    WriteDebugLine(fillTemplate(texts::Submitted,
                                {built.ipAddress, built.dataType, built.selection, built.commaList, built.rateText}));
    if (exportCancelled)
        return std::nullopt;
    return built;
}

void completeFormLoads(CustomReportForm& form, const CustomFormDatabase& database)
{
    while (auto load = form.takePendingLoad())
        form.listsLoaded(loadFormLists(*load, database));
}
