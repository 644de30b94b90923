#pragma once

#include "QueryCellColouring.h"
#include "QueryColumnCells.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct QueryColumn {
    std::string title;
    bool numeric = false; // sorts as integers
    bool hidden = false;
    QueryColumnKind kind = QueryColumnKind::Text;
};

// Where the header shows its sort mark after a sort.
struct SortMark {
    int column = -1;
    bool ascending = true;
};

// The rows and columns a result list shows, with its sort keys and hidden columns. The list
// windows are views over one of these; sorting, hiding and export work on it alone.
class QueryListData {
public:
    // Removes every row and column and forgets the sort.
    void clear();
    bool wasCleared() const { return m_cleared; }

    int addColumn(const std::string& title);
    void addNumericColumn(int column);
    // A column of dates shown in the given date format, or of times: they sort by date or time
    // whatever the text looks like.
    void setColumnKind(int column, QueryColumnKind kind, int dateFormatCode = 0);
    int columnCount() const { return static_cast<int>(m_columns.size()); }
    const QueryColumn& column(int index) const { return m_columns[static_cast<std::size_t>(index)]; }
    void setColumnHidden(int column, bool hidden);
    // Columns that are not hidden, in the order they were added.
    std::vector<int> visibleColumns() const;

    // A row's cells in column order; missing cells are empty, extra ones are dropped.
    void addRow(const std::vector<std::string>& cells);
    int rowCount() const { return static_cast<int>(m_order.size()); }
    // The cell of the row shown at position row, in the current order.
    std::string cell(int row, int column) const;
    // The text of the column with the most characters: the one a width that fits the contents
    // must fit.
    std::string longestCell(int column) const;
    // What the cells take in memory.
    std::size_t cellMemoryBytes() const;

    // A click on a column's header: a plain click sorts by that column alone, reversing its
    // last direction; with addAsFurtherKey (Ctrl) after the first sort, the column becomes the
    // most minor key and every key is sorted again. Returns where the sort mark goes.
    SortMark SortColumn(int column, bool addAsFurtherKey);
    const std::vector<int>& sortKeys() const { return m_sortKeys; }
    SortMark sortMark() const { return m_mark; }

    // Cell backgrounds, when a colouring is set.
    void setCellColouring(std::shared_ptr<const QueryCellColouring> colouring);
    CellShade cellShade(int row, int column) const;

private:
    friend class CSortClass;

    std::vector<QueryColumn> m_columns;
    std::vector<QueryColumnCells> m_cells; // one per column, in the order the rows arrived
    std::size_t m_storedRows = 0;
    std::vector<int> m_order; // stored row of each shown row
    std::vector<int> m_sortKeys;
    std::vector<bool> m_lastSortAscending;
    bool m_firstSortDone = false;
    bool m_cleared = false;
    SortMark m_mark;
    std::shared_ptr<const QueryCellColouring> m_colouring;
};
