#include "DriveStatusDownload.h"

#include "LibraryTexts.h"
#include "MonitorTexts.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/UserPrompts.h"

std::optional<std::vector<DriveStatusLine>> fetchDriveStatus(const std::string& address, const DownloadLimits& limits)
{
    UserPrompts& prompts = theApp().prompts();
    DownloadResult file;
    {
        WaitCursor wait(prompts);
        file = downloadLibraryFile(address, library_texts::DriveStatusFileName, nullptr, limits);
    }
    switch (file.status) {
    case DownloadResult::Status::Complete: return readDriveStatusLines(file.text);
    case DownloadResult::Status::NoFile:
        prompts.showMessage(monitor_texts::NoDriveStatusFile, MessageIcon::Exclamation);
        return std::nullopt;
    case DownloadResult::Status::InternetError:
    case DownloadResult::Status::Stopped: break;
    }
    WriteDebugLine(monitor_texts::ErrorPrefix + FormatWinInetError(file.internetError));
    prompts.showMessage(monitor_texts::NoAddressEntered, MessageIcon::Stop);
    return std::nullopt;
}
