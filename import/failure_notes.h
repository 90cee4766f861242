#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "selectline/selectline_error.h"

namespace warenkai {

// What went wrong while one customer or one order was entered. The import goes on after a failing
// step; the notes become one line of the error list for the customer or order.
class FailureNotes {
public:
    void Add(const std::string& text);
    bool Empty() const { return m_count == 0; }
    // The distinct texts in the order they came, joined by "; " (the first few; a count of the rest).
    std::string Summary() const;
    void Clear();

private:
    static constexpr std::size_t kShownTexts = 3;

    std::vector<std::string> m_texts;
    std::size_t m_count = 0;
    std::size_t m_hidden = 0;
};

// Runs one call of the automation server. An error of the server is noted and gives false (or
// std::nullopt); the caller decides whether the rest of its step still makes sense.
template <typename Call>
auto Attempt(FailureNotes& notes, Call&& call) {
    using Result = std::invoke_result_t<Call>;
    if constexpr (std::is_void_v<Result>) {
        try {
            std::forward<Call>(call)();
            return true;
        } catch (const SelectlineError& error) {
            notes.Add(error.what());
            return false;
        }
    } else {
        try {
            return std::optional<Result>(std::forward<Call>(call)());
        } catch (const SelectlineError& error) {
            notes.Add(error.what());
            return std::optional<Result>();
        }
    }
}

}  // namespace warenkai
