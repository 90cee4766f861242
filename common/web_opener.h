#pragma once

#include <string>

namespace warenkai {

// Opens a web address the way the shell's "Open" verb does: the default browser shows the page.
class WebOpener {
public:
    virtual ~WebOpener() = default;
    // True when the page was handed to the browser, or (without browser) when the page answered
    // with 2xx. False when it could not be opened, answered otherwise or not in time; the shop has
    // then not done the page's work. The article import pages go on either way (the user's OK
    // decides); the customer and order import stops when its export page failed.
    virtual bool OpenWebAddress(const std::string& address) = 0;
};

}  // namespace warenkai
