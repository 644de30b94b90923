#include "CustomReportWindows.h"

#include "CCustomReportFormView.h"
#include "CCustomTableView.h"
#include "app/CMainFrame.h"

void registerCustomReportWindows(CMainFrame& frame)
{
    frame.registerTemplate(CustomReportTemplate,
                           [](CMainFrame& main) -> CChildWindow* { return new CCustomReportFormView(&main); });
    frame.registerTemplate(TableTemplate, [](CMainFrame&) -> CChildWindow* { return new CCustomTableView; });
}
