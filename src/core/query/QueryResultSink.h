#pragma once

#include "QueryColumnCells.h"

#include <string>
#include <vector>

class QueryListData;

// Where the query worker puts what it reads. The window's sink hands everything to the UI
// thread; the worker itself never touches a widget.
class QueryResultSink {
public:
    virtual ~QueryResultSink() = default;
    // Drawing is locked between begin and end; the worker keeps them balanced on every path.
    virtual void beginUpdate() = 0;
    virtual void endUpdate() = 0;
    virtual void addColumn(const std::string& title) = 0;
    virtual void addNumericColumn(int column) = 0;
    // A date column (shown in the given date format) or a time column.
    virtual void setColumnKind(int column, QueryColumnKind kind, int dateFormatCode) = 0;
    // Rows in the order they were fetched, each with its cells in column order.
    virtual void addRows(std::vector<std::vector<std::string>> rows) = 0;
    virtual void sizeColumns() = 0;
    // The run is over: the form shows Query again.
    virtual void restoreButtons() = 0;
};

// Fills a list directly, on the worker's own thread: for headless runs and tests.
class QueryListSink : public QueryResultSink {
public:
    explicit QueryListSink(QueryListData& list) : m_list(list) {}
    void beginUpdate() override { ++m_depth; }
    void endUpdate() override { --m_depth; }
    void addColumn(const std::string& title) override;
    void addNumericColumn(int column) override;
    void setColumnKind(int column, QueryColumnKind kind, int dateFormatCode) override;
    void addRows(std::vector<std::vector<std::string>> rows) override;
    void sizeColumns() override {}
    void restoreButtons() override { ++m_restores; }

    int updateDepth() const { return m_depth; }
    int buttonRestores() const { return m_restores; }

private:
    QueryListData& m_list;
    int m_depth = 0;
    int m_restores = 0;
};
