#include "tests/support/journal.h"

namespace warenkai::test {

std::vector<std::string> Journal::Starting(const std::string& prefix) const {
    std::vector<std::string> kept;
    for (const auto& entry : m_entries) {
        if (entry.rfind(prefix, 0) == 0) {
            kept.push_back(entry);
        }
    }
    return kept;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

}  // namespace warenkai::test
