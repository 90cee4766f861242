#include "app/cli/page_request_web_opener.h"

namespace warenkai {

PageOpening PageRequestWebOpener::OpenWebAddress(const std::string& address) {
    if (!m_shopDown.empty()) {
        return {false, "nicht abgerufen: " + m_shopDown};
    }
    const HttpPageResult result = m_request(address);
    if (result.Succeeded()) {
        return {true, {}};
    }
    if (result.unreachable) {
        m_shopDown = "der Webshop hat auf eine Seite davor nicht geantwortet (" + result.Describe() + ")";
    }
    return {false, result.Describe()};
}

}  // namespace warenkai
