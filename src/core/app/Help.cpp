#include "Help.h"

std::string helpPage(HelpContext context)
{
    switch (context) {
    case HelpContext::QueryForm:
        return "lvr1_genqueryhelp_3tzg67.html";
    case HelpContext::QueryList:
        return "lvr1_usegenqueryreporthelp_3w3f97.html";
    case HelpContext::MonitorStartDialog:
        return "lvr1_newthreadhelp_3tzcs2.html";
    case HelpContext::MainWindow:
        return "lvr1_helpsystem_3vdt52.html";
    case HelpContext::MonitorWindow:
        return "lvr1_helpmonitorrpt_3wcwpq.html";
    case HelpContext::ConnectDialog:
        return "lvr1_connecthelp_3tz9bv.html";
    case HelpContext::TableSetupPage:
        return "lvr1_createtablehelp_3tzdnq.html";
    case HelpContext::DatabaseSetupPage:
        return "lvr1_setuphelp_3tm9pr.html";
    case HelpContext::DataRemovalDialog:
        return "lvr1_deletedatahelp_3tzdgo.html";
    case HelpContext::ImportDialog:
        return "lvr1_importfile_help.html";
    case HelpContext::GraphWindow:
        return "lvr1_usecustreporthelp_3w3fbu.html";
    case HelpContext::CustomReportWindow:
        return "lvr1_custreporthelp_3tzgag.html";
    case HelpContext::LibraryOverview:
        return "lvr1_libraryoverview_help.html";
    case HelpContext::ReportsAgentDialog: // the agent's section of the overview
    case HelpContext::Other:
        break;
    }
    return "lvr1_overviewhelp_3tz904.html";
}

std::string helpAddress(const std::string& helpFile, HelpContext context)
{
    return helpFile + "::/" + helpPage(context);
}

std::string helpFileFor(const std::string& executablePath)
{
    // The help file is named after the program, with the compiled-help extension.
    std::string path = executablePath;
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        path.erase(dot);
    return path + ".chm";
}

std::string pageOfHelpAddress(const std::string& address)
{
    const auto marker = address.find("::/");
    return marker == std::string::npos ? std::string() : address.substr(marker + 3);
}
