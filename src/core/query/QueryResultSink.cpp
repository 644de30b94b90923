#include "QueryResultSink.h"

#include "QueryListData.h"

void QueryListSink::addColumn(const std::string& title)
{
    m_list.addColumn(title);
}

void QueryListSink::addNumericColumn(int column)
{
    m_list.addNumericColumn(column);
}

void QueryListSink::setColumnKind(int column, QueryColumnKind kind, int dateFormatCode)
{
    m_list.setColumnKind(column, kind, dateFormatCode);
}

void QueryListSink::addRows(std::vector<std::vector<std::string>> rows)
{
    for (const auto& row : rows)
        m_list.addRow(row);
}
