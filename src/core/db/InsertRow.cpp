#include "InsertRow.h"

#include "InsertTexts.h"
#include "app/DebugLog.h"
#include "qmxDB.h"
#include "FieldText.h"

#include <algorithm>
#include <cctype>

namespace {
std::string lowerCased(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string filled(const char* format, const std::string& first)
{
    std::string text = format;
    text.replace(text.find("%s"), 2, first);
    return text;
}
} // namespace

bool isUniqueKeyViolation(SQLHSTMT statement)
{
    int count = 0;
    for (const DiagnosticRecord& record : readDiagnosticRecords(SQL_HANDLE_STMT, statement, count)) {
        // 23505 is the standard state of a unique violation. Other drivers report the general
        // integrity state 23000, or none at all (the embedded store says HY000), and name the
        // unique key in their message.
        if (record.state == "23505")
            return true;
        const std::string text = lowerCased(record.message);
        for (const char* words : {"unique constraint", "unique key", "duplicate key", "ora-00001"})
            if (text.find(words) != std::string::npos)
                return true;
    }
    return false;
}

std::string lineRefusedText(const std::string& reason, const std::string& line)
{
    std::string text = insert_texts::LineRefused;
    text.replace(text.find("%s"), 2, reason);
    text.replace(text.find("%s"), 2, line);
    return text;
}

int refuseLine(const std::string& reason, const std::string& line)
{
    WriteDebugLine(lineRefusedText(reason, line));
    return InsertFailed;
}

std::string tooLongLineReason()
{
    return "it is longer than " + std::to_string(MaxLibraryLineLength) + " characters";
}

int refuseTooLongLine(std::string_view line)
{
    constexpr std::size_t shown = 80;
    return refuseLine(tooLongLineReason(), std::string(line.substr(0, shown)) + "...");
}

int runInsertStatement(const std::string& insert, SQLHSTMT statement)
{
    const qmxDB db;
    const SQLRETURN prepared = prepareStatement(statement, insert);
    if (prepared != SQL_SUCCESS) {
        WriteDebugLine(insert_texts::PreparingFailed);
        WriteDebugLine(insert);
        db.reportDiagnostics(SQL_HANDLE_STMT, statement, Diagnostics::LogOnly);
        closeCursor(statement);
        return InsertFailed;
    }
    const SQLRETURN executed = executeStatement(statement);
    if (executed != SQL_SUCCESS && isUniqueKeyViolation(statement)) {
        WriteTraceLine(filled(insert_texts::RefusedByUniqueKey, insert));
        closeCursor(statement);
        return InsertDuplicate;
    }
    const bool inserted = db.checkSQLResult(executed, insert_texts::ExecutingVerb, statement, Diagnostics::LogOnly);
    if (!inserted)
        WriteDebugLine(filled(insert_texts::ExecutingFailed, insert));
    closeCursor(statement);
    return inserted ? InsertDone : InsertFailed;
}

int insertUnlessStored(const std::string& table, const std::string& duplicateCheck, const std::string& insert,
                       SQLHSTMT statement, bool logInsert)
{
    const int stored = qmxDB().selectIntoList("*", table, duplicateCheck, statement, nullptr, Diagnostics::ShowUser);
    if (stored < 0)
        return InsertFailed;
    if (stored > 0)
        return InsertDuplicate;
    if (logInsert)
        WriteDebugLine(insert);
    return runInsertStatement(insert, statement);
}
