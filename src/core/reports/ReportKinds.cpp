#include "ReportKinds.h"

#include "CartridgeStatistics.h"
#include "EncryptionStatus.h"
#include "HealthReport.h"
#include "HealthTexts.h"
#include "MountRates.h"
#include "ReportTexts.h"
#include "app/CQmxApp.h"
#include "fleet/FleetReader.h"
#include "fleet/FleetReport.h"
#include "fleet/FleetTexts.h"
#include "query/QueryResultSink.h"

namespace {
// The library overview's options: the threshold sheet's limits and --retries when given.
FleetOptions fleetOptions(const ReportOutput& output)
{
    FleetOptions options;
    options.thresholds = theApp().lifetimeThresholds();
    if (output.retries)
        options.retryThreshold = *output.retries;
    return options;
}

// The suspects of one library as a list: the header columns, then a row for every drive and
// cartridge with a troubled mount, worst first.
int fleetSuspects(const ReportRequest& request, const ReportOutput& output)
{
    FleetResult result;
    if (request.addresses.empty()
        || computeFleetHealth(request, request.addresses.front(), fleetOptions(output), result)
               != FleetReader::Outcome::Done)
        return 0;
    for (const std::string& column : fleetSuspectColumns())
        output.list->addColumn(column);
    output.list->addRows(fleetSuspectRows(result));
    return 1;
}

std::vector<ReportKindInfo> makeTable()
{
    using K = ReportKind;
    using W = ReportWindow;
    using S = ReportShape;
    // The reports. To add one:
    //  1. write its worker in core: int(const ReportRequest&) writing its text through
    //     request.sink (the window, standard output and the mail body all read that), or one
    //     that fills output.list for a list (a CSV on standard output);
    //  2. add a value to ReportKind and a row here, where the agent should start it, with its
    //     vaultlinectl name and a one-line adapter to the worker; vaultlinectl report runs it;
    //  3. for a date-form window: the menu command (a CommandId with its entry and menu place
    //     in app/Commands.cpp), the window's title and its menu bar; the window is registered
    //     from here;
    //  4. for the agent: a chosen flag in AgentSettings, the name its progress lines use, the
    //     mail subject and the debug log's lines after the send; its configuration file and
    //     metrics follow, the dialog needs its box in CReportsAgent's ReportBoxes (the dialog
    //     keeps an order of its own);
    //  5. name it in ReportCommandUsage, in the agent configuration's "unknown report" text and
    //     on the help pages.
    // The tests of vaultlinectl report, the report windows and the agent's mails run every row
    // by its own text: give a new report a line there.
    return {
        {.kind = K::CartridgeHealth,
         .commandName = "cartridge-health",
         .shape = S::Text,
         .worker = [](const ReportRequest& request, const ReportOutput&) { return ReportCtgThread(request); },
         .window = W::DateForm,
         .command = CommandId::CartridgeHealth,
         .windowTitle = "Report By Cartridge Health Statistics ",
         .menus = ActiveWindowKind::ShortReport,
         .fieldLinks = HealthReportKind::Cartridge,
         .agentChoice = &AgentSettings::cartridgeHealth,
         .mailName = health_texts::CartridgeReportName,
         .subject = "QMX Auto Reports Agent for Cartridge Health Statistics",
         .successLine = "QMX Auto Reports Successful for Cartridge Health Statistics",
         .failureLine = "QMX Auto Reports Failed for Cartridge Health Statistics"},
        {.kind = K::CartridgeStatistics,
         .commandName = "cartridge-statistics",
         .shape = S::Text,
         .worker = [](const ReportRequest& request, const ReportOutput&) { return ReportCtgStatThread(request); },
         .window = W::DateForm,
         .command = CommandId::CartridgeStatistics,
         .windowTitle = "Report By Cartridge Statistics ",
         .menus = ActiveWindowKind::ShortReport,
         .agentChoice = &AgentSettings::driveStatistics,
         .mailName = report_texts::CartridgeStatisticsMailName,
         .subject = "QMX Auto Reports Agent for Drive Statistics",
         .successLine = "QMX Auto Reports Successful for Drive Statistics",
         .failureLine = "QMX Auto Reports Failed for Drive Statistics"},
        {.kind = K::DriveHealth,
         .commandName = "drive-health",
         .shape = S::Text,
         .worker = [](const ReportRequest& request, const ReportOutput&) { return ReportDrvThread(request); },
         .window = W::DateForm,
         .command = CommandId::DriveHealth,
         .windowTitle = "Report By Drive Health Statistics ",
         .menus = ActiveWindowKind::FullReport,
         .fieldLinks = HealthReportKind::Drive,
         .agentChoice = &AgentSettings::driveHealth,
         .mailName = health_texts::DriveReportName,
         .subject = "QMX Auto Reports Agent for Drive Health Statistics",
         .successLine = "QMX Auto Reports Successful for Drive Health Statistics",
         .failureLine = "QMX Auto Reports Failed for Drive Health Statistics"},
        {.kind = K::EncryptionStatus,
         .commandName = "encryption-status",
         .shape = S::Text,
         .worker = [](const ReportRequest& request, const ReportOutput&) { return ReportEncThread(request); },
         .window = W::DateForm,
         .command = CommandId::EncryptionStatus,
         .windowTitle = "Report By Encryption Status ",
         .menus = ActiveWindowKind::FullReport,
         .agentChoice = &AgentSettings::encryptionStatus,
         .mailName = report_texts::EncryptionStatusMailName,
         .subject = "QMX Auto Reports Agent for Encryption Status",
         .successLine = "QMX Auto Reports Successful for Encryption Status",
         .failureLine = "QMX Auto Reports Failed for Encryption Status"},
        {.kind = K::MountRates,
         .commandName = "mount-rates",
         .shape = S::Text,
         .worker = [](const ReportRequest& request, const ReportOutput&) { return ReportLibThread(request); },
         .window = W::DateForm,
         .command = CommandId::MountRates,
         .windowTitle = "Report By Mount Rates ",
         .menus = ActiveWindowKind::FullReport,
         .agentChoice = &AgentSettings::mountRates,
         .mailName = report_texts::MountRatesMailName,
         .subject = "QMX Auto Reports Agent for Mount Rates",
         .successLine = "QMX Auto Reports Successful for Mount Rates",
         .failureLine = "QMX Auto Reports Failed for Mount Rates"},
        {.kind = K::LibraryOverview,
         .commandName = "overview",
         .shape = S::Text,
         .worker = [](const ReportRequest& request,
                      const ReportOutput& output) { return ReportFleetThread(request, fleetOptions(output)); },
         .takesRetries = true,
         .window = W::Own,
         .command = CommandId::LibraryOverview,
         .windowTitle = "Library Overview",
         .agentChoice = &AgentSettings::libraryOverview,
         .mailName = fleet_texts::MailName,
         .subject = "QMX Auto Reports Agent for Library Overview",
         .successLine = "QMX Auto Reports Successful for Library Overview",
         .failureLine = "QMX Auto Reports Failed for Library Overview"},
        {.kind = K::RetriesPerms,
         .commandName = "retries-perms",
         .shape = S::List,
         .worker =
             [](const ReportRequest& request, const ReportOutput& output) {
                 return ReportThresholdThread(request, *output.list, output.marks);
             },
         .window = W::DateForm,
         .command = CommandId::CartridgeRetriesPerms,
         .windowTitle = "Cartridge Retries and Perms ",
         .menus = ActiveWindowKind::FullReport},
        {.kind = K::Suspects,
         .commandName = "suspects",
         .shape = S::List,
         .worker = fleetSuspects,
         .oneLibrary = true,
         .takesRetries = true},
    };
}
} // namespace

const std::vector<ReportKindInfo>& reportKinds()
{
    static const std::vector<ReportKindInfo> table = makeTable();
    return table;
}

const ReportKindInfo& reportKindInfo(ReportKind kind)
{
    for (const ReportKindInfo& report : reportKinds())
        if (report.kind == kind)
            return report;
    return reportKinds().front(); // every value has its row
}

const ReportKindInfo* reportByCommandName(const std::string& name)
{
    for (const ReportKindInfo& report : reportKinds())
        if (name == report.commandName)
            return &report;
    return nullptr;
}

const ReportKindInfo* reportWindowForCommand(CommandId command)
{
    for (const ReportKindInfo& report : reportKinds())
        if (report.window == ReportWindow::DateForm && report.command == command)
            return &report;
    return nullptr;
}
