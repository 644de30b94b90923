#include "ImportRun.h"

#include "app/CMainFrame.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "library/Import.h"
#include "library/ImportTexts.h"
#include "library/StartupImport.h"

#include <QMetaObject>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

ImportRun::ImportRun(CMainFrame& frame, std::string path, std::string libraryAddress, ImportOptions options)
    : QObject(&frame), m_frame(frame), m_path(path), m_options(std::move(options)),
      m_import(std::move(path), std::move(libraryAddress))
{
}

ImportRun::~ImportRun()
{
    stopAndJoin();
    delete m_progress;
}

void ImportRun::start()
{
    if (m_ended || m_worker.joinable())
        return;
    bool storing = false;
    {
        WaitCursor wait(theApp().prompts());
        storing = m_import.begin();
    }
    if (!storing) {
        m_import.finish();
        m_ended = true;
        emit finished();
        deleteLater();
        return;
    }

    m_progress = new QProgressDialog(QString::fromStdString(importDialogText(m_path, {})), QStringLiteral("Cancel"), 0,
                                     100, &m_frame);
    m_progress->setObjectName(QStringLiteral("ImportProgress"));
    m_progress->setWindowTitle(QString::fromLatin1(import_texts::FileDialogTitle));
    m_progress->setMinimumDuration(0);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    // Long enough for the counts of a large file, so that the dialog does not grow as they do.
    m_progress->setMinimumWidth(m_progress->fontMetrics().horizontalAdvance(
                                    QString::fromStdString(importProgressText({999999999, 999999999, 0, 0})))
                                + 80);
    // Cancel stops the import and the dialog stays until the chunk being stored is committed:
    // the dialog's own reset and hide on Cancel is connected by name.
    disconnect(m_progress, SIGNAL(canceled()), m_progress, SLOT(cancel()));
    connect(m_progress, &QProgressDialog::canceled, this, &ImportRun::cancel);
    connect(&m_frame, &CMainFrame::exiting, this, &ImportRun::stopForExit);
    m_progress->setValue(0);
    m_progress->show();

    ImportOptions options = m_options;
    options.store.stop = &m_stop;
    options.progressDone = nullptr;
    options.progress = [this, alsoTell = m_options.progress](const ImportProgress& progress) {
        // Dropped by Qt when the run is gone by the time the call would run.
        QMetaObject::invokeMethod(
            this, [this, progress] { showProgress(progress); }, Qt::QueuedConnection);
        if (alsoTell)
            alsoTell(progress);
    };
    m_worker = std::thread([this, options = std::move(options)] {
        m_import.storeLines(options);
        QMetaObject::invokeMethod(
            this, [this] { linesStored(); }, Qt::QueuedConnection);
    });
}

void ImportRun::cancel()
{
    if (m_ended || m_stop.exchange(true))
        return;
    if (m_progress) {
        m_progress->setLabelText(QString::fromLatin1(import_texts::Stopping));
        if (auto* button = m_progress->findChild<QPushButton*>())
            button->setEnabled(false);
    }
}

void ImportRun::showProgress(const ImportProgress& progress)
{
    if (!m_progress)
        return;
    if (!m_stop)
        m_progress->setLabelText(QString::fromStdString(importDialogText(m_path, progress)));
    m_progress->setValue(importPercent(progress));
}

void ImportRun::linesStored()
{
    if (m_ended)
        return;
    m_worker.join();
    m_import.finish();
    m_ended = true;
    delete m_progress;
    emit finished();
    deleteLater();
}

void ImportRun::stopForExit()
{
    if (m_ended)
        return;
    stopAndJoin();
    m_import.finish();
    m_ended = true;
    for (const ImportMessage& message : m_import.messages())
        WriteDebugLine("Import stopped by the exit: " + message.text);
    delete m_progress;
    deleteLater();
}

void ImportRun::stopAndJoin()
{
    // The worker never waits for the UI thread, so joining it waits for one chunk at most.
    m_stop = true;
    if (m_worker.joinable())
        m_worker.join();
}

void runImportInWindow(CMainFrame& frame, ImportOptions options)
{
    const auto request = askImportRequest();
    if (!request)
        return;
    auto* run = new ImportRun(frame, request->path, request->libraryAddress, std::move(options));
    QObject::connect(run, &ImportRun::finished, &frame, [&frame, run] {
        // Shown once the run has let go of everything.
        QTimer::singleShot(0, &frame, [messages = run->messages()] { showImportMessages(messages); });
    });
    run->start();
}

namespace {
struct SequenceState {
    ImportSequence sequence;
    std::function<void()> next;
    ImportOptions options;
};

void importNextFile(CMainFrame& frame, const std::shared_ptr<SequenceState>& state)
{
    const auto file = state->sequence.next();
    if (!file) {
        showImportMessages(state->sequence.messages());
        if (state->next)
            state->next();
        return;
    }
    auto* run = new ImportRun(frame, *file, state->sequence.libraryAddress(), state->options);
    QObject::connect(run, &ImportRun::finished, &frame, [&frame, run, state] {
        state->sequence.fileDone(run->result(), run->messages());
        QTimer::singleShot(0, &frame, [&frame, state] { importNextFile(frame, state); });
    });
    run->start();
}
} // namespace

void runStartupImport(CMainFrame& frame, const StartupImport& request, std::function<void()> next,
                      ImportOptions options)
{
    importNextFile(frame, std::make_shared<SequenceState>(
                              SequenceState{ImportSequence(request), std::move(next), std::move(options)}));
}
