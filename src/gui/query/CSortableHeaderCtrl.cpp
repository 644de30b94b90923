#include "CSortableHeaderCtrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

CSortableHeaderCtrl::CSortableHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setSectionsMovable(true);
    // Widths come from sizing and hiding only.
    setSectionResizeMode(QHeaderView::Fixed);
    setDefaultAlignment(Qt::AlignCenter);
    setHighlightSections(false);
    connect(this, &QHeaderView::sectionClicked, this,
            [this](int column) { emit sortRequested(column, m_clickModifiers.testFlag(Qt::ControlModifier)); });
}

void CSortableHeaderCtrl::setSortMark(SortMark mark)
{
    m_mark = mark;
    viewport()->update();
}

int CSortableHeaderCtrl::textWidth(int column) const
{
    const QString text = model() != nullptr ? model()->headerData(column, orientation()).toString() : QString();
    // The style's margins on both sides of a header's text.
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    return fontMetrics().horizontalAdvance(text) + 2 * margin + 8;
}

void CSortableHeaderCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    // The click signal carries no modifiers; the release that sends it does.
    m_clickModifiers = event->modifiers();
    QHeaderView::mouseReleaseEvent(event);
}

void CSortableHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (logicalIndex != m_mark.column || rect.width() < SortMarkWidth)
        return;
    const QRectF box(rect.right() - SortMarkWidth + 5, rect.center().y() - 3, 9, 6);
    QPainterPath arrow;
    if (m_mark.ascending) {
        arrow.moveTo(box.left(), box.bottom());
        arrow.lineTo(box.right(), box.bottom());
        arrow.lineTo(box.center().x(), box.top());
    } else {
        arrow.moveTo(box.left(), box.top());
        arrow.lineTo(box.right(), box.top());
        arrow.lineTo(box.center().x(), box.bottom());
    }
    arrow.closeSubpath();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillPath(arrow, palette().color(QPalette::ButtonText));
    painter->restore();
}
