#include "DataRemoval.h"

#include "CheckedStatement.h"
#include "Dialect.h"
#include "qmxDB.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/UserPrompts.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {
using namespace data_removal_texts;

// printf into a string of whatever length the values need.
template <class... Values>
std::string formatted(const char* pattern, Values... values)
{
    const int length = std::snprintf(nullptr, 0, pattern, values...);
    if (length <= 0)
        return "";
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, values...);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

bool allDigits(const std::string& text)
{
    return !text.empty() && text.size() <= 9
           && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// Runs a select on the connection's statement; each row's columns as text. Nothing on failure,
// which is logged and reported: a fetch that fails part way gives no list, never a short one.
std::optional<std::vector<std::vector<std::string>>> selectRows(const qmxDB& db, SQLHSTMT handle,
                                                                const std::string& sql, int columns)
{
    CheckedStatement statement(handle);
    const auto failed = [&](const char* step) {
        WriteDebugLine(std::string(step) + sql);
        db.reportDiagnostics(SQL_HANDLE_STMT, handle, Diagnostics::ShowUser);
        return std::nullopt;
    };
    if (!statement.prepare(sql))
        return failed(ErrorPreparing);
    if (!statement.execute())
        return failed(ErrorExecuting);
    std::vector<std::vector<std::string>> rows;
    Fetched fetched = Fetched::Row;
    while ((fetched = statement.fetch()) == Fetched::Row) {
        std::vector<std::string> row;
        for (int column = 1; column <= columns; ++column)
            row.push_back(statement.text(static_cast<SQLUSMALLINT>(column), 32).value_or(""));
        rows.push_back(std::move(row));
    }
    if (fetched == Fetched::Failed)
        return failed(ErrorFetching);
    return rows;
}
} // namespace

std::string driveEntryText(int frame, int drive)
{
    return formatted(DriveEntry, frame, drive);
}

std::optional<std::vector<RemovalLibrary>> loadRemovalTree(RemovalMode mode)
{
    std::vector<RemovalLibrary> tree;
    if (mode == RemovalMode::None)
        return tree;
    CQmxApp& app = theApp();
    WaitCursor wait(app.prompts());
    const AppSettings& settings = app.settings;
    const std::string& table = settings.mountHistoryTableName;
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(settings.databaseName, settings.userName, app.password, handles, Diagnostics::ShowUser))
        return std::nullopt;
    const auto addresses =
        selectRows(db, handles.statement, "select distinct ipaddress from " + table + " order by ipaddress asc", 1);
    if (!addresses) {
        db.disconnectDB(handles);
        return std::nullopt;
    }
    for (const auto& row : *addresses) {
        RemovalLibrary library{row[0], {}};
        const std::string address = quoteLiteral(library.address);
        if (mode == RemovalMode::ByDrive) {
            const auto drives = selectRows(db, handles.statement,
                                           "select distinct frame, drive from " + table
                                               + " where ipaddress = " + address + " order by frame asc, drive asc",
                                           2);
            for (const auto& drive : drives.value_or(decltype(drives)::value_type{}))
                library.entries.push_back(driveEntryText(std::atoi(drive[0].c_str()), std::atoi(drive[1].c_str())));
        } else {
            const auto volsers = selectRows(
                db, handles.statement,
                "select distinct volser from " + table + " where ipaddress = " + address + " order by volser asc", 1);
            for (const auto& volser : volsers.value_or(decltype(volsers)::value_type{}))
                library.entries.push_back(volser[0]);
        }
        tree.push_back(std::move(library));
    }
    db.disconnectDB(handles);
    return tree;
}

RemovalSelection selectionFromTreeItem(RemovalMode mode, const std::optional<std::string>& parentText,
                                       const std::string& itemText)
{
    RemovalSelection selection;
    if (!parentText)
        return selection;
    selection.entrySelected = true;
    selection.address = *parentText;
    if (mode == RemovalMode::ByVolser) {
        selection.volser = itemText;
    } else if (mode == RemovalMode::ByDrive) {
        const auto first = itemText.find(' ');
        const auto second = first == std::string::npos ? first : itemText.find(' ', first + 1);
        if (second != std::string::npos)
            selection.frame = itemText.substr(first + 1, second - first - 1);
        const auto last = itemText.rfind(' ');
        if (last != std::string::npos)
            selection.drive = itemText.substr(last + 1);
    }
    return selection;
}

bool selectionIsDeletable(RemovalMode mode, const RemovalSelection& selection)
{
    if (!selection.entrySelected)
        return false;
    // Frame and drive stand unquoted in the statement: only numbers go there.
    if (mode == RemovalMode::ByDrive)
        return allDigits(selection.frame) && allDigits(selection.drive);
    return mode == RemovalMode::ByVolser;
}

std::string removalQuestion(RemovalMode mode, const RemovalSelection& selection)
{
    if (mode == RemovalMode::ByDrive)
        return formatted(DriveQuestion, selection.address.c_str(), selection.frame.c_str(), selection.drive.c_str());
    return formatted(VolserQuestion, selection.address.c_str(), selection.volser.c_str());
}

