#pragma once

#include "app/CChildWindow.h"
#include "reports/ReportKinds.h"
#include "reports/ReportRequest.h"

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDateForm;
class CQueryData;
class QSplitter;
class QTextEdit;
class ReportWorker;
class ReportWindowSink;

// A report window: the date form above, the report below (a fixed-pitch text view, or the
// result list of a list report such as Cartridge Retries and Perms). Generate Report checks the form and starts the
// report's worker; the worker's text arrives through the window's sink on the UI thread.
class CSplitterReport : public CChildWindow {
    Q_OBJECT
public:
    static constexpr int FormPaneHeight = 150;

    explicit CSplitterReport(ReportKind kind, QWidget* parent = nullptr);
    ~CSplitterReport() override;

    ActiveWindowKind windowKind() const override;
    bool save() override;
    void saveAs() override { save(); }
    void print(QPrinter& printer) override;
    void find() override;
    void findNext() override;
    void stopForExit() override;
    QSize sizeHint() const override;

    // Generate Report: checks the form, then starts the report's worker (a check's message instead).
    void GenerateReport();
    void CancelReport();

    ReportKind kind() const { return m_report.kind; }
    CDateForm* form() const { return m_form; }
    QTextEdit* textView() const { return m_text; }
    CQueryData* list() const { return m_list; }
    // The report's text as written, line ends included: what Save writes.
    const std::string& reportText() const { return m_reportText; }
    bool workerRunning() const;
    // The row marks of a list report, by row number - 1.
    const std::vector<int>& rowMarks() const { return m_rowMarks; }

    // Called on the UI thread by the sink.
    void appendReportText(const std::string& text);
    void reportEnded();
    // A health report ran to its end (or was cancelled): its field names become links.
    void healthReportEnded();
    void setRowMarks(std::vector<int> marks);

private:
    // Stops the worker and waits for it, letting it finish what it asked the UI thread for.
    void stopWorker();

    const ReportKindInfo& m_report;
    // The dates and database of the last run, for the health reports' drill-down.
    ReportRequest m_lastRun;
    QSplitter* m_splitter;
    CDateForm* m_form;
    QTextEdit* m_text = nullptr;
    CQueryData* m_list = nullptr;
    std::string m_reportText;
    std::vector<int> m_rowMarks;
    std::unique_ptr<ReportWorker> m_worker;
    std::shared_ptr<ReportWindowSink> m_sink;
    QString m_findText;
};
