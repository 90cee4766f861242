#pragma once

#include <stdexcept>
#include <string>

namespace warenkai {

// An error reported by the automation server; what() is the server's text.
class SelectlineError : public std::runtime_error {
public:
    explicit SelectlineError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace warenkai
