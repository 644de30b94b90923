#include "ReportWindows.h"

#include "CDateForm.h"
#include "CFiltersDlg.h"
#include "CSplitterReport.h"
#include "app/CMainFrame.h"
#include "query/CQueryData.h"

namespace {
void registerKind(CMainFrame& frame, CommandId command, ReportKind kind)
{
    if (const auto name = templateForCommand(command))
        frame.registerTemplate(*name, [kind](CMainFrame&) -> CChildWindow* {
            auto* window = new CSplitterReport(kind);
            window->form()->FillReportIpList();
            return window;
        });
}
} // namespace

void registerReportWindows(CMainFrame& frame)
{
    registerKind(frame, CommandId::MountRates, ReportKind::MountRates);
    registerKind(frame, CommandId::DriveHealth, ReportKind::DriveHealth);
    registerKind(frame, CommandId::CartridgeHealth, ReportKind::CartridgeHealth);
    registerKind(frame, CommandId::CartridgeStatistics, ReportKind::CartridgeStatistics);
    registerKind(frame, CommandId::EncryptionStatus, ReportKind::EncryptionStatus);
    registerKind(frame, CommandId::CartridgeRetriesPerms, ReportKind::RetriesPerms);
    frame.setCommandHandler(CommandId::Thresholds, [&frame] {
        if (!CFiltersDlg::edit(&frame))
            return;
        // Lists are coloured from the thresholds of the moment: show the new ones.
        for (CQueryData* list : frame.findChildren<CQueryData*>())
            list->viewport()->update();
    });
}
