#include "StartupImport.h"

#include "ImportTexts.h"
#include "app/DebugLog.h"
#include "app/SystemError.h"

#include <cerrno>
#include <cstdio>

StartupImportArguments startupImportFromArguments(const std::vector<std::string>& arguments)
{
    StartupImport import;
    bool asked = false;
    bool complete = true;
    bool haveLibrary = false;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string& argument = arguments[at];
        if (argument != "--import" && argument != "--library" && argument != "--imported-mark")
            continue;
        asked = true;
        if (at + 1 >= arguments.size() || arguments[at + 1].empty()) {
            complete = false;
            break;
        }
        const std::string& value = arguments[++at];
        if (argument == "--import") {
            import.files.push_back(value);
        } else if (argument == "--library") {
            complete = complete && !haveLibrary;
            import.libraryAddress = value;
            haveLibrary = true;
        } else {
            complete = complete && import.markPath.empty();
            import.markPath = value;
        }
    }
    StartupImportArguments parsed;
    if (!asked)
        return parsed;
    if (!complete || import.files.empty() || !haveLibrary)
        parsed.problem = import_texts::StartupUsage;
    else
        parsed.import = std::move(import);
    return parsed;
}

std::optional<std::string> ImportSequence::next() const
{
    if (m_ended || m_done >= m_request.files.size())
        return std::nullopt;
    return m_request.files[m_done];
}

void ImportSequence::fileDone(const ImportResult& result, const std::vector<ImportMessage>& messages)
{
    m_messages.insert(m_messages.end(), messages.begin(), messages.end());
    ++m_done;
    m_everyLineStored = m_everyLineStored && result.everyLineStored();
    if (result.outcome != ImportOutcome::Completed) {
        m_ended = true;
        return;
    }
    if (m_done < m_request.files.size() || !m_everyLineStored || m_request.markPath.empty())
        return;
    // Created if it is not there; a file that is there already is left as it is.
    std::FILE* mark = std::fopen(m_request.markPath.c_str(), "a");
    int error = mark == nullptr ? errno : 0;
    if (mark != nullptr && std::fclose(mark) != 0)
        error = errno;
    if (error != 0)
        WriteDebugLine("Import mark " + m_request.markPath + " not written: " + FormatSystemError(error));
}
