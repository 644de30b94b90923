#include "Import.h"

#include "ImportFile.h"
#include "ImportLines.h"
#include "ImportTexts.h"
#include "LibraryFileText.h"
#include "LibraryTexts.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/SystemError.h"
#include "app/UserPrompts.h"
#include "db/OdbcHandles.h"
#include "db/qmxDB.h"

#include <utility>
#include <vector>

namespace {
struct Message {
    std::string text;
    MessageIcon icon;
};

// Everything from reading the file to the disconnect, under the wait cursor; the messages for
// the user are collected and shown once the cursor is back.
ImportResult importUnderWaitCursor(const std::string& path, const std::string& libraryAddress,
                                   std::vector<Message>& messages)
{
    WaitCursor wait(theApp().prompts());
    ImportResult result;
    std::string text;
    if (const int error = readSavedFile(path, text); error != 0) {
        WriteDebugLine("Import file " + path + " not read: " + FormatSystemError(error));
        messages.push_back({import_texts::OpenFailed + FormatSystemError(error), MessageIcon::Exclamation});
        result.outcome = ImportOutcome::FileNotOpened;
        return result;
    }
    // The file is judged before any connection is made: a file of the wrong kind costs nothing.
    result.kind = checkSavedFile(text);
    if (result.kind == SavedFileKind::Invalid) {
        messages.push_back({library_texts::InvalidFileFormat, MessageIcon::Stop});
        result.outcome = ImportOutcome::InvalidFormat;
        return result;
    }
    // The last line counts without a final line end, and an empty line is passed over, so a
    // stray blank line never hides the lines after it.
    const std::vector<std::string> lines = result.kind == SavedFileKind::MountHistory
                                               ? mountHistoryDataLines(text)
                                               : libraryPerformanceDataLines(text);
    text.clear();

    const AppSettings& settings = theApp().settings;
    const qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(settings.databaseName, settings.userName, theApp().password, handles, true, nullptr)) {
        result.outcome = ImportOutcome::NotConnected;
        return result;
    }
    storeImportLines(lines, result.kind, libraryAddress, handles, result);
    db.disconnectDB(handles);

    result.outcome = ImportOutcome::Completed;
    messages.push_back({importSummaryText(result.kind, result.inserted), MessageIcon::Information});
    if (result.failed > 0)
        messages.push_back({import_texts::InsertErrors, MessageIcon::Stop});
    return result;
}
} // namespace

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

ImportResult importSavedFile(const std::string& path, const std::string& libraryAddress)
{
    WriteTraceLine("Importing " + path + " for library " + libraryAddress);
    std::vector<Message> messages;
    const ImportResult result = importUnderWaitCursor(path, libraryAddress, messages);
    WriteTraceLine("Import of " + path + ": " + std::to_string(result.inserted) + " inserted, "
                   + std::to_string(result.duplicates) + " already stored, " + std::to_string(result.failed)
                   + " failed");
    UserPrompts& prompts = theApp().prompts();
    for (const Message& message : messages)
        prompts.showMessage(message.text, message.icon);
    return result;
}

ImportResult runImportCommand()
{
    UserPrompts& prompts = theApp().prompts();
    const auto path = prompts.askOpenFileName(import_texts::FileDialogTitle, promptFilter(import_texts::FileDialogFilter));
    if (!path)
        return {};
    // The address is stored with every row as it was typed; it is not checked.
    const auto libraryAddress = prompts.askText(import_texts::LibraryNameTitle, import_texts::LibraryNamePrompt, "");
    if (!libraryAddress)
        return {};
    return importSavedFile(*path, *libraryAddress);
}
