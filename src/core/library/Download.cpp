#include "Download.h"

#include "LibraryFileText.h"
#include "MonitorFormat.h"
#include "MonitorTexts.h"
#include "app/SystemError.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <memory>
#include <mutex>

namespace {
void initialiseCurlOnce()
{
    // The library's global set-up is not thread-safe; every monitor thread comes through here.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlHandleDeleter {
    void operator()(CURL* handle) const noexcept { curl_easy_cleanup(handle); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const noexcept { curl_slist_free_all(list); }
};

struct Transfer {
    CURL* curl = nullptr;
    std::string text;
    std::size_t limit = std::string::npos;    // cut here (the mount history file)
    std::size_t maxBytes = std::string::npos; // fail past this
    const std::atomic<bool>* stop = nullptr;
    std::size_t received = 0;
    bool cutAtLimit = false;
    bool tooLarge = false;
    bool notFile = false; // an error status: its page is not read
    bool webPage = false; // a web page where the file should be
    bool stopped = false;

    bool stopRequested()
    {
        if (stop != nullptr && stop->load())
            stopped = true;
        return stopped;
    }
};

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t at = 0; at < prefix.size(); ++at)
        if (std::tolower(static_cast<unsigned char>(text[at])) != prefix[at])
            return false;
    return true;
}

// A login or error page of the library's web server, sent where the file should be.
bool isWebPage(const char* contentType, std::string_view text)
{
    if (contentType != nullptr && startsWithNoCase(contentType, "text/html"))
        return true;
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return false;
    text.remove_prefix(start);
    return startsWithNoCase(text, "<!doctype html") || startsWithNoCase(text, "<html");
}

std::size_t receiveBytes(char* bytes, std::size_t size, std::size_t count, void* user)
{
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t length = size * count;
    if (transfer.stopRequested())
        return 0;
    if (transfer.received == 0) {
        // Whatever the server sends with an error status, or as a web page, is not read.
        long status = 0;
        curl_easy_getinfo(transfer.curl, CURLINFO_RESPONSE_CODE, &status);
        if (status != 200) {
            transfer.notFile = true;
            return 0;
        }
        const char* contentType = nullptr;
        curl_easy_getinfo(transfer.curl, CURLINFO_CONTENT_TYPE, &contentType);
        if (isWebPage(contentType, std::string_view(bytes, std::min<std::size_t>(length, 64)))) {
            transfer.webPage = true;
            return 0;
        }
    }
    transfer.received += length;
    if (transfer.limit == std::string::npos && transfer.text.size() + length > transfer.maxBytes) {
        transfer.tooLarge = true;
        return 0;
    }
    if (!appendLibraryBytes(transfer.text, std::string_view(bytes, length), transfer.limit)) {
        // The library's file is never longer than the limit; anything past it is not read.
        transfer.cutAtLimit = true;
        return 0;
    }
    return length;
}

int progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<Transfer*>(user)->stopRequested() ? 1 : 0;
}

std::string filled(const char* pattern, std::initializer_list<std::string> values)
{
    std::string text = pattern;
    std::size_t at = 0;
    for (const std::string& value : values) {
        at = text.find("%s", at);
        if (at == std::string::npos)
            break;
        text.replace(at, 2, value);
        at += value.size();
    }
    return text;
}
} // namespace

DownloadResult downloadLibraryFile(const std::string& address, const std::string& fileName,
                                   const std::atomic<bool>* stop, const DownloadLimits& limits, std::size_t limit)
{
    initialiseCurlOnce();
    DownloadResult result;
    std::unique_ptr<CURL, CurlHandleDeleter> handle(curl_easy_init());
    if (!handle) {
        result.internetError = CURLE_FAILED_INIT;
        return result;
    }
    // Always the library's current file: no cache on the way may answer for it.
    std::unique_ptr<curl_slist, CurlListDeleter> headers(curl_slist_append(nullptr, "Cache-Control: no-cache"));
    if (headers)
        curl_slist_append(headers.get(), "Pragma: no-cache");

    CURL* curl = handle.get();
    Transfer transfer;
    transfer.curl = curl;
    transfer.limit = limit;
    transfer.maxBytes = limits.maxBytes;
    transfer.stop = stop;
    const std::string url = libraryFileUrl(address, fileName);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytes);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.lowSpeedTime.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalTime.count()));
    if (limit == std::string::npos)
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, receiveBytes);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

    const auto began = std::chrono::steady_clock::now();
    const CURLcode code = curl_easy_perform(curl);
    const auto took = std::chrono::steady_clock::now() - began;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.httpStatus);
    if (transfer.stopped) {
        result.status = DownloadResult::Status::Stopped;
        return result;
    }
    if (transfer.notFile || (code == CURLE_OK && result.httpStatus != 200)) {
        result.status = DownloadResult::Status::NoFile;
        return result;
    }
    if (transfer.webPage || (code == CURLE_OK && isWebPage(nullptr, transfer.text))) {
        result.status = DownloadResult::Status::NotLibraryFile;
        return result;
    }
    if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.status = DownloadResult::Status::TooLarge;
        return result;
    }
    if (code == CURLE_OPERATION_TIMEDOUT && took + std::chrono::milliseconds(50) >= limits.totalTime) {
        result.status = DownloadResult::Status::TimedOut;
        return result;
    }
    if (code == CURLE_WRITE_ERROR && transfer.cutAtLimit) {
        result.cutAtLimit = true;
    } else if (code != CURLE_OK) {
        result.internetError = static_cast<int>(code);
        return result;
    } else {
        // A body that ends before the length the server announced is a cut transfer, whatever
        // the connection's end looked like.
        curl_off_t announced = -1;
        curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
        if (announced >= 0 && static_cast<curl_off_t>(transfer.received) < announced) {
            result.internetError = CURLE_PARTIAL_FILE;
            return result;
        }
    }
    result.status = DownloadResult::Status::Complete;
    result.text = std::move(transfer.text);
    return result;
}

std::string downloadProblemText(const DownloadResult& result, const std::string& fileName, const DownloadLimits& limits)
{
    switch (result.status) {
    case DownloadResult::Status::Complete:
    case DownloadResult::Status::Stopped:
        return {};
    case DownloadResult::Status::NoFile:
        return filled(monitor_texts::DownloadHttpStatus, {std::to_string(result.httpStatus), fileName});
    case DownloadResult::Status::NotLibraryFile:
        return filled(monitor_texts::DownloadWebPage, {fileName});
    case DownloadResult::Status::TooLarge:
        return filled(monitor_texts::DownloadTooLarge, {fileName, std::to_string(limits.maxBytes)});
    case DownloadResult::Status::TimedOut:
        return filled(monitor_texts::DownloadTimedOut,
                      {fileName, std::to_string(std::chrono::duration_cast<std::chrono::seconds>(
                                                    limits.totalTime + std::chrono::milliseconds(999))
                                                    .count())});
    case DownloadResult::Status::InternetError:
        break;
    }
    return FormatWinInetError(result.internetError);
}

std::string FormatWinInetError(int code)
{
    if (code > CURLE_OK && code < CURL_LAST)
        return std::string(curl_easy_strerror(static_cast<CURLcode>(code))) + "\n";
    // Codes outside the internet library's table are the system's.
    return FormatSystemError(code);
}
