#include "CGraphWindow.h"

#include "app/CMainFrame.h"
#include "app/CQmxApp.h"
#include "app/UserPrompts.h"
#include "custom/BmpFile.h"
#include "custom/GraphCapture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QThread>
#include <QCoreApplication>

namespace {
QColor colourOf(const GraphColour& colour)
{
    return QColor(colour.red, colour.green, colour.blue);
}

QPen penOf(const GraphPen& wanted)
{
    QPen pen(colourOf(wanted.colour));
    pen.setWidth(wanted.width);
    pen.setStyle(wanted.dashed ? Qt::DashLine : Qt::SolidLine);
    if (wanted.bevelJoins)
        pen.setJoinStyle(Qt::BevelJoin);
    return pen;
}
} // namespace

int fittedPixelSize(const QFont& face, int height)
{
    if (height <= 0)
        return 1;
    // A face's cell grows with its pixel size but not in proportion (rounding, hinting, the
    // face's own leading), so the size is searched, not scaled: the largest pixel size whose
    // cell is no taller than asked, found by halving the interval, a handful of measurements.
    // Each face and height is measured once.
    static QHash<QString, int> fitted;
    const QString key = face.key() + QLatin1Char('@') + QString::number(height);
    if (const auto known = fitted.constFind(key); known != fitted.constEnd())
        return *known;
    const auto cellAt = [&face](int pixels) {
        QFont sized(face);
        sized.setPixelSize(pixels);
        return QFontMetrics(sized).height();
    };
    int size = height;
    if (cellAt(height) > height) {
        int fits = 1; // the largest size known to fit (a 1-pixel face is taken when none does)
        int tooTall = height;
        while (tooTall - fits > 1) {
            const int middle = fits + (tooTall - fits) / 2;
            if (cellAt(middle) <= height)
                fits = middle;
            else
                tooTall = middle;
        }
        size = fits;
    }
    fitted.insert(key, size);
    return size;
}

QFont graphFont(const GraphFont& wanted)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setWeight(static_cast<QFont::Weight>(wanted.weight <= 200 ? QFont::ExtraLight : QFont::Normal));
    // The drawing's height is the character cell's, ascent and descent together, as the graphs
    // were laid out: the face is sized so that its cell is no taller, so that the two rows of
    // point labels under the plot neither overlap nor run off the window.
    font.setPixelSize(fittedPixelSize(font, wanted.height));
    // The drawing asks for an average character width as well: stretch the face to it.
    if (wanted.height > 0 && wanted.width > 0) {
        const int natural = QFontMetrics(font).averageCharWidth();
        if (natural > 0)
            font.setStretch(std::clamp(100 * wanted.width / natural, 1, 4000));
    }
    return font;
}

CGraphWindow::CGraphWindow(GraphState::Kind kind, QWidget* parent)
    : CChildWindow(parent), m_state(std::make_shared<GraphState>(kind))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setMinimumSize(200, 150);
    // The state calls back from the report thread: the call is posted to the UI thread and
    // dropped there if the window has gone meanwhile.
    QPointer<CGraphWindow> self(this);
    m_state->setChangedCallback([self] {
        QMetaObject::invokeMethod(
            qApp,
            [self] {
                if (self)
                    self->stateChanged();
            },
            Qt::QueuedConnection);
    });
}

CGraphWindow::~CGraphWindow()
{
    m_state->setChangedCallback(nullptr);
    m_state->requestClose();
    if (m_report.joinable())
        m_report.join();
}

void CGraphWindow::startReport(std::function<void(GraphState&)> work)
{
    if (m_report.joinable())
        m_report.join();
    m_state->reportStarted();
    m_report = std::thread([state = m_state, work = std::move(work)] {
        work(*state);
        state->reportFinished();
    });
}

void CGraphWindow::stateChanged()
{
    // A close that waited for the report thread goes on once the thread has ended.
    if (m_state->flags().closeRequested && m_state->flags().finished) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
            frame->close();
        else
            close();
        return;
    }
    update();
}

void CGraphWindow::paintItems(QPainter& painter, const std::vector<GraphItem>& items)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const GraphItem& item : items) {
        switch (item.kind) {
        case GraphItem::Kind::Line:
            painter.setPen(penOf(item.pen));
            painter.drawLine(QPointF(item.x1, item.y1), QPointF(item.x2, item.y2));
            break;
        case GraphItem::Kind::FilledRect:
            painter.setPen(penOf(item.pen));
            painter.setBrush(colourOf(item.brush));
            painter.drawRect(QRectF(QPointF(item.x1, item.y1), QPointF(item.x2, item.y2)));
            painter.setBrush(Qt::NoBrush);
            break;
        case GraphItem::Kind::Text: {
            const QFont font = graphFont(item.font);
            painter.setFont(font);
            painter.setPen(Qt::black);
            const QFontMetricsF metrics(font, painter.device());
            const QString text = QString::fromLocal8Bit(item.text.c_str());
            const double width = metrics.horizontalAdvance(text);
            double left = item.x1;
            if (item.align == GraphTextAlign::Right)
                left -= width;
            else if (item.align == GraphTextAlign::Centre)
                left -= width / 2;
            painter.drawText(QPointF(left, item.y1 + metrics.ascent()), text);
            break;
        }
        }
    }
}

void CGraphWindow::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    paintItems(painter, m_state->items(width(), height()));
}

void CGraphWindow::closeEvent(QCloseEvent* event)
{
    // While a report thread works for the window, the close waits for it: the thread sees the
    // request at its next check and ends, and the window closes when it hears of that.
    if (!m_state->requestClose()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CGraphWindow::contextMenuEvent(QContextMenuEvent* event)
{
    auto* frame = qobject_cast<CMainFrame*>(window());
    if (frame == nullptr)
        return;
    QMenu menu(this);
    for (CommandId id : {CommandId::Save, CommandId::Print, CommandId::PrintPreview})
        menu.addAction(frame->action(id));
    menu.exec(event->globalPos());
}

void CGraphWindow::stopForExit()
{
    // The report thread stops at its next check. A message it shows before then is answered
    // here, on the UI thread, so that the join in the destructor never waits for a thread that
    // waits for the UI thread.
    while (!m_state->requestClose()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 25);
        QThread::msleep(25);
    }
    if (m_report.joinable())
        m_report.join();
}

QImage CGraphWindow::capture()
{
    repaint();
    return grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool CGraphWindow::writeCapture(const std::string& path)
{
    const QImage image = capture();
    if (captureFormatFor(path) == CaptureFormat::Png)
        return image.save(QString::fromLocal8Bit(path.c_str()), "PNG");
    return writeBmpFile(path, static_cast<std::uint32_t>(image.width()), static_cast<std::uint32_t>(image.height()),
                        image.constBits(), static_cast<std::size_t>(image.bytesPerLine()));
}

bool CGraphWindow::save()
{
    const auto chosen =
        theApp().prompts().askSaveFileName(graph_capture_texts::DialogTitle, graph_capture_texts::Filter, "");
    if (!chosen)
        return false;
    // A file that cannot be written is skipped without a message, as it always was.
    return writeCapture(captureFileName(*chosen));
}

void CGraphWindow::print(QPrinter& printer)
{
    QPainter painter(&printer);
    if (!painter.isActive())
        return;
    // The graph is laid out for the window's size and scaled to fit the page.
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double scale = std::min(page.width() / width(), page.height() / height());
    painter.scale(scale, scale);
    paintItems(painter, m_state->items(width(), height()));
}
