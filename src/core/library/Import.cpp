#include "Import.h"

#include "ImportTexts.h"
#include "MonitorAddressList.h"
#include "SavedFileImport.h"
#include "app/CQmxApp.h"
#include "app/UserPrompts.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <utility>

int importPercent(const ImportProgress& progress)
{
    return progress.fileSize == 0
               ? 0
               : static_cast<int>(std::min<std::uint64_t>(100, progress.bytesRead * 100 / progress.fileSize));
}

std::string importProgressText(const ImportProgress& progress)
{
    char text[160];
    std::snprintf(text, sizeof text, import_texts::Progress, static_cast<unsigned long long>(progress.linesRead),
                  static_cast<unsigned long long>(progress.linesStored), importPercent(progress));
    return text;
}

std::string importDialogText(const std::string& path, const ImportProgress& progress)
{
    return std::filesystem::path(path).filename().string() + "\n" + importProgressText(progress);
}

std::string promptFilter(const std::string& pairs)
{
    // Every other piece is a pattern that the description already names in brackets.
    std::string filter;
    std::size_t start = 0;
    bool description = true;
    while (start < pairs.size()) {
        std::size_t end = pairs.find('|', start);
        if (end == std::string::npos)
            end = pairs.size();
        if (description && end > start) {
            if (!filter.empty())
                filter += ";;";
            filter += pairs.substr(start, end - start);
        }
        description = !description;
        start = end + 1;
    }
    return filter;
}

std::string importSummaryText(SavedFileKind kind, int inserted)
{
    std::string text = kind == SavedFileKind::MountHistory ? import_texts::MountHistoryInserted
                                                           : import_texts::LibraryPerformanceInserted;
    text.replace(text.find("%d"), 2, std::to_string(inserted));
    return text;
}

std::string importStoppedText(const ImportResult& result)
{
    char text[256];
    std::snprintf(text, sizeof text, import_texts::Stopped, result.inserted + result.duplicates, result.inserted);
    return text;
}

ImportResult importSavedFile(const std::string& path, const std::string& libraryAddress, const ImportOptions& options)
{
    SavedFileImport import(path, libraryAddress);
    {
        // Everything from reading the file to the disconnect under the wait cursor; the
        // messages are shown once the cursor is back.
        WaitCursor wait(theApp().prompts());
        if (import.begin())
            import.storeLines(options);
        import.finish();
    }
    showImportMessages(import.messages());
    return import.result();
}

std::optional<ImportRequest> askImportRequest()
{
    UserPrompts& prompts = theApp().prompts();
    const auto path =
        prompts.askOpenFileName(import_texts::FileDialogTitle, promptFilter(import_texts::FileDialogFilter));
    if (!path)
        return std::nullopt;
    // The address is stored with every row as it was typed; only its length is checked, and a
    // name that is too long is asked for again rather than losing the chosen file.
    for (std::string entered;;) {
        auto libraryAddress = prompts.askText(import_texts::LibraryNameTitle, import_texts::LibraryNamePrompt, entered);
        if (!libraryAddress)
            return std::nullopt;
        const std::string problem = libraryAddressProblem(*libraryAddress);
        if (problem.empty())
            return ImportRequest{*path, std::move(*libraryAddress)};
        prompts.showMessage(problem, MessageIcon::Exclamation);
        entered = std::move(*libraryAddress);
    }
}

ImportResult runImportCommand()
{
    const auto request = askImportRequest();
    if (!request)
        return {};
    return importSavedFile(request->path, request->libraryAddress);
}
