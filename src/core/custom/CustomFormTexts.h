#pragma once

// The custom report form's fixed texts: captions, prompts, messages, statements and log lines.
namespace custom_form_texts {

// Captions of the form, top to bottom.
inline constexpr const char* TemplatesGroup = "Templates";
inline constexpr const char* LoadButton = "Load";
inline constexpr const char* DeleteButton = "Delete";
inline constexpr const char* SaveButton = "Save";
inline constexpr const char* RangeGroup = "Range";
inline constexpr const char* LibraryGroup = "Library";
inline constexpr const char* FilterGroup = "Filter";
inline constexpr const char* FieldsLabel = "Fields:";
inline constexpr const char* RateLabel = "Rate:";
inline constexpr const char* DriveVolserLabel = "Drive / Volser:";
inline constexpr const char* VolserLabel = "                Volser:";
inline constexpr const char* LogicalLibraryLabel = "Logical Library:";
inline constexpr const char* RollupNote = "Note: The report will be a rollup instead of a trend if more than one "
                                          "Drive / Volser / Logical Library are selected ";
inline constexpr const char* ReportTypeGroup = "Report Type";
inline constexpr const char* ReportLastInstance = "Report Last Instance       ";
inline constexpr const char* ReportLineGraph = "Report Trend or Rollup in Line Graph";
inline constexpr const char* ReportBarGraph = "Report Trend or Rollup in Bar Graph  ";
inline constexpr const char* ReportTable = "Report Trend or Rollup in Table";
inline constexpr const char* ExportCsv = "Export to CSV File";
inline constexpr const char* GenerateButton = "Generate";

// Combo prompts and items.
inline constexpr const char* SelectTemplate = "Select Template...";
inline constexpr const char* SelectRange = "Select Range...";
inline constexpr const char* LastDay = "Last Day";
inline constexpr const char* LastWeek = "Last Week";
inline constexpr const char* LastMonth = "Last Month";
inline constexpr const char* LastTwoMonths = "Last 2 Months";
inline constexpr const char* LastSixMonths = "Last 6 Months";
inline constexpr const char* SelectLibrary = "Select Library...";
inline constexpr const char* SelectDataType = "Select Data Type...";
inline constexpr const char* SelectRate = "Optionally Select a Rate...";
inline constexpr const char* PerSecond = "Per Second (while Mounted)";
inline constexpr const char* PerMount = "Per Mount";

// Items of the lists and the data type combo.
inline constexpr const char* DriveItem = "Frame: %s  Drive: %s";
inline constexpr const char* MountHistoryItem = "Mount History: %s";
inline constexpr const char* StarredMountHistoryItem = "* Mount History: %s";
inline constexpr const char* LibraryPerformanceItem = "Library Performance: %s";
inline constexpr const char* DriveVolserField = "%s (Drive / Volser)";
inline constexpr const char* HostReadLibrary = "HOST_READ (Library)";
inline constexpr const char* HostWriteLibrary = "HOST_WRITE (Library)";

// Messages, in the order the handlers may show them.
inline constexpr const char* DrivesNotSupportedDeselected =
    "Drives are not supported for this field, and will be deselected.\nPlease check help for list of supported fields.";
inline constexpr const char* RollupNotSupported =
    "The rollup feature isn't supported for this field.\nPlease check help for list of supported fields.";
inline constexpr const char* DrivesNotSupported =
    "Drives are not supported for this field.\nPlease check help for list of supported fields.";
inline constexpr const char* DrivesNotSupportedInRollup =
    "Drives are not supported for this field in the rollup feature.\nPlease check help for list of supported fields.";
inline constexpr const char* SelectDateRange = "Please select a date range.";
inline constexpr const char* SelectALibrary = "Please select a library.";
inline constexpr const char* SelectADataType = "Please select a data type.";
inline constexpr const char* SelectDrivesOrVolsers = "Please select one or more drive(s) and/or volser(s).";
inline constexpr const char* SelectLogicalLibraries = "Please select one or more logical libraries.";
inline constexpr const char* SelectReportType = "Please select a type of report.";
inline constexpr const char* EnterTemplateName = "Please enter a name for the template.";
inline constexpr const char* TemplateNameInList = "Template name already in the list.";
inline constexpr const char* CompleteSelection = "Complete all selection before saving a template.";
inline constexpr const char* SelectATemplate = "Please select a template.";

// The TapeAlert selection dialog.
inline constexpr const char* TapeAlertTitle = "TapeAlert Selection";
inline constexpr const char* TapeAlertGroup = "Select 1 or more TapeAlerts...";
inline constexpr const char* TapeAlertSubmit = "Submit";
inline constexpr const char* TapeAlertNoneSelected = "Please selected one or more TapeAlert values";
inline constexpr int TapeAlertSubmitted = 1236;

// The export file dialog.
inline constexpr const char* ExportTitle = "Export data from custom reports";
// (filter and default extension: the general query's export uses the same)

// The table window's title: the window's own title, the address, the since-text.
inline constexpr const char* TableTitle = "%s - %s%s";

// setupCombo's statements; the last is the library list.
inline constexpr const char* VolserSelect =
    "select distinct volser from %s where ipaddress = '%s' and %s order by volser asc";
inline constexpr const char* DriveSelect =
    "select distinct frame, drive from %s where ipaddress = '%s' and %s order by frame asc";
inline constexpr const char* LogicalLibrarySelect =
    "select distinct Logical_Library from %s where ipaddress = '%s' and %s order by Logical_Library asc";
inline constexpr const char* FieldsSelect = "select distinct * from %s %s";
inline constexpr const char* FieldsConditionOracle = "where dates = TO_DATE('1970-01-01','yyyy-mm-dd')";
inline constexpr const char* FieldsCondition = "where date = '1970-01-01'";
inline constexpr const char* LibrarySelect = "select distinct ipaddress from %s order by ipaddress asc";

// setupCombo's debug log lines.
inline constexpr const char* SetupComboEntering =
    "Entering CustomReportFormView::setupCombo started with m_ip: %s, m_type: %s, and fieldtype: %d";
inline constexpr const char* ExitFieldsPrepare =
    "Exiting from the CustomReportFormView::setupCombo returning False with preparing select volser";
inline constexpr const char* ExitFieldsExecute =
    "Exiting from CustomReporrtFormView::setupCombo returning False with excuting select volser";
inline constexpr const char* ExitPrepare =
    "Exiting from CustomReportFormView::setupCombo returning false with 2nd preparing select volser";
inline constexpr const char* ExitExecute =
    "Exiting from CustomReportFormView::setupCombo returning False with 2nd excecuting select statment";
inline constexpr const char* ExitConnect = "Exiting CustomReportFormView::setupCombo returning the value false";
inline constexpr const char* ExitTrue = "Exiting CustomReportFormView::setupCombo returning True";

// Generate's log line: address, data type, selection, comma list, rate.
inline constexpr const char* Submitted = "Custom Report Submitted: |%s|, |%s|, |%s|, |%s|, |%s|";

// The kinds setupCombo is called with; any other text is the library list.
inline constexpr const char* KindVolser = "Volser";
inline constexpr const char* KindDrive = "Drive";
inline constexpr const char* KindFields = "Fields";
inline constexpr const char* KindLogicalLibrary = "Logical Library";
inline constexpr const char* KindLoad = "Load";
inline constexpr const char* KindLibrary = "Library";

} // namespace custom_form_texts
