#include "CustomFormLists.h"

#include "CustomFormTexts.h"
#include "CustomTexts.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/TimeFormat.h"
#include "db/CheckedStatement.h"
#include "db/Dialect.h"
#include "db/qmxDB.h"
#include "query/QueryTexts.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

namespace texts = custom_form_texts;

namespace {
std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// The column names that are keys or unused, never offered as a data type.
bool skippedColumn(const std::string& name)
{
    static const char* const skipped[] = {
        "IPADDRESS",       "DATE",      "DATES",     "TIME",      "VOLSER",    "FRAME",    "DRIVE", "LOGICAL_LIBRARY",
        "ELEMENT_ADDRESS", "RESERVED1", "RESERVED2", "RESERVED3", "RESERVED4", "RESERVED5"};
    return std::any_of(std::begin(skipped), std::end(skipped),
                       [&](const char* skip) { return strcasecmp(name.c_str(), skip) == 0; });
}

// Fields whose rollup the worker supports are offered plainly, the others starred.
bool rollupSupported(const std::string& field)
{
    static const char* const supported[] = {"HOST_WRITE",        "HOST_READ", "DRIVE_RESIDENCY", "TAPEALERT_MEDIA",
                                            "LIFE_MOUNTS_MEDIA", "RETRIES",   "PERMS",           "CRYPTO"};
    return std::any_of(std::begin(supported), std::end(supported),
                       [&](const char* name) { return contains(field, name); });
}

std::string fill(const char* pattern, std::initializer_list<std::string_view> arguments)
{
    return fillTemplate(pattern, arguments);
}

class FormConnection {
public:
    explicit FormConnection(const CustomFormDatabase& database)
    {
        m_connected = m_db.connectDB(database.dataSourceName, database.userName, database.password, m_handles,
                                     Diagnostics::ShowUser);
        if (!m_connected)
            WriteTraceLine(texts::ExitConnect);
    }
    ~FormConnection()
    {
        if (m_connected)
            m_db.disconnectDB(m_handles);
    }
    FormConnection(const FormConnection&) = delete;
    FormConnection& operator=(const FormConnection&) = delete;

    bool connected() const { return m_connected; }
    qmxDB& db() { return m_db; }

    // Prepares and executes one of setupCombo's statements; failures are logged with it.
    bool run(CheckedStatement& statement, const std::string& sql, bool fields)
    {
        if (!statement.prepare(sql, Success::WithInfo))
            return failed(statement, custom_texts::SelectPrepareFailed,
                          fields ? texts::ExitFieldsPrepare : texts::ExitPrepare, sql);
        if (!statement.execute(Success::WithInfoOrNoData))
            return failed(statement, custom_texts::SelectExecuteFailed,
                          fields ? texts::ExitFieldsExecute : texts::ExitExecute, sql);
        return true;
    }

    // Every row's first column (and second, when asked), as text of up to 512 bytes.
    std::optional<std::vector<std::pair<std::string, std::string>>> rows(const std::string& sql, bool second)
    {
        CheckedStatement statement(m_handles.statement);
        if (!run(statement, sql, false))
            return std::nullopt;
        std::vector<std::pair<std::string, std::string>> values;
        while (statement.fetch() == Fetched::Row) {
            // A row without a volser, drive or name gives no item anyone could report on.
            auto first = statement.text(1, 512);
            auto next = second ? statement.text(2, 512) : std::optional<std::string>("");
            if (first && next && !first->empty() && (!second || !next->empty()))
                values.emplace_back(std::move(*first), std::move(*next));
        }
        statement.close();
        WriteTraceLine(texts::ExitTrue);
        return values;
    }

    std::optional<std::vector<std::string>> firstColumn(const std::string& sql)
    {
        auto values = rows(sql, false);
        if (!values)
            return std::nullopt;
        std::vector<std::string> first;
        for (auto& row : *values)
            first.push_back(std::move(row.first));
        return first;
    }

