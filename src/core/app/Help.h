#pragma once

#include <string>

// Where each window's and dialog's help lives. Requests name the help file, "::/" and a page.
enum class HelpContext {
    QueryForm,
    QueryList,
    MonitorStartDialog,
    MainWindow,
    MonitorWindow,
    ConnectDialog,
    TableSetupPage,
    DatabaseSetupPage,
    DataRemovalDialog,
    ImportDialog,
    GraphWindow,
    CustomReportWindow,
    ReportsAgentDialog,
    LibraryOverview,
    Other,
};

std::string helpPage(HelpContext context);
// "<help file>::/<page>"
std::string helpAddress(const std::string& helpFile, HelpContext context);
// The help file beside the executable: its path with ".chm" as the extension.
std::string helpFileFor(const std::string& executablePath);
// The page named in an address ("" when it names none).
std::string pageOfHelpAddress(const std::string& address);
