#pragma once

#include "library/DriveStatusDownload.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>

#include <atomic>
#include <string>
#include <thread>

class CMainFrame;

// One Drive Info download: runs on a thread of its own while the main window shows the wait
// cursor and a dialog with Cancel; the window keeps answering. When the file is there the
// drive status window opens; a failure shows its message; Cancel ends the download within a
// second and shows nothing. Deletes itself when done; destroying it earlier (the main window
// closing) cancels the download and waits for its thread.
class CDriveInfoFetch : public QObject {
    Q_OBJECT
public:
    CDriveInfoFetch(CMainFrame& frame, std::string address, DownloadLimits limits = {});
    ~CDriveInfoFetch() override;

    void start();
    void cancel();
    QProgressDialog* progress() const { return m_progress; }

signals:
    // The drive status window opened (nullptr: it did not, the fetch failed or was cancelled).
    void finished(QWidget* window);

private:
    void arrived(const DriveStatusFetch& fetch);
    void restoreCursor();

    CMainFrame& m_frame;
    std::string m_address;
    DownloadLimits m_limits;
    std::atomic<bool> m_cancel{false};
    std::thread m_worker;
    QPointer<QProgressDialog> m_progress;
    bool m_cursorSet = false;
};
