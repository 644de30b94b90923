#include "HostileTemplates.h"

#include <unistd.h>

namespace {
struct Row {
    std::string ipAddress = "'10.0.0.1'";
    std::string range = "1";
    std::string fieldType = "'Mount History: HOST_WRITE (Drive / Volser)'";
    std::string rateText = "'Optionally Select a Rate...'";
    std::string columnType = "2";
    std::string value = "'VOL001'";
    std::string reportType = "3";
};

std::string quoted(const std::string& text)
{
    std::string doubled;
    for (char c : text)
        doubled += c == '\'' ? std::string("''") : std::string(1, c);
    return "'" + doubled + "'";
}
} // namespace

std::string canaryTable()
{
    return "c" + std::to_string(getpid());
}

bool canaryIntact(const TestBackend& backend)
{
    return countRows(backend, canaryTable()) == 1;
}

void dropCanary(const TestBackend& backend)
{
    executeSql(backend, "DROP TABLE IF EXISTS " + canaryTable());
}

std::vector<HostileTemplate> insertHostileTemplates(const TestBackend& backend, const std::string& reportsTable,
                                                    const std::string& user)
{
    dropCanary(backend);
    if (!executeSql(backend, "CREATE TABLE " + canaryTable() + " (k INTEGER)")
        || !executeSql(backend, "INSERT INTO " + canaryTable() + " VALUES (1)"))
        return {};

    const std::string deletion = "DELETE FROM " + canaryTable();
    // The embedded database keeps text in a number column; the server refuses it there.
    const bool textInNumbers = backend.name == "SQLite";
    const auto number = [&](const char* outOfRange) {
        return textInNumbers ? quoted("1;" + deletion) : std::string(outOfRange);
    };
    std::vector<std::pair<HostileTemplate, Row>> templates;
    const auto add = [&](const std::string& name, const std::string& column, auto change) {
        Row row;
        change(row);
        templates.push_back({{name, column}, row});
    };
    add("address", "ipAddress", [&](Row& row) { row.ipAddress = quoted("1' or ''='"); });
    add("range", "Range", [&](Row& row) { row.range = number("9"); });
    add("field", "Field_Type", [&](Row& row) { row.fieldType = quoted("Mount History: 1 LIFE;" + deletion + ";--"); });
    add("rate", "Eff_Value", [&](Row& row) { row.rateText = quoted("Per Mount';" + deletion + ";--"); });
    add("column type", "Col_Type", [&](Row& row) { row.columnType = number("7"); });
    add("value", "Value", [&](Row& row) { row.value = quoted("VOL001');" + deletion + ";--"); });
    add("drive", "Value", [&](Row& row) { row.value = quoted("Frame: 1 or 1=1  Drive: 1"); });
    add("report type", "Report_Type", [&](Row& row) { row.reportType = number("9"); });
    add("well formed", "", [](Row&) {});

    std::vector<HostileTemplate> names;
    for (const auto& [hostile, row] : templates) {
        const bool inserted = executeSql(
            backend, "INSERT INTO " + reportsTable + " VALUES (" + quoted(user) + ", " + quoted(hostile.name) + ", "
                         + row.ipAddress + ", " + row.range + ", " + row.fieldType + ", " + row.rateText + ", "
                         + row.columnType + ", " + row.value + ", " + row.reportType + ")");
        if (!inserted)
            return {};
        if (!hostile.column.empty())
            names.push_back(hostile);
    }
    return names;
}
