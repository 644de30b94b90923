#include "DriveStatusDownload.h"

#include "LibraryFileText.h"
#include "LibraryTexts.h"
#include "MonitorTexts.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/UserPrompts.h"

DriveStatusFetch downloadDriveStatus(const std::string& address, const std::atomic<bool>* stop,
                                     const DownloadLimits& limits)
{
    DownloadResult file = downloadLibraryFile(address, library_texts::DriveStatusFileName, stop, limits);
    DriveStatusFetch fetch;
    fetch.status = file.status;
    fetch.internetError = file.internetError;
    if (file.complete()) {
        dropUnfinishedLine(file.text);
        fetch.drives = readDriveStatusLines(file.text);
    } else if (file.status != DownloadResult::Status::Stopped) {
        WriteDebugLine(monitor_texts::ErrorPrefix
                       + downloadProblemText(file, library_texts::DriveStatusFileName, limits));
    }
    return fetch;
}

std::optional<std::vector<DriveStatusLine>> driveStatusOrMessage(const DriveStatusFetch& fetch)
{
    UserPrompts& prompts = theApp().prompts();
    switch (fetch.status) {
    case DownloadResult::Status::Complete:
        return fetch.drives;
    case DownloadResult::Status::Stopped:
        return std::nullopt;
    case DownloadResult::Status::NoFile:
    case DownloadResult::Status::NotLibraryFile:
    case DownloadResult::Status::TooLarge:
        prompts.showMessage(monitor_texts::NoDriveStatusFile, MessageIcon::Exclamation);
        return std::nullopt;
    case DownloadResult::Status::TimedOut:
    case DownloadResult::Status::InternetError:
        break;
    }
    prompts.showMessage(monitor_texts::NoAddressEntered, MessageIcon::Stop);
    return std::nullopt;
}

std::optional<std::vector<DriveStatusLine>> fetchDriveStatus(const std::string& address, const DownloadLimits& limits)
{
    DriveStatusFetch fetch;
    {
        WaitCursor wait(theApp().prompts());
        fetch = downloadDriveStatus(address, nullptr, limits);
    }
    return driveStatusOrMessage(fetch);
}
