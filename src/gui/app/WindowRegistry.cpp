#include "WindowRegistry.h"

#include "CMainFrame.h"
#include "agent/CAgentScheduler.h"
#include "custom/CustomReportWindows.h"
#include "custom/GraphWindows.h"
#include "fleet/FleetWindows.h"
#include "library/ImportRun.h"
#include "library/LibraryWindows.h"
#include "query/QueryCommands.h"
#include "reports/ReportWindows.h"
#include "setup/CDeleteDialog.h"

void registerWindowKinds(CMainFrame& frame)
{
    frame.setCommandHandler(CommandId::Import, [&frame] { runImportInWindow(frame); });
    registerLibraryWindows(frame);
    registerGraphWindows(frame);
    registerCustomReportWindows(frame);
    frame.setCommandHandler(CommandId::GeneralSqlQuery, [&frame] { openGeneralQueryWindow(frame); });
    frame.setCommandHandler(CommandId::ExportData, [&frame] { runExportDataCommand(frame); });
    registerReportsAgent(frame);
    registerReportWindows(frame);
    registerFleetWindows(frame);
    frame.setCommandHandler(CommandId::DeleteData, [&frame] {
        CDeleteDialog dialog(&frame);
        dialog.exec();
    });
}
