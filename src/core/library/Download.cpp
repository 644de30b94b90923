#include "Download.h"

#include "LibraryFileText.h"
#include "MonitorFormat.h"
#include "MonitorTexts.h"
#include "app/SystemError.h"

#include <curl/curl.h>

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
    std::string text;
    std::size_t limit = std::string::npos;
    const std::atomic<bool>* stop = nullptr;
    bool cutAtLimit = false;
    bool stopped = false;

    bool stopRequested()
    {
        if (stop != nullptr && stop->load())
            stopped = true;
        return stopped;
    }
};

std::size_t receiveBytes(char* bytes, std::size_t size, std::size_t count, void* user)
{
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t length = size * count;
    if (transfer.stopRequested())
        return 0;
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

    Transfer transfer;
    transfer.limit = limit;
    transfer.stop = stop;
    const std::string url = libraryFileUrl(address, fileName);
    CURL* curl = handle.get();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytes);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.lowSpeedTime.count()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, receiveBytes);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.httpStatus);
    if (transfer.stopped) {
        result.status = DownloadResult::Status::Stopped;
        return result;
    }
    if (code == CURLE_WRITE_ERROR && transfer.cutAtLimit) {
        result.cutAtLimit = true;
    } else if (code != CURLE_OK) {
        result.internetError = static_cast<int>(code);
        return result;
    }
    if (result.httpStatus != 200) {
        result.status = DownloadResult::Status::NoFile;
        return result;
    }
    result.status = DownloadResult::Status::Complete;
    result.text = std::move(transfer.text);
    return result;
}

std::string FormatWinInetError(int code)
{
    if (code > CURLE_OK && code < CURL_LAST)
        return std::string(curl_easy_strerror(static_cast<CURLcode>(code))) + "\n";
    // Codes outside the internet library's table are the system's.
    return FormatSystemError(code);
}
