#include "import/address_finder.h"

#include "selectline/selectline_application.h"

namespace warenkai {
namespace {

constexpr const char* kTypeField = "Adresstyp";

}  // namespace

AddressFinder::AddressFinder(SelectlineTable& addresses, bool naiveWalk) : m_addresses(addresses), m_naive(naiveWalk) {}

bool AddressFinder::Walk(const std::string& type) {
    m_addresses.First();
    const std::int64_t count = m_addresses.Recordcount();
    for (std::int64_t place = 0; place < count; ++place) {
        if (m_addresses.GetField(kTypeField).ToText() == type) {
            return true;
        }
        m_addresses.Next();
    }
    return false;
}

void AddressFinder::Build() {
    m_built = false;
    m_places.clear();
    m_cursor = -1;
    m_addresses.First();
    m_count = m_addresses.Recordcount();
    for (std::int64_t place = 0; place < m_count; ++place) {
        if (place > 0) {
            m_addresses.Next();
        }
        m_places.try_emplace(m_addresses.GetField(kTypeField).ToText(), place);
        m_cursor = place;
    }
    m_built = true;
}

bool AddressFinder::MoveTo(std::int64_t place, const std::string& type) {
    const bool fromCursor = m_trustCursor && m_cursor >= 0 && m_cursor <= place;
    if (!fromCursor) {
        m_addresses.First();
        m_cursor = 0;
    }
    for (; m_cursor < place; ++m_cursor) {
        m_addresses.Next();
    }
    bool fits = false;
    try {
        fits = m_addresses.GetField(kTypeField).ToText() == type;
    } catch (const SelectlineError&) {
        // No record there: the list no longer fits the table.
    }
    if (!fits && fromCursor) {
        // The table did not stay on the record last used (a post may move it): from now on always
        // count from the first record.
        m_trustCursor = false;
        m_cursor = -1;
        return MoveTo(place, type);
    }
    if (!fits) {
        m_cursor = -1;
    }
    return fits;
}

bool AddressFinder::Find(const std::string& type) {
    if (m_naive) {
        return Walk(type);
    }
    try {
        if (!m_built) {
            Build();
        }
        for (int attempt = 0; attempt < 2; ++attempt) {
            const auto found = m_places.find(type);
            if (found == m_places.end()) {
                return false;
            }
            if (MoveTo(found->second, type)) {
                return true;
            }
            // The table is not where the list says: read it again once.
            Build();
        }
    } catch (...) {
        Forget();
        throw;
    }
    m_naive = true;
    return Walk(type);
}

void AddressFinder::NoteInserted(const std::string& type) {
    if (!m_built) {
        return;
    }
    // A new record is expected at the end of the table; MoveTo checks it before it is used.
    m_places.try_emplace(type, m_count);
    ++m_count;
    m_cursor = -1;
}

void AddressFinder::Forget() {
    m_built = false;
    m_places.clear();
    m_cursor = -1;
}

}  // namespace warenkai
