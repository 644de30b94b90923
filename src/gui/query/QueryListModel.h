#pragma once

#include "query/QueryListData.h"

#include <QAbstractTableModel>

// The table model over a result list's data: every cell centred, coloured when the list has a
// colouring. Rows arrive in batches; sorting reorders the data and tells the views.
class QueryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit QueryListModel(QObject* parent = nullptr);

    QueryListData& listData() { return m_data; }
    const QueryListData& listData() const { return m_data; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void clear();
    void addColumn(const std::string& title);
    void addNumericColumn(int column);
    void setColumnKind(int column, QueryColumnKind kind, int dateFormatCode);
    void addRows(const std::vector<std::vector<std::string>>& rows);
    SortMark sortColumn(int column, bool addAsFurtherKey);

private:
    QueryListData m_data;
};
