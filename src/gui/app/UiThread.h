#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

// Runs work on the UI thread and waits for it; runs it at once when already there.
template <class Work>
void runOnUiThread(Work&& work)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread())
        work();
    else
        QMetaObject::invokeMethod(app, std::forward<Work>(work), Qt::BlockingQueuedConnection);
}
