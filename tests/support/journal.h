#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace warenkai::test {

// What the fakes were asked, in order, as short lines such as "status: Fertig", "error: …",
// "message: …", "open: …", "ftp connect …". Tests compare it with the exact sequence a
// user of the window would have seen.
class Journal {
public:
    void Add(std::string entry) { m_entries.push_back(std::move(entry)); }
    const std::vector<std::string>& Entries() const { return m_entries; }
    void Clear() { m_entries.clear(); }
    // The entries that start with `prefix`.
    std::vector<std::string> Starting(const std::string& prefix) const;

private:
    std::vector<std::string> m_entries;
};

// The lines of `parts` one after the other, for building an expected journal from pieces.
std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts);

}  // namespace warenkai::test
