#include "HealthReportLinks.h"

#include "app/CMainFrame.h"
#include "custom/CGraphWindow.h"
#include "custom/GraphWindows.h"
#include "reports/HealthLinks.h"
#include "reports/HealthReport.h"

#include <QMouseEvent>
#include <QTextCursor>
#include <QTextEdit>

namespace {
// One byte per character of the view's text, so that positions agree with the document's.
std::string viewText(const QTextEdit* view)
{
    return view->toPlainText().toLatin1().toStdString();
}

class LinkClickFilter : public QObject {
public:
    LinkClickFilter(QTextEdit* view, HealthReportKind kind, std::function<ReportRequest()> lastRun)
        : QObject(view), m_view(view), m_kind(kind), m_lastRun(std::move(lastRun))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* frame = qobject_cast<CMainFrame*>(m_view->window());
        if (event->type() != QEvent::MouseButtonPress || frame == nullptr)
            return QObject::eventFilter(watched, event);
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() != Qt::LeftButton || m_view->anchorAt(press->position().toPoint()).isEmpty())
            return QObject::eventFilter(watched, event);
        const int position = m_view->cursorForPosition(press->position().toPoint()).position();
        return openDrillDown(m_view, position, m_kind, *frame, m_lastRun());
    }

private:
    QTextEdit* m_view;
    HealthReportKind m_kind;
    std::function<ReportRequest()> m_lastRun;
};
} // namespace

void MarkFieldLinks(QTextEdit* view, HealthReportKind kind)
{
    const std::string text = viewText(view);
    QTextCharFormat link;
    link.setAnchor(true);
    link.setForeground(QColor(0, 0, 255));
    link.setFontUnderline(true);
    // All the marks are one edit of the document: it is laid out again once, at the end of the
    // block, not once per field name (a year's cartridge health text holds tens of thousands).
    view->setUpdatesEnabled(false);
    QTextCursor cursor(view->document());
    cursor.beginEditBlock();
    for (const TextRange& range : fieldLinkRanges(text, healthFieldNames(kind))) {
        cursor.setPosition(static_cast<int>(range.start));
        cursor.setPosition(static_cast<int>(range.start + range.length), QTextCursor::KeepAnchor);
        link.setAnchorHref(QString::fromLatin1(text.substr(range.start, range.length)));
        cursor.mergeCharFormat(link);
    }
    cursor.endEditBlock();
    view->moveCursor(QTextCursor::End);
    view->setUpdatesEnabled(true);
    view->viewport()->update();
}

void installHealthReportLinks(QTextEdit* view, HealthReportKind kind, std::function<ReportRequest()> lastRun)
{
    view->viewport()->installEventFilter(new LinkClickFilter(view, kind, std::move(lastRun)));
}

bool openDrillDown(QTextEdit* view, int position, HealthReportKind kind, CMainFrame& frame,
                   const ReportRequest& lastRun)
{
    const std::string text = viewText(view);
    if (position < 0)
        return false;
    const auto field = fieldAt(text, static_cast<std::size_t>(position), healthFieldNames(kind));
    const auto subject = contextAbove(text, static_cast<std::size_t>(position));
    if (!field || !subject)
        return false;
    auto* graph = static_cast<CCGraphExampleView*>(frame.openTemplate(LineGraphTemplate));
    if (graph == nullptr)
        return false;
    DrillDownRequest request{kind, *subject, *field, lastRun};
    request.run.sink = nullptr;
    request.run.flags = nullptr;
    graph->startReport([request](GraphState& state) {
        if (state.closeRequested())
            return;
        if (auto series = runDrillDown(request))
            state.SetRatingsAndTrend(drillDownLibraryText(request), drillDownTitle(request), std::move(series->ratings),
                                     std::move(series->trend));
    });
    return true;
}
