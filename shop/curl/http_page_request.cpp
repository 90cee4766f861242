#include "shop/curl/http_page_request.h"

#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace warenkai {
namespace {

struct EasyHandleDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

void InitialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The page's body is of no interest: the shop has done its work once it has answered.
std::size_t DropBody(char*, std::size_t size, std::size_t count, void*) {
    return size * count;
}

}  // namespace

std::string HttpPageResult::Describe() const {
    if (!error.empty()) {
        return error;
    }
    return "HTTP " + std::to_string(status);
}

HttpPageResult RequestHttpPage(const std::string& address, const HttpPageOptions& options) {
    InitialiseCurlOnce();
    HttpPageResult result;
    std::unique_ptr<CURL, EasyHandleDeleter> handle(curl_easy_init());
    if (!handle) {
        result.error = "libcurl kann nicht gestartet werden";
        return result;
    }
    CURL* curl = handle.get();
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
    // A shop link written without "http://" is taken as http, as a browser does.
    curl_easy_setopt(curl, CURLOPT_DEFAULT_PROTOCOL, "http");
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeout.count()));
    // No signals: time-outs must not disturb the rest of the process.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, DropBody);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Warenkai");

    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (code != CURLE_OK) {
        result.error = errorText[0] != '\0' ? std::string(errorText) : std::string(curl_easy_strerror(code));
        // An answer may have come before the failure (a body cut short); the failure counts.
        result.status = status;
        result.unreachable =
            code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_COULDNT_CONNECT || code == CURLE_OPERATION_TIMEDOUT;
        return result;
    }
    result.status = status;
    return result;
}

}  // namespace warenkai
