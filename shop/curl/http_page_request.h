#pragma once

#include <chrono>
#include <string>

namespace warenkai {

// The answer to one request of a shop page.
struct HttpPageResult {
    // The HTTP status of the last answer (after redirects); 0 when no answer came.
    long status = 0;
    // libcurl's text for a request that failed before an answer came (refused, time-out, bad
    // address); empty when an answer came.
    std::string error;
    // The shop could not be reached or did not answer in time.
    bool unreachable = false;

    // A 2xx answer.
    bool Succeeded() const { return error.empty() && status >= 200 && status < 300; }
    // "HTTP 500", or the error text.
    std::string Describe() const;
};

struct HttpPageOptions {
    // Reaching the shop, as long as reaching the FTP server may take.
    std::chrono::milliseconds connectTimeout = std::chrono::seconds(20);
    // The whole request, redirects included. The shop's import and export pages answer only when
    // they have worked through their files, which for the largest article file on a busy shared
    // host takes minutes, so this is generous.
    std::chrono::milliseconds totalTimeout = std::chrono::minutes(10);
    long maxRedirects = 10;
};

// Requests `address` (http or https only, also after redirects) with GET, follows redirects and
// waits for the whole answer, whose body is read and dropped. Blocks the calling thread; never
// throws for a failed request.
HttpPageResult RequestHttpPage(const std::string& address, const HttpPageOptions& options = {});

}  // namespace warenkai
