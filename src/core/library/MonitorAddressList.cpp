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
    if (!db.connectDB(app.settings.databaseName, app.settings.userName, app.password, handles, Diagnostics::ShowUser)) {
        WriteTraceLine(monitor_texts::AddressConnectFailed);
        return std::nullopt;
    }
    const std::string sql =
        formatMonitorText(monitor_texts::AddressListSelect, app.settings.mountHistoryTableName.c_str());
    auto addresses = selectFirstColumn(db, handles.statement, sql, monitor_texts::AddressPrepareFailed,
                                       monitor_texts::AddressExecuteFailed);
    db.disconnectDB(handles);
    if (!addresses)
        return std::nullopt;
    if (!addresses->empty())
        addresses->insert(addresses->begin(), monitor_texts::AllLibraries);
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
