#include "CQmxView.h"

#include "MonitorWindowSink.h"
#include "app/CQmxApp.h"
#include "app/UserPrompts.h"
#include "library/MonitorFormat.h"
#include "library/MonitorTexts.h"
#include "library/MonitorWindowText.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QtMath>
#include <QCoreApplication>
#include <QTextCursor>
#include <QInputDialog>
#include <QLineEdit>
#include <QPrinter>
#include <QScrollBar>
#include <QTextEdit>
#include <QThread>
#include <QVBoxLayout>

namespace {
// The window shows line ends, not the carriage returns the saved log keeps.
QString shown(const std::string& text)
{
    QString line = QString::fromLatin1(text.data(), static_cast<int>(text.size()));
    line.remove(QLatin1Char('\r'));
    return line;
}
} // namespace

CQmxView::CQmxView(const std::string& address, MonitorOptions options, QWidget* parent)
    : CChildWindow(parent), m_document(address), m_view(new QTextEdit(this)),
      m_sink(std::make_unique<MonitorWindowSink>(this))
{
    setWindowTitle(QString::fromStdString(address));
    m_view->setObjectName(QStringLiteral("MonitorLog"));
    m_view->setReadOnly(true);
    m_view->setLineWrapMode(QTextEdit::NoWrap);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(16);
    m_view->setFont(font);
    // Half an inch on every side.
    m_view->document()->setDocumentMargin(48);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_engine = std::make_unique<MonitorEngine>(address, *m_sink, std::move(options));
}

CQmxView::~CQmxView()
{
    m_sink->detach();
    m_engine->stop();
}

void CQmxView::startMonitoring()
{
    m_engine->start();
}

void CQmxView::writeLine(const std::string& text)
{
    if (m_engine->stopRequested())
        return;
    if (m_document.text().append(text)) {
        m_view->setPlainText(shown(m_document.text().text()));
    } else {
        QTextCursor cursor(m_view->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(shown(text + "\r\n"));
    }
    // The newest lines stay in view, from the start of the line.
    m_view->moveCursor(QTextCursor::End);
    m_view->verticalScrollBar()->setValue(m_view->verticalScrollBar()->maximum());
    m_view->horizontalScrollBar()->setValue(0);
    m_document.setModified(true);
}

QSize CQmxView::sizeHint() const
{
    const QString widest = QString::fromStdString(widestMonitorLine(m_document.title()));
    const int text = QFontMetrics(m_view->font()).horizontalAdvance(widest);
    const int margins = 2 * qCeil(m_view->document()->documentMargin());
    // The frame on both sides, the vertical scroll bar and the caret after the last character.
    const int chrome = 2 * m_view->frameWidth() + m_view->verticalScrollBar()->sizeHint().width() + 4;
    return {text + margins + chrome, 480};
}

bool CQmxView::save()
{
    UserPrompts& prompts = theApp().prompts();
    const auto path =
        prompts.askSaveFileName(formatMonitorText(monitor_texts::SaveTitle, m_document.title().c_str()),
                                dialogFilterList(monitor_texts::SaveFilter), monitor_texts::SaveDefaultName);
    if (!path)
        return false;
    if (!m_document.saveTo(*path))
        return false;
    m_document.setModified(false);
    return true;
}

void CQmxView::print(QPrinter& printer)
{
    m_view->print(&printer);
}

void CQmxView::find()
{
    bool ok = false;
    const QString text = QInputDialog::getText(this, tr("Find"), tr("Find what:"), QLineEdit::Normal, m_findText, &ok);
    if (!ok || text.isEmpty())
        return;
    m_findText = text;
    m_view->moveCursor(QTextCursor::Start);
    findNext();
}

void CQmxView::findNext()
{
    if (m_findText.isEmpty()) {
        find();
        return;
    }
    // From the caret onwards, then once more from the top.
    if (!m_view->find(m_findText)) {
        m_view->moveCursor(QTextCursor::Start);
        m_view->find(m_findText);
    }
}

bool CQmxView::confirmClose()
{
    if (m_stopped)
        return true;
    if (!theApp().prompts().askYesNo(formatMonitorText(monitor_texts::StopQuestion, m_document.title().c_str()),
                                     MessageIcon::Exclamation))
        return false;
    WaitCursor wait(theApp().prompts());
    stopAndWait(150);
    return true;
}

void CQmxView::stopForExit()
{
    if (m_stopped)
        return;
    stopAndWait(25);
}

void CQmxView::stopAndWait(int pollMilliseconds)
{
    m_stopped = true;
    m_sink->detach();
    m_engine->requestStop();
    // Workers may still ask the UI thread for a cursor or a message while they finish.
    while (m_engine->busy() > 0) {
        m_engine->cancelRunningStatements();
        QCoreApplication::processEvents(QEventLoop::AllEvents, pollMilliseconds);
        QThread::msleep(static_cast<unsigned long>(pollMilliseconds));
    }
    m_engine->join();
}

void CQmxView::closeEvent(QCloseEvent* event)
{
    if (confirmClose())
        event->accept();
    else
        event->ignore();
}
