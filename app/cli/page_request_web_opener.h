#pragma once

#include <functional>
#include <string>

#include "common/web_opener.h"
#include "shop/curl/http_page_request.h"

namespace warenkai {

using PageRequester = std::function<HttpPageResult(const std::string& address)>;

// Opens a shop page without browser: requests it and waits for the shop's whole answer, which
// stands in for the user's OK after the page has done its work. A page that does not answer with
// 2xx (or not in time) is not opened, with what came back as the reason. Once a page could not be
// reached or did not answer in time, the shop is taken as down for the rest of the run: the pages
// after it are not requested, each reported as such, so a dead shop costs one time-out, not one per
// page.
class PageRequestWebOpener final : public WebOpener {
public:
    explicit PageRequestWebOpener(PageRequester request) : m_request(std::move(request)) {}

    PageOpening OpenWebAddress(const std::string& address) override;

private:
    PageRequester m_request;
    std::string m_shopDown;  // why the shop is taken as down; empty while it answers
};

}  // namespace warenkai
