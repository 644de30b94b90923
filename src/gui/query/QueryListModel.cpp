#include "QueryListModel.h"

#include <QColor>

namespace {
QColor colourOf(const RgbColour& colour)
{
    return QColor(colour.red, colour.green, colour.blue);
}
} // namespace

QueryListModel::QueryListModel(QObject* parent) : QAbstractTableModel(parent)
{
}

int QueryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_data.rowCount();
}

int QueryListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_data.columnCount();
}

QVariant QueryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const std::string text = m_data.cell(index.row(), index.column());
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::BackgroundRole:
        switch (m_data.cellShade(index.row(), index.column())) {
        case CellShade::Yellow:
            return colourOf(YellowColour);
        case CellShade::Red:
            return colourOf(RedColour);
        case CellShade::Default:
            return {};
        }
        return {};
    default:
        return {};
    }
}

QVariant QueryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_data.columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(m_data.column(section).title);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

void QueryListModel::clear()
{
    beginResetModel();
    m_data.clear();
    endResetModel();
}

void QueryListModel::addColumn(const std::string& title)
{
    const int column = m_data.columnCount();
    beginInsertColumns({}, column, column);
    m_data.addColumn(title);
    endInsertColumns();
}

void QueryListModel::addNumericColumn(int column)
{
    m_data.addNumericColumn(column);
}

void QueryListModel::setColumnKind(int column, QueryColumnKind kind, int dateFormatCode)
{
    m_data.setColumnKind(column, kind, dateFormatCode);
}

void QueryListModel::addRows(const std::vector<std::vector<std::string>>& rows)
{
    if (rows.empty())
        return;
    const int first = m_data.rowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    for (const auto& row : rows)
        m_data.addRow(row);
    endInsertRows();
}

SortMark QueryListModel::sortColumn(int column, bool addAsFurtherKey)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const SortMark mark = m_data.SortColumn(column, addAsFurtherKey);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return mark;
}
