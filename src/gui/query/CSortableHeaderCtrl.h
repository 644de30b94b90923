#pragma once

#include "query/QueryListData.h"

#include <QHeaderView>

// The result list's header: shows the sort mark (an up arrow on a column sorted ascending, a
// down arrow on one sorted descending) on the last column sorted, tells a plain click from a
// Ctrl click, and refuses dragging of column dividers.
class CSortableHeaderCtrl : public QHeaderView {
    Q_OBJECT
public:
    // The room the sort mark takes beside a header's text.
    static constexpr int SortMarkWidth = 21;

    explicit CSortableHeaderCtrl(QWidget* parent = nullptr);

    void setSortMark(SortMark mark);
    void clearSortMark() { setSortMark({}); }
    int markedColumn() const { return m_mark.column; }
    // The width that fits a header's text.
    int textWidth(int column) const;

signals:
    // A left click on a header, with or without Ctrl held.
    void sortRequested(int column, bool addAsFurtherKey);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    SortMark m_mark;
    Qt::KeyboardModifiers m_clickModifiers;
};
