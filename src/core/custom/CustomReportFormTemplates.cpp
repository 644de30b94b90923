// The custom report form's templates: Save, Load and Delete with their checks, and a loaded
// template put into the controls.
#include "CustomReportForm.h"

#include "CustomFormTexts.h"
#include "CustomItems.h"
#include "CustomTemplateCheck.h"
#include "app/UserPrompts.h"

#include <algorithm>

namespace texts = custom_form_texts;

namespace {
bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

std::vector<std::string> afterPrompt(const FormCombo& combo)
{
    return {combo.items.begin() + std::min<std::ptrdiff_t>(1, static_cast<std::ptrdiff_t>(combo.items.size())),
            combo.items.end()};
}
} // namespace

bool CustomReportForm::loadTemplate()
{
    if (templateCombo.onPrompt()) {
        message(texts::SelectATemplate);
        return false;
    }
    FormListsRequest load;
    load.templateName = templateCombo.text();
    load.previousLibrary = m_previousLibrary;
    load.now = m_clock();
    request(Pending::Template, load);
    return true;
}

void CustomReportForm::applyTemplate(const CustomTemplate& tmpl, const FormLists& lists)
{
    // A value the form could not have saved refuses the whole template before any control
    // changes: the lists it is checked against are the ones the form would show for it.
    const bool otherLibrary = tmpl.ipAddress != m_previousLibrary;
    if (!templateListsRead(lists, m_previousLibrary))
        return;
    TemplateOffer offer;
    offer.libraries = *lists.libraries;
    offer.dataTypes = otherLibrary ? offeredDataTypes(lists) : afterPrompt(dataTypeCombo);
    if (const auto column = templateBadColumn(tmpl, offer)) {
        m_prompts.showMessage(templateRefusedMessage(tmpl.name, *column), MessageIcon::Stop);
        return;
    }
    // The libraries as stored now.
    libraryCombo.replaceAfterPrompt(*lists.libraries);
    if (rangeCombo.select(rangeItemForCode(tmpl.range)))
        m_rangeStart = lists.templateRangeStart;
    libraryCombo.select(tmpl.ipAddress);
    libraryCombo.enabled = dataTypeCombo.enabled = true;
    if (otherLibrary) {
        emptyLogicalLibraries = driveSelected = false;
        driveList.shown = driveVolserLabel.shown = true;
        logicalList.shown = logicalLibraryLabel.shown = false;
        applyItemLists(lists);
        applyFields(lists);
        finishLibraryChange(tmpl.ipAddress);
    }
    // The template's selection and nothing else: what was selected before goes first.
    driveList.deselectAll();
    logicalList.deselectAll();
    const auto dataType = std::find(dataTypeCombo.items.begin(), dataTypeCombo.items.end(), tmpl.fieldType);
    if (dataType != dataTypeCombo.items.end()) {
        rateCombo.select(tmpl.rateText);
        const std::string rateText = rateCombo.text();
        dataTypeChanged(static_cast<int>(dataType - dataTypeCombo.items.begin()));
        if (rate)
            rateCombo.select(rateText);
    }
    FormList& list = logicalList.shown ? logicalList : driveList;
    for (const std::string& value : splitItems(tmpl.value)) {
        if (list.select(value) && contains(value, "Frame"))
            driveSelected = true;
    }
    checkReportType(tmpl.reportType >= 0 && tmpl.reportType < 5 ? tmpl.reportType : -1);
    // As if the items had been clicked: several make a rollup, which has no last instance.
    rollup = list.selectedCount() >= 2;
    if (rollup)
        disableLastInstance();
}

std::optional<TemplateWrite> CustomReportForm::saveTemplate(const std::string& userName)
{
    if (templateName.empty()) {
        message(texts::EnterTemplateName);
        return std::nullopt;
    }
    if (std::find(templateCombo.items.begin() + 1, templateCombo.items.end(), templateName)
        != templateCombo.items.end()) {
        message(texts::TemplateNameInList);
        templateName.clear();
        return std::nullopt;
    }
    if (const auto problem = templateNameProblem(templateName, userName)) {
        m_prompts.showMessage(*problem, MessageIcon::Stop);
        return std::nullopt;
    }
    const std::vector<std::string> selection = visibleSelection();
    if (rangeCombo.onPrompt() || libraryCombo.onPrompt() || dataTypeCombo.onPrompt() || reportType() < 0
        || selection.empty()) {
        message(texts::CompleteSelection);
        return std::nullopt;
    }
    TemplateWrite write;
    write.kind = TemplateWrite::Kind::Save;
    CustomTemplate& tmpl = write.tmpl;
    tmpl.userName = userName;
    tmpl.name = templateName;
    tmpl.ipAddress = libraryCombo.text();
    tmpl.range = rangeCodeForItem(rangeCombo.text());
    tmpl.fieldType = dataTypeCombo.text();
    tmpl.rateText = rateCombo.text();
    const bool driveVolser = contains(tmpl.fieldType, "Mount History:") && !contains(tmpl.fieldType, "Library");
    tmpl.columnType = driveVolser ? 2 : 3;
    tmpl.value = joinItems(driveVolser ? driveList.selectedItems() : logicalList.selectedItems());
    tmpl.reportType = reportType();

    templateCombo.items.push_back(templateName);
    templateName.clear();
    loadButton.enabled = deleteButton.enabled = true;
    return write;
}

std::optional<TemplateWrite> CustomReportForm::deleteTemplate(const std::string& userName)
{
    if (templateCombo.onPrompt()) {
        message(texts::SelectATemplate);
        return std::nullopt;
    }
    TemplateWrite write;
    write.kind = TemplateWrite::Kind::Delete;
    write.tmpl.userName = userName;
    write.tmpl.name = templateCombo.text();
    templateCombo.items.erase(templateCombo.items.begin() + templateCombo.current);
    templateCombo.current = 0;
    if (templateCombo.items.size() <= 1)
        loadButton.enabled = deleteButton.enabled = false;
    return write;
}

void CustomReportForm::templateWriteFailed(const TemplateWrite& write)
{
    // A template is saved whole or not at all, and a failed delete removed nothing.
    auto& items = templateCombo.items;
    const auto found = std::find(items.begin() + 1, items.end(), write.tmpl.name);
    if (write.kind == TemplateWrite::Kind::Save && found != items.end()) {
        if (templateCombo.current == static_cast<int>(found - items.begin()))
            templateCombo.current = 0;
        else if (templateCombo.current > static_cast<int>(found - items.begin()))
            --templateCombo.current;
        items.erase(found);
    } else if (write.kind == TemplateWrite::Kind::Delete && found == items.end()) {
        items.push_back(write.tmpl.name);
    }
    loadButton.enabled = deleteButton.enabled = items.size() > 1;
}
