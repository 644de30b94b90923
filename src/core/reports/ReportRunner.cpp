#include "ReportRunner.h"

#include "ReportTexts.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/TimeFormat.h"

#include <cerrno>
#include <ctime>
#include <fstream>

void writeReportText(const ReportRequest& request, const std::string& text)
{
    if (request.sink == nullptr || request.closing())
        return;
    request.sink->write(text);
}

void WriteReportLine(const ReportRequest& request, const std::string& text)
{
    writeReportText(request, text + "\r\n");
}

std::string formatReportText(const char* format, const std::vector<std::string>& values)
{
    std::string text;
    std::size_t next = 0;
    for (const char* at = format; *at != '\0'; ++at) {
        if (at[0] == '%' && (at[1] == 's' || at[1] == 'd') && next < values.size()) {
            text += values[next++];
            ++at;
        } else {
            text += *at;
        }
    }
    return text;
}

ReportRequest ReportRequest::fromSettings(const std::string& beginDate, const std::string& endDate,
                                          std::vector<std::string> addresses)
{
    const CQmxApp& app = theApp();
    ReportRequest request;
    request.mode = ReportMode::Window;
    request.beginDate = beginDate;
    request.endDate = endDate;
    request.beginShown = displayDate(beginDate);
    request.endShown = displayDate(endDate);
    request.addresses = std::move(addresses);
    request.dataSourceName = app.settings.databaseName;
    request.userName = app.settings.userName;
    request.password = app.password;
    request.table = app.settings.mountHistoryTableName;
    request.databaseType = app.settings.DatabaseType;
    return request;
}

void writeReportHeader(const ReportRequest& request, const char* headerFormat)
{
    WriteReportLine(request, formatReportText(headerFormat, {formatLocalTime(StampFormat, std::time(nullptr))}));
    WriteReportLine(request, "");
}

void writeDateRange(const ReportRequest& request)
{
    WriteReportLine(request, formatReportText(report_texts::DateRange, {request.beginShown, request.endShown}));
    WriteReportLine(request, "");
}

std::string noEntriesText(const ReportRequest& request, const std::string& address)
{
    return formatReportText(report_texts::NoEntries, {address, request.beginShown, request.endShown});
}

void finishReport(const ReportRequest& request, const char* windowDone, const char* windowCanceled,
                  const char* mailDone, const char* mailName)
{
    if (!request.mail()) {
        const bool cancelled = request.cancelled();
        WriteReportLine(request, cancelled ? windowCanceled : windowDone);
        if (!cancelled && !request.closing() && request.sink != nullptr)
            request.sink->restoreButtons();
        return;
    }
    writeReportText(request, mailDone);
    if (!request.sendMail)
        return;
    auto* kept = dynamic_cast<TextReportSink*>(request.sink);
    const std::string body = kept != nullptr ? kept->text() : std::string();
    const bool sent = request.sendMail(formatReportText(report_texts::MailSubject, {mailName}), body);
    WriteDebugLine(formatReportText(sent ? report_texts::MailSucceeded : report_texts::MailFailed, {mailName}));
}

int saveReportDocument(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return errno != 0 ? errno : EIO;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return out ? 0 : (errno != 0 ? errno : EIO);
}

void TextReportSink::write(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    m_text += text;
}

void TextReportSink::restoreButtons()
{
    std::lock_guard lock(m_mutex);
    ++m_restores;
}

std::string TextReportSink::text() const
{
    std::lock_guard lock(m_mutex);
    return m_text;
}

int TextReportSink::buttonRestores() const
{
    std::lock_guard lock(m_mutex);
    return m_restores;
}

ReportWorker::~ReportWorker()
{
    close();
    join();
}

void ReportWorker::start(ReportRequest request, std::function<int(const ReportRequest&)> procedure)
{
    join();
    m_flags.cancelled = false;
    m_flags.closing = false;
    m_flags.stop = false;
    request.flags = &m_flags;
    m_running = true;
    m_thread = std::thread([this, request = std::move(request), procedure = std::move(procedure)] {
        m_result = procedure(request);
        m_running = false;
    });
}

void ReportWorker::join()
{
    if (m_thread.joinable())
        m_thread.join();
}
