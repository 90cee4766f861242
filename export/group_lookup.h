#pragma once

#include <string>

namespace warenkai {

class SelectlineTable;

// An article group's place in the shop's two-level tree of groups.
struct GroupPlace {
    std::string upperGroup;  // the parent's name, or the group's own name when it has no parent
    std::string lowerGroup;  // the group's name when it has a parent, else empty
};

// Looks up the group `groupKey` in the article group table ("Bezeichnung", "Parent") and one level
// of parent. Nothing when the key is empty or not found. With `readParentName` false the parent's
// name is not read (upperGroup stays empty when there is a parent): the "Artikelgruppe" rule needs
// only to know that the parent exists.
GroupPlace LookUpGroup(SelectlineTable& groups, const std::string& groupKey, bool readParentName);

}  // namespace warenkai
