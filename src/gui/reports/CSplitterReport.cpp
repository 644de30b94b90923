#include "CSplitterReport.h"

#include "CDateForm.h"
#include "ReportWindowSink.h"
#include "app/CQmxApp.h"
#include "app/SystemError.h"
#include "app/UserPrompts.h"
#include "query/CQueryData.h"
#include "reports/HealthReportLinks.h"
#include "reports/LifetimeThresholds.h"
#include "reports/ReportRunner.h"
#include "reports/ReportTexts.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QPrinter>
#include <QSplitter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
// The window shows line ends, not the carriage returns the saved report keeps.
QString shown(const std::string& text)
{
    QString line = QString::fromStdString(text);
    line.remove(QLatin1Char('\r'));
    return line;
}

// A list report's first cell: an image for a row at warning level, another for
// one at error level (both when both). Rows are found by their number, which sorting keeps.
class RowMarkDelegate final : public QStyledItemDelegate {
public:
    RowMarkDelegate(const CSplitterReport& window, QObject* parent) : QStyledItemDelegate(parent), m_window(window) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.column() != 0)
            return;
        const int row = index.data().toString().toInt() - 1;
        const std::vector<int>& marks = m_window.rowMarks();
        if (row < 0 || row >= static_cast<int>(marks.size()) || marks[static_cast<std::size_t>(row)] == 0)
            return;
        const int mark = marks[static_cast<std::size_t>(row)];
        const int size = option.rect.height() - 4;
        QRect place(option.rect.left() + 2, option.rect.top() + 2, size, size);
        QStyle* style = QApplication::style();
        if ((mark & 1) != 0) {
            style->standardIcon(QStyle::SP_MessageBoxWarning).paint(painter, place);
            place.translate(size + 2, 0);
        }
        if ((mark & 2) != 0)
            style->standardIcon(QStyle::SP_MessageBoxCritical).paint(painter, place);
    }

private:
    const CSplitterReport& m_window;
};
} // namespace

CSplitterReport::CSplitterReport(ReportKind kind, QWidget* parent)
    : CChildWindow(parent), m_report(reportKindInfo(kind)), m_splitter(new QSplitter(Qt::Vertical, this)),
      m_form(new CDateForm), m_worker(std::make_unique<ReportWorker>())
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_splitter->addWidget(m_form);
    if (m_report.shape == ReportShape::List) {
        m_list = new CQueryData;
        m_list->setCellColouring(std::make_shared<LifetimeCellColouring>());
        m_list->setItemDelegateForColumn(0, new RowMarkDelegate(*this, m_list));
        m_splitter->addWidget(m_list);
    } else {
        m_text = new QTextEdit;
        m_text->setObjectName(QStringLiteral("ReportView"));
        m_text->setReadOnly(true);
        // A report is never edited: its text and link marks keep no undo history.
        m_text->setUndoRedoEnabled(false);
        m_text->setLineWrapMode(QTextEdit::NoWrap);
        QFont font(QStringLiteral("Courier New"));
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
        font.setPixelSize(16);
        m_text->setFont(font);
        // Half an inch on every side when printed.
        m_text->document()->setDocumentMargin(48);
        m_splitter->addWidget(m_text);
        if (m_report.fieldLinks)
            installHealthReportLinks(m_text, *m_report.fieldLinks, [this] { return m_lastRun; });
    }
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({FormPaneHeight, 460});
    layout->addWidget(m_splitter);

    connect(m_form, &CDateForm::generateRequested, this, &CSplitterReport::GenerateReport);
    connect(m_form, &CDateForm::cancelRequested, this, &CSplitterReport::CancelReport);
}

CSplitterReport::~CSplitterReport()
{
    stopWorker();
}

ActiveWindowKind CSplitterReport::windowKind() const
{
    return m_report.menus;
}

QSize CSplitterReport::sizeHint() const
{
    return {980, FormPaneHeight + 560};
}

bool CSplitterReport::workerRunning() const
{
    return m_worker->running();
}

void CSplitterReport::stopWorker()
{
    // The closing flag first: nothing more reaches the view, and the worker leaves at its next
    // poll, at the latest when its current statement returns. Report workers never wait for
    // this thread (their failures go to the debug log), so waiting here cannot deadlock.
    if (m_sink)
        m_sink->detach();
    m_worker->close();
    m_worker->join();
}

