#include "MonitorWindowSink.h"

#include "CQmxView.h"

#include <QMetaObject>

void MonitorWindowSink::writeMonitorLine(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    if (m_view == nullptr)
        return;
    CQmxView* view = m_view;
    QMetaObject::invokeMethod(
        view, [view, text] { view->writeLine(text); }, Qt::QueuedConnection);
}

void MonitorWindowSink::detach()
{
    std::lock_guard lock(m_mutex);
    m_view = nullptr;
}
