#pragma once

#include <functional>
#include <string>

#include "common/web_opener.h"
#include "shop/curl/http_page_request.h"

namespace warenkai {

class StatusArea;

using PageRequester = std::function<HttpPageResult(const std::string& address)>;

// Opens a shop page without browser: requests it and waits for the shop's whole answer, which
// stands in for the user's OK after the page has done its work. A page that does not answer with
// 2xx (or not in time) adds one line to the error list, naming the address and what came back, and
// gives false; the article transfer goes on as after the user's OK, the customer and order import
// stops before its download.
class PageRequestWebOpener final : public WebOpener {
public:
    PageRequestWebOpener(StatusArea& status, PageRequester request) : m_status(status), m_request(std::move(request)) {}

    bool OpenWebAddress(const std::string& address) override;

private:
    StatusArea& m_status;
    PageRequester m_request;
};

// The error-list line for a page that was not loaded: "Fehler: Seite <address> nicht geladen: HTTP 500".
std::string PageNotLoadedLine(const std::string& address, const HttpPageResult& result);

}  // namespace warenkai
