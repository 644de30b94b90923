#pragma once

#include "library/ImportOptions.h"
#include "library/SavedFileImport.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class CMainFrame;
struct StartupImport;

// One import in the window. The file is opened and judged and the connection made on the UI
// thread (their messages show at once, as they do for every command); the lines are then
// stored on a thread of its own while a dialog shows how far the import has come, and the
// window keeps answering. Cancel stops it after the chunk being stored. finished is emitted
// on the UI thread once the connection is closed; the run deletes itself afterwards.
// The main window's exit stops it the same way and waits for that chunk: finished is not
// emitted then, and the messages go to the debug log. Destroying the run earlier does the
// same without a word.
class ImportRun : public QObject {
    Q_OBJECT
public:
    // options.store: how the lines are stored (the stop flag is the run's own); options.progress,
    // when set, is called on the worker thread after each chunk, once the dialog has been told.
    ImportRun(CMainFrame& frame, std::string path, std::string libraryAddress, ImportOptions options = {});
    ~ImportRun() override;
    ImportRun(const ImportRun&) = delete;
    ImportRun& operator=(const ImportRun&) = delete;

    // Once. When there is nothing to store, finished is emitted before this returns.
    void start();
    void cancel();
    QProgressDialog* progress() const { return m_progress; }

    const ImportResult& result() const { return m_import.result(); }
    const std::vector<ImportMessage>& messages() const { return m_import.messages(); }

signals:
    void finished();

private:
    void showProgress(const ImportProgress& progress);
    void linesStored();
    void stopForExit();
    void stopAndJoin();

    CMainFrame& m_frame;
    std::string m_path;
    ImportOptions m_options;
    SavedFileImport m_import;
    std::atomic<bool> m_stop{false};
    std::thread m_worker;
    QPointer<QProgressDialog> m_progress;
    bool m_ended = false;
};

// File > Import..: the file and the library asked for, then the import in the window; its
// messages once it has ended. options as for ImportRun.
void runImportInWindow(CMainFrame& frame, ImportOptions options = {});

// The files of a start-up import, one after the other, each with its dialog; then the
// messages of every file, and then next (not when the main window's exit stopped the import).
void runStartupImport(CMainFrame& frame, const StartupImport& request, std::function<void()> next,
                      ImportOptions options = {});
