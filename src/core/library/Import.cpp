#include "Import.h"

#include "ImportFile.h"
#include "SavedFileCheck.h"
#include "ImportLines.h"
#include "ImportTexts.h"
#include "LibraryFileText.h"
#include "LibraryTexts.h"
#include "MonitorAddressList.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/SystemError.h"
#include "app/UserPrompts.h"
#include "db/OdbcHandles.h"
#include "db/qmxDB.h"

#include <algorithm>
#include <cstdio>
#include <optional>
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
                                   const ImportOptions& options, std::vector<Message>& messages)
{
    WaitCursor wait(theApp().prompts());
    ImportResult result;
    SavedFileReader file;
    LineReader::Line line;
    int error = file.open(path);
    const bool firstLineRead = error == 0 && file.next(line);
    if (error == 0)
        error = file.readError();
    if (error != 0) {
        WriteDebugLine("Import file " + path + " not read: " + FormatSystemError(error));
        messages.push_back({import_texts::OpenFailed + FormatSystemError(error), MessageIcon::Exclamation});
        result.outcome = ImportOutcome::FileNotOpened;
        return result;
    }
    // Line 1 alone decides, before anything else is read and before any connection is made: a
    // file of the wrong kind, however long, costs no more than its first line.
    result.kind = firstLineRead && !line.tooLong ? checkSavedFile(line.text) : SavedFileKind::Invalid;
    if (result.kind == SavedFileKind::Invalid) {
        messages.push_back({library_texts::InvalidFileFormat, MessageIcon::Stop});
        result.outcome = ImportOutcome::InvalidFormat;
        return result;
    }
    for (std::size_t header = 1; header < headerLineCount(result.kind) && file.next(line); ++header) {
    }

    const AppSettings& settings = theApp().settings;
    const qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(settings.databaseName, settings.userName, theApp().password, handles, true, nullptr)) {
        result.outcome = ImportOutcome::NotConnected;
        return result;
    }
    storeSavedFileLines(file, result.kind, libraryAddress, handles, result, options);
    db.disconnectDB(handles);
    if (options.progressDone)
        options.progressDone();
    if (const int readError = file.readError(); readError != 0) {
        // What was read is stored; the rest of the file is not, and the user hears of it.
        WriteDebugLine("Import file " + path + " not read to its end after line " + std::to_string(file.lineNumber())
                       + ": " + FormatSystemError(readError));
        ++result.failed;
    }

    result.outcome = ImportOutcome::Completed;
    messages.push_back({importSummaryText(result.kind, result.inserted), MessageIcon::Information});
    if (result.failed > 0)
        messages.push_back({import_texts::InsertErrors, MessageIcon::Stop});
    return result;
}
} // namespace

std::string importProgressText(const ImportProgress& progress)
{
    const int percent = progress.fileSize == 0
                            ? 0
                            : static_cast<int>(std::min<std::uint64_t>(100, progress.bytesRead * 100 / progress.fileSize));
    char text[160];
    std::snprintf(text, sizeof text, import_texts::Progress, static_cast<unsigned long long>(progress.linesRead),
                  static_cast<unsigned long long>(progress.linesStored), percent);
    return text;
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

ImportResult importSavedFile(const std::string& path, const std::string& libraryAddress,
                             const ImportOptions& options)
{
    WriteTraceLine("Importing " + path + " for library " + libraryAddress);
    if (const std::string problem = libraryAddressProblem(libraryAddress); !problem.empty()) {
        theApp().prompts().showMessage(problem, MessageIcon::Exclamation);
        ImportResult refused;
        refused.outcome = ImportOutcome::AddressTooLong;
        return refused;
    }
    std::vector<Message> messages;
    const ImportResult result = importUnderWaitCursor(path, libraryAddress, options, messages);
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
    // The address is stored with every row as it was typed; only its length is checked, and a
    // name that is too long is asked for again rather than losing the chosen file.
    std::optional<std::string> libraryAddress;
    for (std::string entered;;) {
        libraryAddress = prompts.askText(import_texts::LibraryNameTitle, import_texts::LibraryNamePrompt, entered);
        if (!libraryAddress)
            return {};
        const std::string problem = libraryAddressProblem(*libraryAddress);
        if (problem.empty())
            break;
        prompts.showMessage(problem, MessageIcon::Exclamation);
        entered = *libraryAddress;
    }
    return importSavedFile(*path, *libraryAddress);
}
