#pragma once

#include <string>
#include <unordered_map>

#include "export/server_value.h"

namespace warenkai {

class SelectlineTable;

// An article group's place in the shop's two-level tree of groups.
struct GroupPlace {
    std::string upperGroup;  // the parent's name, or the group's own name when it has no parent
    std::string lowerGroup;  // the group's name when it has a parent, else empty
};

// The article group table ("AG") as the article transfer reads it: each group key is looked up once
// per transfer (its "Bezeichnung" and "Parent" read with it), whichever article, row or walk asks.
// Keys are taken exactly as they come: "10" and "10 " are two keys, each answered by the server.
class GroupTree {
public:
    explicit GroupTree(SelectlineTable& groups) : m_groups(groups) {}

    // The group `groupKey` and one level of parent. Nothing when the key is empty or not found.
    // With `readParentName` false the parent's name is not used (upperGroup stays empty when there
    // is a parent): the "Artikelgruppe" rule needs only to know that the parent exists.
    GroupPlace Place(const std::string& groupKey, bool readParentName);

private:
    struct Group {
        bool found = false;
        ServerValue name;    // "Bezeichnung"
        ServerValue parent;  // "Parent"
    };

    const Group& Find(const std::string& key);

    SelectlineTable& m_groups;
    std::unordered_map<std::string, Group> m_byKey;
    // The places worked out so far, without and with the parent's name.
    std::unordered_map<std::string, GroupPlace> m_places[2];
};

}  // namespace warenkai
