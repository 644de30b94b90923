#pragma once

#include "QueryCellColouring.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct QueryColumn {
    std::string title;
    bool numeric = false;
    bool hidden = false;
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
    int columnCount() const { return static_cast<int>(m_columns.size()); }
    const QueryColumn& column(int index) const { return m_columns[static_cast<std::size_t>(index)]; }
    void setColumnHidden(int column, bool hidden);
    // Columns that are not hidden, in the order they were added.
    std::vector<int> visibleColumns() const;

    // A row's cells in column order; missing cells are empty, extra ones are dropped.
    void addRow(const std::vector<std::string>& cells);
    int rowCount() const { return static_cast<int>(m_order.size()); }
    // The cell of the row shown at position row, in the current order.
    std::string_view cell(int row, int column) const;
    // The longest texts of a column: the ones a width that fits the contents must fit.
    std::vector<std::string_view> widestCellCandidates(int column, std::size_t limit) const;

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
    std::string_view storedCell(int storedRow, int column) const;

    struct StoredRow {
        std::string text;                // the cells one after another
        std::vector<std::uint32_t> ends; // where each cell ends in text
    };

    std::vector<QueryColumn> m_columns;
    std::vector<StoredRow> m_rows;
    std::vector<int> m_order; // stored row of each shown row
    std::vector<int> m_sortKeys;
    std::vector<bool> m_lastSortAscending;
    bool m_firstSortDone = false;
    bool m_cleared = false;
    SortMark m_mark;
    std::shared_ptr<const QueryCellColouring> m_colouring;
};
