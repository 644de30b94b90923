#pragma once

#include "CustomFormLists.h"
#include "FormControls.h"
#include "CustomReportRequest.h"

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class UserPrompts;

// The TapeAlert selection dialog as Generate asks it: the chosen entries, or nothing when the
// dialog was closed without Submit.
using TapeAlertChooser = std::function<std::optional<std::vector<std::string>>()>;

// The custom report form without its window: every control's state, the flags, and the
// handlers of the form's rules. The window shows what this holds and passes the user's changes
// to the handlers; the database work a handler needs is handed out as a request that the window
// runs on a worker and answers with listsLoaded() (tests answer at once).
class CustomReportForm {
public:
    using Clock = std::function<std::time_t()>;
    CustomReportForm(UserPrompts& prompts, Clock clock = {});

    // Controls.
    FormCombo templateCombo;
    FormControl loadButton, deleteButton;
    std::string templateName;
    FormCombo rangeCombo, libraryCombo, dataTypeCombo, rateCombo;
    FormControl rateLabel, driveVolserLabel, volserLabel, logicalLibraryLabel;
    FormList driveList, logicalList;
    FormRadio radios[5];

    // Flags.
    bool emptyLogicalLibraries = false;
    bool driveSelected = false;
    bool rollup = false;
    bool tapeAlert = false;
    bool rate = false;

    std::time_t rangeStart() const { return m_rangeStart; }
    const std::string& previousLibrary() const { return m_previousLibrary; }
    // The checked radio, or -1.
    int reportType() const;
    void checkReportType(int type);

    // Handlers. Each may leave database work pending (see pendingLoad).
    void initialise();
    void rangeChanged(int index);
    void libraryChanged(int index);
    void dataTypeChanged(int index);
    // After the list's selection changed; clicked is the item under the cursor (-1 for none).
    void driveListClicked(int clicked);
    void logicalListClicked();

    // The database work the last handler needs, once; nothing when there is none.
    std::optional<FormListsRequest> takePendingLoad();
    bool loadPending() const { return m_pending && !m_pending->taken; }
    // The answer to the pending work: fills the controls as setupCombo does and finishes the
    // handler that asked.
    void listsLoaded(const FormLists& lists);

    // Generate: the checks with their messages, the TapeAlert dialog and the export file
    // dialog, then the request to run (nothing when a check failed or a dialog was cancelled).
    // Logs the submitted report.
    std::optional<CustomReportRequest>
    Generate(const TapeAlertChooser& chooseTapeAlerts,
             const std::function<CustomReportRequest(const CustomReportChoices&)>& buildRequest);

    // Save, Delete: the checks with their messages, the combo updated, then what to write.
    std::optional<TemplateWrite> saveTemplate(const std::string& userName);
    std::optional<TemplateWrite> deleteTemplate(const std::string& userName);
    // A write that did not reach the database (the user was shown why): the template combo
    // shows the templates as they are stored again.
    void templateWriteFailed(const TemplateWrite& write);
    // Load: the check with its message, then the reading of the template is pending.
    bool loadTemplate();

private:
    enum class Pending { Initialise, Range, Library, Template };
    // The work one handler asked for and the handler to finish when its answer comes; a
    // library change finishes with the library of its request.
    struct PendingLoad {
        Pending kind;
        FormListsRequest request;
        bool taken = false; // handed out by takePendingLoad, its answer still to come
    };
    void request(Pending kind, FormListsRequest request);
    void applyItemLists(const FormLists& lists);
    void applyFields(const FormLists& lists);
    void finishLibraryChange(const std::string& library);
    void applyTemplate(const CustomTemplate& tmpl, const FormLists& lists);
    void showLibraryDriveControls();
    void setRate(bool on);
    void disableLastInstance();
    void message(const char* text) const;
    std::vector<std::string> visibleSelection() const;
    bool libraryField() const;

    UserPrompts& m_prompts;
    Clock m_clock;
    std::time_t m_rangeStart;
    std::string m_previousLibrary;
    std::string m_previousRange;
    std::optional<PendingLoad> m_pending;
};

// Runs the form's pending database work on the calling thread until none is left.
void completeFormLoads(CustomReportForm& form, const CustomFormDatabase& database);
