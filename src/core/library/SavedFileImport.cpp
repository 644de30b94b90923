#include "SavedFileImport.h"

#include "ImportLines.h"
#include "ImportTexts.h"
#include "LibraryTexts.h"
#include "MonitorAddressList.h"
#include "SavedFileCheck.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/SystemError.h"
#include "db/qmxDB.h"

#include <utility>

SavedFileImport::SavedFileImport(std::string path, std::string libraryAddress)
    : m_path(std::move(path)), m_address(std::move(libraryAddress))
{
}

bool SavedFileImport::begin()
{
    WriteTraceLine("Importing " + m_path + " for library " + m_address);
    if (std::string problem = libraryAddressProblem(m_address); !problem.empty()) {
        m_messages.push_back({std::move(problem), MessageIcon::Exclamation});
        m_result.outcome = ImportOutcome::AddressTooLong;
        return false;
    }
    LineReader::Line line;
    int error = m_file.open(m_path);
    const bool firstLineRead = error == 0 && m_file.next(line);
    if (error == 0)
        error = m_file.readError();
    if (error != 0) {
        WriteDebugLine("Import file " + m_path + " not read: " + FormatSystemError(error));
        m_messages.push_back({import_texts::OpenFailed + FormatSystemError(error), MessageIcon::Exclamation});
        m_result.outcome = ImportOutcome::FileNotOpened;
        return false;
    }
    // Line 1 alone decides, before anything else is read and before any connection is made: a
    // file of the wrong kind, however long, costs no more than its first line.
    m_result.kind = firstLineRead && !line.tooLong ? checkSavedFile(line.text) : SavedFileKind::Invalid;
    if (m_result.kind == SavedFileKind::Invalid) {
        m_messages.push_back({library_texts::InvalidFileFormat, MessageIcon::Stop});
        m_result.outcome = ImportOutcome::InvalidFormat;
        return false;
    }
    for (std::size_t header = 1; header < headerLineCount(m_result.kind) && m_file.next(line); ++header) {
    }

    const AppSettings& settings = theApp().settings;
    if (!qmxDB().connectDB(settings.databaseName, settings.userName, theApp().password, m_handles,
                           Diagnostics::ShowUser)) {
        m_result.outcome = ImportOutcome::NotConnected;
        return false;
    }
    return true;
}

void SavedFileImport::storeLines(const ImportOptions& options)
{
    m_stopped = !storeSavedFileLines(m_file, m_result.kind, m_address, m_handles, m_result, options);
    if (options.progressDone)
        options.progressDone();
}

void SavedFileImport::finish()
{
    if (m_handles.connected) {
        qmxDB().disconnectDB(m_handles);
        if (const int readError = m_file.readError(); readError != 0) {
            // What was read is stored; the rest of the file is not, and the user hears of it.
            WriteDebugLine("Import file " + m_path + " not read to its end after line "
                           + std::to_string(m_file.lineNumber()) + ": " + FormatSystemError(readError));
            ++m_result.failed;
        }
        m_result.outcome = m_stopped ? ImportOutcome::Stopped : ImportOutcome::Completed;
        m_messages.push_back(
            {m_stopped ? importStoppedText(m_result) : importSummaryText(m_result.kind, m_result.inserted),
             MessageIcon::Information});
        if (m_result.failed > 0)
            m_messages.push_back({import_texts::InsertErrors, MessageIcon::Stop});
    }
    WriteTraceLine("Import of " + m_path + ": " + std::to_string(m_result.inserted) + " inserted, "
                   + std::to_string(m_result.duplicates) + " already stored, " + std::to_string(m_result.failed)
                   + " failed" + (m_stopped ? ", stopped before the end of the file" : ""));
}

void showImportMessages(const std::vector<ImportMessage>& messages)
{
    UserPrompts& prompts = theApp().prompts();
    for (const ImportMessage& message : messages)
        prompts.showMessage(message.text, message.icon);
}
