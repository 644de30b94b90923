#include "MonitorAddressList.h"

#include "MonitorFormat.h"
#include "MonitorTexts.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "LibraryTexts.h"
#include "db/Tables.h"
#include "db/qmxDB.h"

std::optional<std::vector<std::string>> setupIPCombo()
{
    const CQmxApp& app = theApp();
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(app.settings.databaseName, app.settings.userName, app.password, handles, false, nullptr)) {
        WriteTraceLine(monitor_texts::AddressConnectFailed);
        return std::nullopt;
    }
    const std::string sql =
        formatMonitorText(monitor_texts::AddressListSelect, app.settings.mountHistoryTableName.c_str());
    const auto failed = [&](const char* step, SQLRETURN result) {
        WriteDebugLine(step);
        WriteDebugLine(sql);
        db.reportDiagnostics(SQL_HANDLE_STMT, handles.statement, result, false, nullptr, true);
        db.disconnectDB(handles);
        return std::nullopt;
    };
    SQLRETURN result = prepareStatement(handles.statement, sql);
    if (result != SQL_SUCCESS)
        return failed(monitor_texts::AddressPrepareFailed, result);
    result = executeStatement(handles.statement);
    if (result != SQL_SUCCESS && result != SQL_SUCCESS_WITH_INFO)
        return failed(monitor_texts::AddressExecuteFailed, result);

    std::vector<std::string> addresses;
    while (fetchSucceeded(SQLFetch(handles.statement)))
        if (auto address = getColumnText(handles.statement, 1, 31))
            addresses.push_back(*address);
    closeCursor(handles.statement);
    if (!addresses.empty())
        addresses.insert(addresses.begin(), monitor_texts::AllLibraries);
    db.disconnectDB(handles);
    WriteTraceLine(monitor_texts::AddressListFilled);
    return addresses;
}

std::string cleanLibraryAddress(const std::string& entered)
{
    const std::size_t first = entered.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const std::size_t last = entered.find_last_not_of(" \t");
    std::string address = entered.substr(first, last - first + 1);
    return address.substr(0, address.find(' '));
}

std::string libraryAddressProblem(const std::string& address)
{
    // Characters, not bytes: a server counts a name in UTF-8 by its characters.
    std::size_t characters = 0;
    for (const char byte : address)
        if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80)
            ++characters;
    if (characters <= LibraryAddressLength)
        return {};
    std::string text = library_texts::AddressTooLong;
    text.replace(text.find("%d"), 2, std::to_string(LibraryAddressLength));
    text.replace(text.find("%s"), 2, address);
    return text;
}

std::vector<MonitorStart> monitorStarts(const std::string& entered, const std::vector<std::string>& list)
{
    if (entered != monitor_texts::AllLibraries)
        return {MonitorStart{entered, std::chrono::milliseconds{0}}};
    std::vector<MonitorStart> starts;
    // Position 0 of the list is "**ALL**" itself.
    for (std::size_t position = list.size(); position-- > 1;)
        if (list[position] != monitor_texts::AllLibraries)
            starts.push_back(MonitorStart{list[position], MonitorStartSpacing * static_cast<int>(position - 1)});
    return starts;
}
