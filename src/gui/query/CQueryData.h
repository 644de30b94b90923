#pragma once

#include "query/QueryListData.h"

#include <QTableView>
#include <memory>

class CSortableHeaderCtrl;
class QMenu;
class QueryListModel;

// The sortable result list shared by the general query window, the threshold report and the
// custom report table: grid lines, whole-row selection, columns that can be dragged into another
// order, sorted by header clicks and hidden from the right-click menu.
class CQueryData : public QTableView {
    Q_OBJECT
public:
    explicit CQueryData(QWidget* parent = nullptr);
    ~CQueryData() override;

    QueryListModel& listModel() const { return *m_model; }
    const QueryListData& listData() const;
    CSortableHeaderCtrl* sortableHeader() const { return m_header; }

    // What a worker's sink does to the list, on the UI thread.
    void clear();
    void beginUpdate();
    void endUpdate();
    void addColumn(const std::string& title);
    void addNumericColumn(int column);
    void setColumnKind(int column, QueryColumnKind kind, int dateFormatCode);
    void addRows(const std::vector<std::vector<std::string>>& rows);
    // Each column as wide as the larger of its longest text (by characters) and its header
    // text (at least 10 pixels), plus room for the sort mark; hidden columns get no width.
    void sizeColumns();

    // A header click: sorts, marks the header and sizes the columns again.
    void SortColumn(int column, bool addAsFurtherKey);
    // Hides a shown column or shows a hidden one; the row number column always stays.
    void toggleColumn(int column);
    // The right-click menu: every column by its header text, checked when shown.
    std::unique_ptr<QMenu> columnMenu();

    void setCellColouring(std::shared_ptr<const QueryCellColouring> colouring);

    // Once the window is closing, a worker's updates no longer reach the list.
    void setClosing() { m_closing = true; }
    bool isClosing() const { return m_closing; }

signals:
    // Rows were added or the list was cleared.
    void rowCountChanged(int rows);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void showColumnMenu(const QPoint& globalPosition);

    QueryListModel* m_model;
    CSortableHeaderCtrl* m_header;
    int m_updateDepth = 0;
    bool m_sorting = false;
    bool m_closing = false;
};
