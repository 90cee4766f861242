#pragma once

#include <string>

#include "common/web_opener.h"

namespace warenkai {

// Hands a web address to the desktop, which opens it in the default browser.
class QtWebOpener final : public WebOpener {
public:
    // QDesktopServices::openUrl's answer: whether the desktop took the address.
    PageOpening OpenWebAddress(const std::string& address) override;
};

}  // namespace warenkai
