#include "GraphWindows.h"

#include "CGraphWindow.h"
#include "app/CMainFrame.h"

void registerGraphWindows(CMainFrame& frame)
{
    frame.registerTemplate(LineGraphTemplate, [](CMainFrame&) -> CChildWindow* { return new CCGraphExampleView; });
    frame.registerTemplate(BarGraphTemplate, [](CMainFrame&) -> CChildWindow* { return new BarGraphView; });
}
