#pragma once

#include <string>

#include "common/web_opener.h"

namespace warenkai {

// Hands a web address to the desktop, which opens it in the default browser.
class QtWebOpener final : public WebOpener {
public:
    void OpenWebAddress(const std::string& address) override;
};

}  // namespace warenkai
