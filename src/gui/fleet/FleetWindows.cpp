#include "FleetWindows.h"

#include "CLibraryOverview.h"
#include "app/CMainFrame.h"
#include "app/CQmxApp.h"
#include "app/SettingsStore.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace {
CLibraryOverview* openOverview(CMainFrame& frame)
{
    auto* window = new CLibraryOverview;
    const bool libraries = window->fillLibraries();
    frame.addChildWindow(window, window->windowTitle());
    if (libraries)
        window->generateOrCancel();
    return window;
}
} // namespace

void registerFleetWindows(CMainFrame& frame)
{
    frame.setCommandHandler(CommandId::LibraryOverview, [&frame] { openOverview(frame); });
}

void installOverviewAfterConnect(CMainFrame& frame)
{
    frame.setAfterConnect([&frame] {
        if (theApp().settingsStore().read("Setup", "Overview After Connect") == "0")
            return;
        for (QMdiSubWindow* window : frame.mdiArea()->subWindowList())
            if (qobject_cast<CLibraryOverview*>(window->widget()) != nullptr)
                return;
        const auto addresses = reportAddressList(ReportRequest::fromSettings("", "", {}));
        if (addresses && !addresses->empty())
            openOverview(frame);
    });
}
