#include "app/cli/page_request_web_opener.h"

#include "shop/connection_check.h"

#include "common/status_area.h"

namespace warenkai {

std::string PageNotLoadedLine(const std::string& address, const HttpPageResult& result) {
    // A password in the shop link is never shown.
    return "Fehler: Seite " + HidePassword(address) + " nicht geladen: " + result.Describe();
}

bool PageRequestWebOpener::OpenWebAddress(const std::string& address) {
    const HttpPageResult result = m_request(address);
    if (!result.Succeeded()) {
        m_status.AddError(PageNotLoadedLine(address, result));
        return false;
    }
    return true;
}

}  // namespace warenkai