void CSplitterReport::stopForExit()
{
    stopWorker();
}

void CSplitterReport::GenerateReport()
{
    m_form->setRunning(true);
    const std::vector<std::string> addresses = m_form->checkedAddresses();
    const std::string begin = m_form->beginDate();
    const std::string end = m_form->endDate();
    if (const auto message = checkReportForm(static_cast<int>(addresses.size()), begin, end, todaySqlDate())) {
        m_form->cancelButton()->setEnabled(false);
        theApp().prompts().showMessage(*message, MessageIcon::Stop);
        m_form->setRunning(false);
        return;
    }
    // A cancelled run may still be finishing: it ends before this one starts, and whatever it
    // still had on its way to the window is dropped.
    stopWorker();
    m_sink = std::make_shared<ReportWindowSink>(this);
    m_reportText.clear();
    m_rowMarks.clear();
    ReportRequest request = ReportRequest::fromSettings(begin, end, addresses);
    request.sink = m_sink.get();
    std::shared_ptr<ReportWindowSink> sink = m_sink;
    ReportOutput output;
    if (m_list != nullptr) {
        m_list->clear();
        output.list = sink.get();
        output.marks = [sink](std::vector<int> marks) { sink->setRowMarks(std::move(marks)); };
    }
    if (m_report.fieldLinks) {
        m_lastRun = request;
        m_lastRun.sink = nullptr;
        m_lastRun.flags = nullptr;
    }
    // A health run that ends without a database error (cancelled too) marks its field names.
    const bool links = m_report.fieldLinks.has_value();
    if (m_text != nullptr)
        m_text->clear();
    // The sink lives as long as the run, whatever happens to the window.
    m_worker->start(std::move(request), [sink, output, links, worker = m_report.worker](const ReportRequest& run) {
        const int result = worker(run, output);
        if (links && result == 1 && !run.closing())
            sink->linksReady();
        return result;
    });
    if (m_text != nullptr)
        m_text->setFocus();
    else
        m_list->setFocus();
}

void CSplitterReport::CancelReport()
{
    m_worker->cancel();
    m_form->cancelButton()->setEnabled(false);
    m_form->setRunning(false);
}

void CSplitterReport::appendReportText(const std::string& text)
{
    if (m_text == nullptr)
        return;
    m_reportText += text;
    QTextCursor cursor(m_text->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(shown(text));
    m_text->document()->setModified(true);
}

void CSplitterReport::reportEnded()
{
    m_form->setRunning(false);
}

void CSplitterReport::healthReportEnded()
{
    if (m_text != nullptr && m_report.fieldLinks)
        MarkFieldLinks(m_text, *m_report.fieldLinks);
}

void CSplitterReport::setRowMarks(std::vector<int> marks)
{
    m_rowMarks = std::move(marks);
    if (m_list != nullptr)
        m_list->viewport()->update();
}

bool CSplitterReport::save()
{
    if (m_text == nullptr)
        return false;
    UserPrompts& prompts = theApp().prompts();
    const auto path = prompts.askSaveFileName(report_texts::SaveReportTitle, report_texts::SaveReportFilter,
                                              windowTitle().trimmed().toStdString() + ".txt");
    if (!path)
        return false;
    if (const int error = saveReportDocument(*path, m_reportText); error != 0) {
        prompts.showMessage(report_texts::SaveReportFailed + FormatSystemError(error), MessageIcon::Exclamation);
        return false;
    }
    m_text->document()->setModified(false);
    return true;
}

void CSplitterReport::print(QPrinter& printer)
{
    if (m_text != nullptr)
        m_text->print(&printer);
    else
        m_list->render(&printer);
}

void CSplitterReport::find()
{
    if (m_text == nullptr)
        return;
    bool ok = false;
    const QString text = QInputDialog::getText(this, tr("Find"), tr("Find what:"), QLineEdit::Normal, m_findText, &ok);
    if (!ok || text.isEmpty())
        return;
    m_findText = text;
    m_text->moveCursor(QTextCursor::Start);
    findNext();
}

void CSplitterReport::findNext()
{
    if (m_text == nullptr)
        return;
    if (m_findText.isEmpty()) {
        find();
        return;
    }
    // From the caret onwards, then once more from the top.
    if (!m_text->find(m_findText)) {
        m_text->moveCursor(QTextCursor::Start);
        m_text->find(m_findText);
    }
}