    // The names of the statement's result columns, from the first.
    std::optional<std::vector<std::string>> columnNames(const std::string& sql)
    {
        CheckedStatement statement(m_handles.statement);
        if (!run(statement, sql, true))
            return std::nullopt;
        std::vector<std::string> names;
        for (const ResultColumn& column : statement.columns())
            if (!column.name.empty())
                names.push_back(column.name);
        statement.close();
        WriteTraceLine(texts::ExitTrue);
        return names;
    }

    OdbcHandles& handles() { return m_handles; }

private:
    bool failed(CheckedStatement& statement, const char* step, const char* exitLine, const std::string& sql)
    {
        WriteDebugLine(sql);
        WriteDebugLine(step);
        m_db.reportDiagnostics(SQL_HANDLE_STMT, statement.handle(), Diagnostics::ShowUser);
        statement.close();
        WriteTraceLine(exitLine);
        return false;
    }

    qmxDB m_db;
    OdbcHandles m_handles;
    bool m_connected = false;
};

void traceEntering(const std::string& ipAddress, const char* kind, int tableKind)
{
    if (theApp().DebugLevel.load() > 1)
        WriteTraceLine(fill(texts::SetupComboEntering, {ipAddress, kind, std::to_string(tableKind)}));
}
} // namespace

CustomFormDatabase CustomFormDatabase::fromSettings()
{
    const CQmxApp& app = theApp();
    CustomFormDatabase database;
    database.dataSourceName = app.settings.databaseName;
    database.userName = app.settings.userName;
    database.password = app.password;
    database.mountHistoryTable = app.settings.mountHistoryTableName;
    database.libraryPerformanceTable = app.settings.mountHistoryTableName + "_LP";
    database.reportsTable = app.settings.reportsTableName;
    database.databaseType = app.settings.DatabaseType;
    return database;
}

std::string customDateCondition(int databaseType, std::time_t rangeStart)
{
    const std::string day = formatLocalTime("%Y-%m-%d", rangeStart);
    return fill(databaseType == 1 ? custom_texts::OracleDateCondition : custom_texts::DateCondition, {day});
}

std::string setupComboStatement(const CustomFormDatabase& database, const std::string& kind, int tableKind,
                                const std::string& ipAddress, std::time_t rangeStart)
{
    const std::string& table = tableKind == 2 ? database.libraryPerformanceTable : database.mountHistoryTable;
    const std::string address = escapeQuotes(ipAddress);
    const std::string condition = customDateCondition(database.databaseType, rangeStart);
    if (kind == texts::KindVolser)
        return fill(texts::VolserSelect, {table, address, condition});
    if (kind == texts::KindDrive)
        return fill(texts::DriveSelect, {table, address, condition});
    if (kind == texts::KindLogicalLibrary)
        return fill(texts::LogicalLibrarySelect, {table, address, condition});
    if (kind == texts::KindFields)
        return fill(texts::FieldsSelect,
                    {table, database.databaseType == 1 ? texts::FieldsConditionOracle : texts::FieldsCondition});
    if (kind == texts::KindLoad)
        return fill(custom_texts::TemplateNames, {database.reportsTable, escapeQuotes(database.userName)});
    return fill(texts::LibrarySelect, {database.mountHistoryTable});
}

std::vector<std::string> fieldComboItems(const std::vector<std::string>& columnNames, CustomTableKind table,
                                         std::size_t logicalLibraryCount)
{
    std::vector<std::string> fields;
    for (const std::string& column : columnNames) {
        if (skippedColumn(column))
            continue;
        std::string name = upper(column);
        if (startsWith(name, "MOUNT_"))
            name.erase(0, 6);
        if (startsWith(name, "LIFE_") && !contains(name, "LIFE_MOUNT"))
            name.erase(0, 5);
        if (startsWith(name, "HOST_WRITE") || startsWith(name, "HOST_READ"))
            name = fill(texts::DriveVolserField, {name});
        fields.push_back(name);
    }
    if (table == CustomTableKind::MountHistory && logicalLibraryCount > 1) {
        fields.emplace_back(texts::HostReadLibrary);
        fields.emplace_back(texts::HostWriteLibrary);
    }
    std::vector<std::string> items;
    for (const std::string& field : fields) {
        const char* pattern = table == CustomTableKind::LibraryPerformance ? texts::LibraryPerformanceItem
                              : rollupSupported(field)                     ? texts::MountHistoryItem
                                                                           : texts::StarredMountHistoryItem;
        items.push_back(fill(pattern, {field}));
    }
    return items;
}

