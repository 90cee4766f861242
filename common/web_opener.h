#pragma once

#include <string>

namespace warenkai {

// Opens a web address the way the shell's "Open" verb does: the default browser shows the page.
// The result is not looked at by the callers.
class WebOpener {
public:
    virtual ~WebOpener() = default;
    virtual void OpenWebAddress(const std::string& address) = 0;
};

}  // namespace warenkai
