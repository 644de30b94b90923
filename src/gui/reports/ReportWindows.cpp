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
    for (const ReportKindInfo& report : reportKinds())
        if (report.window == ReportWindow::DateForm && report.command)
            registerKind(frame, *report.command, report.kind);
    frame.setCommandHandler(CommandId::Thresholds, [&frame] {
        if (!CFiltersDlg::edit(&frame))
            return;
        // Lists are coloured from the thresholds of the moment: show the new ones.
        for (CQueryData* list : frame.findChildren<CQueryData*>())
            list->viewport()->update();
    });
}
