#include "export/group_tree.h"

#include "selectline/selectline_application.h"

namespace warenkai {

const GroupTree::Group& GroupTree::Find(const std::string& key) {
    const auto known = m_byKey.find(key);
    if (known != m_byKey.end()) {
        return known->second;
    }
    Group group;
    group.found = m_groups.FindKey(key);
    if (group.found) {
        group.name = ServerValue::Of([&] { return m_groups.GetField("Bezeichnung"); });
        group.parent = ServerValue::Of([&] { return m_groups.GetField("Parent"); });
    }
    return m_byKey.emplace(key, std::move(group)).first->second;
}

GroupPlace GroupTree::Place(const std::string& groupKey, bool readParentName) {
    auto& places = m_places[readParentName ? 1 : 0];
    const auto known = places.find(groupKey);
    if (known != places.end()) {
        return known->second;
    }
    GroupPlace place;
    if (!groupKey.empty()) {
        const Group& group = Find(groupKey);
        if (group.found) {
            std::string groupName = group.name.Get().ToText();
            const std::string parentKey = group.parent.Get().ToText();
            const Group* parent = parentKey.empty() ? nullptr : &Find(parentKey);
            if (parent != nullptr && parent->found) {
                if (readParentName) {
                    place.upperGroup = parent->name.Get().ToText();
                }
                place.lowerGroup = std::move(groupName);
            } else {
                place.upperGroup = std::move(groupName);
            }
        }
    }
    places.emplace(groupKey, place);
    return place;
}

}  // namespace warenkai
