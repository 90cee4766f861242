#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace warenkai {

class SelectlineTable;

// Finds the address record of a customer in the address table "AD": the first record, in table order,
// whose "Adresstyp" is the wanted one, which then becomes the table's current record. The table has no
// keyed look-up, so the plain way is a walk from its first record per customer.
//
// Instead, the finder walks the table once per run and keeps, for every "Adresstyp", the place of its
// first record; it learns the records the run inserts itself. A type it does not know needs no walk at
// all, and a known one is reached by moving on from the current record (or from the first record when
// the wanted one lies behind). Every record reached that way is checked against the wanted type; when
// the table has changed behind the finder's back the place list is built anew, and if that still does
// not fit the finder falls back to the plain walk for the rest of the run. So it always gives the
// record the plain walk would give.
class AddressFinder {
public:
    // `naiveWalk`: always walk from the first record (kept to compare the two).
    AddressFinder(SelectlineTable& addresses, bool naiveWalk);

    // True when a record of `type` exists; it is then the current record. Throws SelectlineError as
    // the table does.
    bool Find(const std::string& type);
    // A record of `type` has been inserted and posted.
    void NoteInserted(const std::string& type);
    // Something failed on the table: its state is unknown, the next Find builds the place list anew.
    void Forget();

private:
    bool Walk(const std::string& type);
    void Build();
    bool MoveTo(std::int64_t place, const std::string& type);

    SelectlineTable& m_addresses;
    bool m_naive;
    bool m_built = false;
    std::unordered_map<std::string, std::int64_t> m_places;
    std::int64_t m_count = 0;
    std::int64_t m_cursor = -1;  // place of the current record when known, else -1
    bool m_trustCursor = true;   // the table stays on its current record between two finds
};

}  // namespace warenkai
