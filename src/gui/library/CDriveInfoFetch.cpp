#include "CDriveInfoFetch.h"

#include "CDriveStatus.h"
#include "app/CMainFrame.h"
#include "app/HelpShortcut.h"
#include "library/MonitorFormat.h"
#include "library/MonitorTexts.h"

#include <QMdiSubWindow>
#include <QProgressDialog>

CDriveInfoFetch::CDriveInfoFetch(CMainFrame& frame, std::string address, DownloadLimits limits)
    : QObject(&frame), m_frame(frame), m_address(std::move(address)), m_limits(limits)
{
}

CDriveInfoFetch::~CDriveInfoFetch()
{
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
    // Gone with the main window otherwise; the cursor belongs to a window that is going too.
    delete m_progress;
}

void CDriveInfoFetch::start()
{
    m_frame.setCursor(Qt::WaitCursor);
    m_cursorSet = true;
    m_progress = new QProgressDialog(
        QString::fromStdString(formatMonitorText(monitor_texts::GettingDriveStatus, m_address.c_str())),
        QStringLiteral("Cancel"), 0, 0, &m_frame);
    m_progress->setObjectName(QStringLiteral("DriveInfoProgress"));
    m_progress->setWindowTitle(QString::fromLatin1(monitor_texts::AddressDialogTitle));
    m_progress->setMinimumDuration(0);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    addHelpShortcut(m_progress, [] { return HelpContext::MonitorStartDialog; });
    connect(m_progress, &QProgressDialog::canceled, this, &CDriveInfoFetch::cancel);
    m_progress->show();

    m_worker = std::thread([this] {
        DriveStatusFetch fetch = downloadDriveStatus(m_address, &m_cancel, m_limits);
        // Dropped by Qt when this object is gone by the time the call would run.
        QMetaObject::invokeMethod(
            this, [this, fetch = std::move(fetch)] { arrived(fetch); }, Qt::QueuedConnection);
    });
}

void CDriveInfoFetch::cancel()
{
    // The thread sees the flag within a second; its result is then dropped.
    m_cancel = true;
    restoreCursor();
    if (m_progress)
        m_progress->hide();
}

void CDriveInfoFetch::arrived(const DriveStatusFetch& fetch)
{
    if (m_worker.joinable())
        m_worker.join();
    restoreCursor();
    if (m_progress)
        m_progress->hide();
    QWidget* opened = nullptr;
    if (!m_cancel) {
        if (const auto drives = driveStatusOrMessage(fetch)) {
            auto* window = new CDriveStatus(m_address, *drives);
            m_frame.addChildWindow(window, window->windowTitle());
            opened = window;
        }
    }
    emit finished(opened);
    deleteLater();
}

void CDriveInfoFetch::restoreCursor()
{
    if (m_cursorSet) {
        m_frame.unsetCursor();
        m_cursorSet = false;
    }
}
