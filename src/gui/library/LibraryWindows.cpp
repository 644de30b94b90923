#include "LibraryWindows.h"

#include "CAddLibraryDlg.h"
#include "CDriveInfoFetch.h"
#include "CQmxView.h"
#include "app/CMainFrame.h"
#include "library/MonitorAddressList.h"
#include "library/MonitorTexts.h"

namespace {
CQmxView* startMonitor(const MonitorStart& start)
{
    MonitorOptions options;
    options.startOffset = start.startOffset;
    auto* view = new CQmxView(start.address, std::move(options));
    view->startMonitoring();
    return view;
}

// A new monitor document: the address dialog, then one window, or one per library for
// "**ALL**" (the "**ALL**" document itself is refused).
CChildWindow* newMonitorDocument(CMainFrame& frame)
{
    // The address is stored with every row: one the tables cannot hold is refused in the dialog.
    const auto choice = CAddLibraryDlg::ask(&frame, libraryAddressProblem);
    if (!choice)
        return nullptr;
    const std::string address = cleanLibraryAddress(choice->entered);
    if (address.empty())
        return nullptr;
    const std::vector<MonitorStart> starts = monitorStarts(address, choice->list);
    if (address != monitor_texts::AllLibraries)
        return startMonitor(starts.front());
    for (const MonitorStart& start : starts)
        frame.addChildWindow(startMonitor(start), QString::fromStdString(start.address));
    return nullptr;
}

void driveInfo(CMainFrame& frame)
{
    const auto choice = CAddLibraryDlg::ask(&frame);
    if (!choice)
        return;
    // The download runs off the UI thread; the window opens when the file is there.
    auto* fetch = new CDriveInfoFetch(frame, cleanLibraryAddress(choice->entered));
    fetch->start();
}
} // namespace

void registerLibraryWindows(CMainFrame& frame)
{
    frame.registerTemplate(monitor_texts::DocumentName, newMonitorDocument);
    frame.setCommandHandler(CommandId::DriveInfo, [&frame] { driveInfo(frame); });
}