namespace {
// The one condition of the count and the delete, so that the question counts what goes.
std::string removalCondition(RemovalMode mode, const RemovalSelection& selection)
{
    const std::string start = " where ipaddress = " + quoteLiteral(selection.address);
    if (mode == RemovalMode::ByDrive)
        return start + " and frame = " + selection.frame + " and drive = " + selection.drive;
    return start + " and volser = " + quoteLiteral(selection.volser);
}
} // namespace

std::string removalStatement(RemovalMode mode, const std::string& table, const RemovalSelection& selection)
{
    return "delete from " + table + removalCondition(mode, selection);
}

std::string removalCountStatement(RemovalMode mode, const std::string& table, const RemovalSelection& selection)
{
    return "select count(*) from " + table + removalCondition(mode, selection);
}

RemovalCount countMountHistoryEntries(RemovalMode mode, const RemovalSelection& selection)
{
    RemovalCount count;
    if (!selectionIsDeletable(mode, selection))
        return count;
    CQmxApp& app = theApp();
    const AppSettings& settings = app.settings;
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(settings.databaseName, settings.userName, app.password, handles, Diagnostics::ShowUser)) {
        count.status = RemovalCount::Status::NotConnected;
        return count;
    }
    const auto rows =
        selectRows(db, handles.statement, removalCountStatement(mode, settings.mountHistoryTableName, selection), 1);
    db.disconnectDB(handles);
    if (!rows || rows->size() != 1)
        return count;
    const std::string& text = rows->front()[0];
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || end == nullptr || *end != '\0' || value < 0)
        return count;
    count.status = RemovalCount::Status::Counted;
    count.rows = value;
    return count;
}

std::string countedRemovalQuestion(RemovalMode mode, const RemovalSelection& selection, long long rows,
                                   const std::string& table)
{
    const std::string line =
        rows == 1 ? formatted(CountLineOne, table.c_str()) : formatted(CountLineMany, rows, table.c_str());
    return removalQuestion(mode, selection) + "\n" + line;
}

RemovalResult deleteMountHistoryEntries(RemovalMode mode, const RemovalSelection& selection)
{
    RemovalResult result;
    if (!selectionIsDeletable(mode, selection))
        return result;
    CQmxApp& app = theApp();
    const AppSettings& settings = app.settings;
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(settings.databaseName, settings.userName, app.password, handles, Diagnostics::ShowUser)) {
        result.status = RemovalResult::Status::NotConnected;
        return result;
    }
    const std::string sql = removalStatement(mode, settings.mountHistoryTableName, selection);
    WriteDebugLine(sql);
    if (prepareStatement(handles.statement, sql) != SQL_SUCCESS) {
        WriteDebugLine(std::string(ErrorPreparing) + sql);
        db.reportDiagnostics(SQL_HANDLE_STMT, handles.statement, Diagnostics::ShowUser);
    } else {
        const SQLRETURN executed = executeStatement(handles.statement);
        SQLLEN rows = 0;
        if (executed == SQL_SUCCESS || executed == SQL_SUCCESS_WITH_INFO || executed == SQL_NO_DATA)
            SQLRowCount(handles.statement, &rows);
        if (executed == SQL_NO_DATA || (executed == SQL_SUCCESS && rows == 0)) {
            result.status = RemovalResult::Status::NothingMatched;
        } else if (executed == SQL_SUCCESS) {
            result.status = RemovalResult::Status::Deleted;
            result.rows = rows;
        } else {
            // Success with information counts as a failure, as everywhere else.
            WriteDebugLine(std::string(ErrorExecuting) + sql);
            db.reportDiagnostics(SQL_HANDLE_STMT, handles.statement, Diagnostics::ShowUser);
        }
    }
    closeCursor(handles.statement);
    db.disconnectDB(handles);
    return result;
}

std::optional<RemovalResult> runDataRemoval(RemovalMode mode, const RemovalSelection& selection)
{
    UserPrompts& prompts = theApp().prompts();
    if (mode == RemovalMode::None) {
        prompts.showMessage(ChooseMode, MessageIcon::Information);
        return std::nullopt;
    }
    if (!selectionIsDeletable(mode, selection)) {
        prompts.showMessage(ChooseEntry, MessageIcon::Information);
        return std::nullopt;
    }
    RemovalCount count;
    {
        WaitCursor wait(prompts);
        count = countMountHistoryEntries(mode, selection);
    }
    if (count.status != RemovalCount::Status::Counted) {
        // The database layer has said why; nothing was asked and nothing goes.
        RemovalResult failed;
        failed.status = count.status == RemovalCount::Status::NotConnected ? RemovalResult::Status::NotConnected
                                                                           : RemovalResult::Status::Failed;
        if (failed.status == RemovalResult::Status::Failed)
            prompts.showMessage(NotDeleted, MessageIcon::Stop);
        return failed;
    }
    const std::string question =
        countedRemovalQuestion(mode, selection, count.rows, theApp().settings.mountHistoryTableName);
    if (!prompts.askYesNo(question, MessageIcon::Exclamation))
        return std::nullopt;
    RemovalResult result;
    {
        WaitCursor wait(prompts);
        result = deleteMountHistoryEntries(mode, selection);
    }
    if (result.status == RemovalResult::Status::Deleted)
        prompts.showMessage(Deleted, MessageIcon::Information);
    else if (result.status != RemovalResult::Status::NotConnected)
        prompts.showMessage(NotDeleted, MessageIcon::Stop);
    return result;
}
