#include "QueryListData.h"

#include "CSortClass.h"
#include "QueryTexts.h"
#include "app/DebugLog.h"

#include <algorithm>

void QueryListData::clear()
{
    m_columns.clear();
    m_cells.clear();
    m_storedRows = 0;
    m_order.clear();
    m_sortKeys.clear();
    m_lastSortAscending.clear();
    m_firstSortDone = false;
    m_mark = {};
    m_cleared = true;
}

int QueryListData::addColumn(const std::string& title)
{
    m_columns.push_back({title, false, false, QueryColumnKind::Text});
    m_cells.emplace_back();
    // A column added after rows is empty in each of them.
    for (std::size_t row = 0; row < m_storedRows; ++row)
        m_cells.back().append({});
    m_lastSortAscending.push_back(false);
    return columnCount() - 1;
}

void QueryListData::addNumericColumn(int column)
{
    setColumnKind(column, QueryColumnKind::Integer);
}

void QueryListData::setColumnKind(int column, QueryColumnKind kind, int dateFormatCode)
{
    if (column < 0 || column >= columnCount())
        return;
    QueryColumn& info = m_columns[static_cast<std::size_t>(column)];
    info.kind = kind;
    info.numeric = kind == QueryColumnKind::Integer;
    m_cells[static_cast<std::size_t>(column)].setKind(kind, dateFormatCode);
}

void QueryListData::setColumnHidden(int column, bool hidden)
{
    if (column >= 0 && column < columnCount())
        m_columns[static_cast<std::size_t>(column)].hidden = hidden;
}

std::vector<int> QueryListData::visibleColumns() const
{
    std::vector<int> visible;
    for (int column = 0; column < columnCount(); ++column)
        if (!m_columns[static_cast<std::size_t>(column)].hidden)
            visible.push_back(column);
    return visible;
}

void QueryListData::addRow(const std::vector<std::string>& cells)
{
    for (std::size_t column = 0; column < m_cells.size(); ++column)
        m_cells[column].append(column < cells.size() ? std::string_view(cells[column]) : std::string_view());
    m_order.push_back(static_cast<int>(m_storedRows++));
    m_cleared = false;
}

std::string QueryListData::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    return m_cells[static_cast<std::size_t>(column)].text(
        static_cast<std::size_t>(m_order[static_cast<std::size_t>(row)]));
}

std::string QueryListData::longestCell(int column) const
{
    if (column < 0 || column >= columnCount() || m_storedRows == 0)
        return {};
    const QueryColumnCells& cells = m_cells[static_cast<std::size_t>(column)];
    return cells.text(cells.longestRow());
}

std::size_t QueryListData::cellMemoryBytes() const
{
    std::size_t bytes = m_order.capacity() * sizeof(int);
    for (const QueryColumnCells& cells : m_cells)
        bytes += cells.memoryBytes();
    return bytes;
}

SortMark QueryListData::SortColumn(int column, bool addAsFurtherKey)
{
    WriteTraceLine(fillTemplate(query_texts::SortTrace, {std::to_string(column)}));
    if (column < 0 || column >= columnCount())
        return m_mark;
    const auto sortPass = [this](int key, bool ascending) {
        CSortClass pass(*this, key);
        pass.Sort(ascending);
    };
    // The clicked column sorts against its last direction; that direction is then remembered.
    const auto sortClicked = [this, &sortPass](int key) {
        const bool ascending = !m_lastSortAscending[static_cast<std::size_t>(key)];
        sortPass(key, ascending);
        m_lastSortAscending[static_cast<std::size_t>(key)] = ascending;
        m_mark = {key, ascending};
    };

    if (!m_firstSortDone || !addAsFurtherKey) {
        m_sortKeys.assign(1, column);
        sortClicked(column);
        m_firstSortDone = true;
        return m_mark;
    }

    m_sortKeys.erase(std::remove(m_sortKeys.begin(), m_sortKeys.end(), column), m_sortKeys.end());
    m_sortKeys.push_back(column);
    // Minor keys first: each stable pass keeps the order of the ones before it among equals,
    // so the first key in the list ends up the major one.
    sortClicked(column);
    for (auto key = m_sortKeys.rbegin() + 1; key != m_sortKeys.rend(); ++key)
        sortPass(*key, m_lastSortAscending[static_cast<std::size_t>(*key)]);
    return m_mark;
}

void QueryListData::setCellColouring(std::shared_ptr<const QueryCellColouring> colouring)
{
    m_colouring = std::move(colouring);
}

CellShade QueryListData::cellShade(int row, int column) const
{
    if (!m_colouring || column < 0 || column >= columnCount())
        return CellShade::Default;
    return m_colouring->shadeFor(m_columns[static_cast<std::size_t>(column)].title, cell(row, column));
}
