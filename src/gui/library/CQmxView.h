#pragma once

#include "CQmxDoc.h"
#include "app/CChildWindow.h"
#include "library/MonitorEngine.h"

#include <QString>
#include <memory>

class MonitorWindowSink;
class QTextEdit;

// A monitor window: the running log of one library's monitor in a read-only text view.
// Closing it asks first, stops the monitor and waits for its cycle; nothing is written into
// the window after that.
class CQmxView : public CChildWindow {
    Q_OBJECT
public:
    CQmxView(const std::string& address, MonitorOptions options, QWidget* parent = nullptr);
    ~CQmxView() override;

    // Starts the check and counts the monitor as active.
    void startMonitoring();
    // The window writer: one line with "\r\n", the oldest half dropped when full.
    void writeLine(const std::string& text);

    ActiveWindowKind windowKind() const override { return ActiveWindowKind::Monitor; }
    HelpContext helpContext() const override { return HelpContext::MonitorWindow; }
    bool save() override;
    bool confirmClose() override;
    void stopForExit() override;
    void saveAs() override { save(); }
    void print(QPrinter& printer) override;
    void find() override;
    void findNext() override;

    const CQmxDoc& document() const { return m_document; }
    QTextEdit* textView() const { return m_view; }
    const MonitorEngine& engine() const { return *m_engine; }
    // Wide enough for the widest line of a normal run, margins and scroll bar included.
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Stops the monitor and waits, pumping events, until its workers are out.
    void stopAndWait(int pollMilliseconds);

    CQmxDoc m_document;
    QTextEdit* m_view;
    std::unique_ptr<MonitorWindowSink> m_sink;
    std::unique_ptr<MonitorEngine> m_engine;
    bool m_stopped = false;
    QString m_findText;
};
