#include "QueryListData.h"

#include "CSortClass.h"
#include "QueryTexts.h"
#include "app/DebugLog.h"

#include <algorithm>

void QueryListData::clear()
{
    m_columns.clear();
    m_rows.clear();
    m_order.clear();
    m_sortKeys.clear();
    m_lastSortAscending.clear();
    m_firstSortDone = false;
    m_mark = {};
    m_cleared = true;
}

int QueryListData::addColumn(const std::string& title)
{
    m_columns.push_back({title, false, false});
    m_lastSortAscending.push_back(false);
    return columnCount() - 1;
}

void QueryListData::addNumericColumn(int column)
{
    if (column >= 0 && column < columnCount())
        m_columns[static_cast<std::size_t>(column)].numeric = true;
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
    StoredRow row;
    std::size_t length = 0;
    for (std::size_t column = 0; column < cells.size() && column < m_columns.size(); ++column)
        length += cells[column].size();
    row.text.reserve(length);
    row.ends.reserve(m_columns.size());
    for (std::size_t column = 0; column < m_columns.size(); ++column) {
        if (column < cells.size())
            row.text += cells[column];
        row.ends.push_back(static_cast<std::uint32_t>(row.text.size()));
    }
    m_order.push_back(static_cast<int>(m_rows.size()));
    m_rows.push_back(std::move(row));
    m_cleared = false;
}

std::string_view QueryListData::storedCell(int storedRow, int column) const
{
    const StoredRow& row = m_rows[static_cast<std::size_t>(storedRow)];
    if (column < 0 || static_cast<std::size_t>(column) >= row.ends.size())
        return {};
    const std::uint32_t begin = column == 0 ? 0 : row.ends[static_cast<std::size_t>(column) - 1];
    return std::string_view(row.text).substr(begin, row.ends[static_cast<std::size_t>(column)] - begin);
}

std::string_view QueryListData::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return storedCell(m_order[static_cast<std::size_t>(row)], column);
}

std::vector<std::string_view> QueryListData::widestCellCandidates(int column, std::size_t limit) const
{
    // Two characters of slack cover a narrow text that is a little longer than a wide one;
    // the cap keeps sizing quick on long lists.
    std::size_t longest = 0;
    for (std::size_t row = 0; row < m_rows.size(); ++row)
        longest = std::max(longest, storedCell(static_cast<int>(row), column).size());
    const std::size_t shortest = longest > 2 ? longest - 2 : 0;
    std::vector<std::string_view> candidates;
    for (std::size_t row = 0; row < m_rows.size() && candidates.size() < limit; ++row) {
        const std::string_view text = storedCell(static_cast<int>(row), column);
        if (text.size() >= shortest && std::find(candidates.begin(), candidates.end(), text) == candidates.end())
            candidates.push_back(text);
    }
    return candidates;
}

SortMark QueryListData::SortColumn(int column, bool addAsFurtherKey)
{
    WriteTraceLine(fillTemplate(query_texts::SortTrace, {std::to_string(column)}));
    if (column < 0 || column >= columnCount())
        return m_mark;
    const auto sortPass = [this](int key, bool ascending) {
        CSortClass pass(*this, key, m_columns[static_cast<std::size_t>(key)].numeric);
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
