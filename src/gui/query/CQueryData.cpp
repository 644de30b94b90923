#include "CQueryData.h"

#include "CSortableHeaderCtrl.h"
#include "QueryListModel.h"
#include "app/CQmxApp.h"
#include "app/UserPrompts.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

namespace {
constexpr int MinimumColumnWidth = 10;
// The view's padding on both sides of a cell's text.
constexpr int CellPadding = 14;
} // namespace

CQueryData::CQueryData(QWidget* parent)
    : QTableView(parent), m_model(new QueryListModel(this)), m_header(new CSortableHeaderCtrl(this))
{
    setHorizontalHeader(m_header);
    setModel(m_model);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Fixed row heights keep long lists quick: nothing is measured per row.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_header, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { showColumnMenu(m_header->mapToGlobal(position)); });
    connect(m_header, &CSortableHeaderCtrl::sortRequested, this, &CQueryData::SortColumn);
}

CQueryData::~CQueryData() = default;

const QueryListData& CQueryData::listData() const
{
    return m_model->listData();
}

void CQueryData::clear()
{
    m_model->clear();
    m_header->clearSortMark();
    m_updateDepth = 0;
    if (!m_closing)
        setUpdatesEnabled(true);
    emit rowCountChanged(0);
}

void CQueryData::beginUpdate()
{
    if (m_closing)
        return;
    if (m_updateDepth++ == 0)
        setUpdatesEnabled(false);
}

void CQueryData::endUpdate()
{
    if (m_closing || m_updateDepth == 0)
        return;
    if (--m_updateDepth == 0)
        setUpdatesEnabled(true);
}

void CQueryData::addColumn(const std::string& title)
{
    m_model->addColumn(title);
}

void CQueryData::addNumericColumn(int column)
{
    m_model->addNumericColumn(column);
}

void CQueryData::setColumnKind(int column, QueryColumnKind kind, int dateFormatCode)
{
    m_model->setColumnKind(column, kind, dateFormatCode);
}

void CQueryData::addRows(const std::vector<std::vector<std::string>>& rows)
{
    m_model->addRows(rows);
    emit rowCountChanged(m_model->rowCount());
}

void CQueryData::sizeColumns()
{
    const bool drawing = updatesEnabled();
    setUpdatesEnabled(false);
    const QueryListData& list = listData();
    const QFontMetrics metrics(font());
    for (int column = 0; column < list.columnCount(); ++column) {
        if (list.column(column).hidden) {
            setColumnHidden(column, true);
            continue;
        }
        setColumnHidden(column, false);
        const std::string longest = list.longestCell(column);
        const QString shown = QString::fromUtf8(longest.data(), static_cast<qsizetype>(longest.size()));
        int width = std::max(MinimumColumnWidth, metrics.horizontalAdvance(shown) + CellPadding);
        width = std::max(width, m_header->textWidth(column));
        if (m_header->markedColumn() == column)
            width += CSortableHeaderCtrl::SortMarkWidth;
        setColumnWidth(column, width);
    }
    setUpdatesEnabled(drawing);
}

void CQueryData::SortColumn(int column, bool addAsFurtherKey)
{
    if (m_sorting)
        return;
    m_sorting = true;
    {
        WaitCursor wait(theApp().prompts());
        m_header->setSortMark(m_model->sortColumn(column, addAsFurtherKey));
        sizeColumns();
    }
    m_sorting = false;
}

void CQueryData::toggleColumn(int column)
{
    // The row numbers stay: they are what a row is found again by.
    if (column <= 0 || column >= listData().columnCount())
        return;
    m_model->listData().setColumnHidden(column, !listData().column(column).hidden);
    sizeColumns();
}

std::unique_ptr<QMenu> CQueryData::columnMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    const QueryListData& list = listData();
    for (int column = 0; column < list.columnCount(); ++column) {
        QAction* item = menu->addAction(QString::fromStdString(list.column(column).title));
        item->setCheckable(true);
        item->setChecked(!list.column(column).hidden);
        item->setEnabled(column != 0);
        connect(item, &QAction::triggered, this, [this, column] { toggleColumn(column); });
    }
    return menu;
}

void CQueryData::setCellColouring(std::shared_ptr<const QueryCellColouring> colouring)
{
    m_model->listData().setCellColouring(std::move(colouring));
    viewport()->update();
}

void CQueryData::contextMenuEvent(QContextMenuEvent* event)
{
    showColumnMenu(event->globalPos());
}

void CQueryData::showColumnMenu(const QPoint& globalPosition)
{
    if (listData().columnCount() == 0)
        return;
    columnMenu()->exec(globalPosition);
}
