#pragma once

#include "app/CChildWindow.h"
#include "custom/GraphState.h"

#include <QFont>
#include <QImage>
#include <functional>
#include <memory>
#include <thread>

class QCloseEvent;
class QContextMenuEvent;
class QPaintEvent;
class QPainter;

// The face a drawing's font is painted with: Courier New (or the nearest fixed-pitch face) with
// the drawing's character cell height and average width.
QFont graphFont(const GraphFont& wanted);
// The largest pixel size at which the face's character cell is no taller than height (1 when
// none is), measured on the machine's own fonts.
int fittedPixelSize(const QFont& face, int height);

// A line or bar graph window: paints the drawing list that core computes for its size, saves a
// capture of itself as a 32-bit bitmap (or PNG), prints, and on close waits for the report thread
// that fills it to reach its next check.
class CGraphWindow : public CChildWindow {
    Q_OBJECT
public:
    CGraphWindow(GraphState::Kind kind, QWidget* parent = nullptr);
    ~CGraphWindow() override;

    // Runs work on a thread of the window's own between reportStarted and reportFinished; the
    // window's close waits for it, its destruction joins it.
    void startReport(std::function<void(GraphState&)> work);

    // What a report thread holds; it outlives the window if the thread does.
    std::shared_ptr<GraphState> state() const { return m_state; }
    GraphSink& sink() { return *m_state; }

    ActiveWindowKind windowKind() const override { return ActiveWindowKind::Graph; }
    HelpContext helpContext() const override { return HelpContext::GraphWindow; }
    // Capture and Save: asks for a file and writes the window's image to it.
    bool save() override;
    void saveAs() override { save(); }
    void print(QPrinter& printer) override;
    void stopForExit() override;

    // The window as it is on the screen now; written to `path` as a bitmap or PNG.
    QImage capture();
    bool writeCapture(const std::string& path);

    // Paints the drawing for a width and height (the window, a capture, a printed page).
    static void paintItems(QPainter& painter, const std::vector<GraphItem>& items);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The main bar has no Print items: the window's own menu offers them with Capture and Save.
    void contextMenuEvent(QContextMenuEvent* event) override;

private slots:
    void stateChanged();

private:
    std::shared_ptr<GraphState> m_state;
    std::thread m_report;
};

// The line graph window ("LVR Line Graph "): one series with labels and markers, or the
// drill-down's ratings and trend.
class CCGraphExampleView : public CGraphWindow {
    Q_OBJECT
public:
    explicit CCGraphExampleView(QWidget* parent = nullptr) : CGraphWindow(GraphState::Kind::Line, parent) {}
    void SetRatingsAndTrend(const std::string& library, const std::string& title, std::vector<std::uint32_t> ratings,
                            std::vector<std::uint32_t> trend)
    {
        state()->SetRatingsAndTrend(library, title, std::move(ratings), std::move(trend));
    }
};

// The bar graph window ("LVR Bar Graph ").
class BarGraphView : public CGraphWindow {
    Q_OBJECT
public:
    explicit BarGraphView(QWidget* parent = nullptr) : CGraphWindow(GraphState::Kind::Bar, parent) {}
};
