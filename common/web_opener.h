#pragma once

#include <string>

namespace warenkai {

// Whether a page was opened, and if not, why ("HTTP 500", "kein Browser …").
struct PageOpening {
    bool opened = false;
    std::string failure;
};

// Opens a web address the way the shell's "Open" verb does: the default browser shows the page.
class WebOpener {
public:
    virtual ~WebOpener() = default;
    // Opened when the page was handed to the browser, or (without browser) when the page answered
    // with 2xx. Not opened when it could not be handed over, answered otherwise or not in time; the
    // shop has then not done the page's work, and `failure` says why. The opener adds no error line
    // of its own: the transfer reports the page (OpenShopPage).
    virtual PageOpening OpenWebAddress(const std::string& address) = 0;
};

}  // namespace warenkai