std::string driveItemText(const std::string& frame, const std::string& drive)
{
    return fill(texts::DriveItem, {frame, drive});
}

std::time_t rangeSeconds(const std::string& rangeText)
{
    if (rangeText == texts::LastDay)
        return 86400;
    if (rangeText == texts::LastWeek)
        return 604800;
    if (rangeText == texts::LastMonth)
        return 2592000;
    if (rangeText == texts::LastTwoMonths)
        return 5184000;
    if (rangeText == texts::LastSixMonths)
        return 15552000;
    return 0;
}

std::string rangeItemForCode(int code)
{
    static const char* const items[] = {texts::LastDay, texts::LastWeek, texts::LastMonth, texts::LastTwoMonths,
                                        texts::LastSixMonths};
    return code >= 1 && code <= 5 ? items[code - 1] : "";
}

int rangeCodeForItem(const std::string& rangeText)
{
    for (int code = 1; code <= 5; ++code)
        if (rangeItemForCode(code) == rangeText)
            return code;
    return 0;
}

FormLists loadFormLists(const FormListsRequest& request, const CustomFormDatabase& database)
{
    FormLists lists;
    FormConnection connection(database);
    if (!connection.connected()) {
        lists.templateFailed = !request.templateName.empty();
        return lists;
    }

    std::string ipAddress = request.ipAddress;
    std::time_t rangeStart = request.rangeStart;
    bool itemLists = request.itemLists;
    bool fields = request.fields;
    bool libraries = request.libraries;
    const auto statement = [&](const char* kind, int tableKind) {
        traceEntering(ipAddress, kind, tableKind);
        return setupComboStatement(database, kind, tableKind, ipAddress, rangeStart);
    };
    if (!request.templateName.empty()) {
        bool failed = false;
        lists.loadedTemplate =
            loadCustomTemplate(connection.handles(), database.reportsTable, request.templateName,
                               request.templateUser.empty() ? database.userName : request.templateUser, failed);
        lists.templateFailed = failed;
        if (!lists.loadedTemplate)
            return lists;
        // A stored address that is no library of the table reads no list: the template is refused.
        lists.libraries = connection.firstColumn(statement(texts::KindLibrary, 1));
        libraries = false;
        const std::string& address = lists.loadedTemplate->ipAddress;
        if (!lists.libraries
            || std::find(lists.libraries->begin(), lists.libraries->end(), address) == lists.libraries->end())
            return lists;
        ipAddress = address;
        rangeStart = request.now - rangeSeconds(rangeItemForCode(lists.loadedTemplate->range));
        lists.templateRangeStart = rangeStart;
        itemLists = fields = ipAddress != request.previousLibrary;
    }

    if (itemLists) {
        if (request.driveVolserLists)
            lists.volsers = connection.firstColumn(statement(texts::KindVolser, 1));
        lists.logicalLibraries = connection.firstColumn(statement(texts::KindLogicalLibrary, 2));
        if (request.driveVolserLists)
            lists.drives = connection.rows(statement(texts::KindDrive, 1), true);
    }
    if (fields) {
        lists.mountHistoryColumns = connection.columnNames(statement(texts::KindFields, 1));
        lists.libraryPerformanceColumns = connection.columnNames(statement(texts::KindFields, 2));
    }
    if (libraries)
        lists.libraries = connection.firstColumn(statement(texts::KindLibrary, 1));
    if (request.templateNames)
        lists.templateNames = connection.firstColumn(statement(texts::KindLoad, 1));
    return lists;
}

bool writeTemplate(const TemplateWrite& write, const CustomFormDatabase& database)
{
    FormConnection connection(database);
    if (!connection.connected())
        return false;
    if (write.kind == TemplateWrite::Kind::Delete)
        return deleteCustomTemplate(connection.handles(), database.reportsTable, write.tmpl.name, write.tmpl.userName);
    return saveCustomTemplate(connection.handles(), database.reportsTable, write.tmpl);
}
