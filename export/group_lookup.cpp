#include "export/group_lookup.h"

#include "selectline/selectline_application.h"

namespace warenkai {

GroupPlace LookUpGroup(SelectlineTable& groups, const std::string& groupKey, bool readParentName) {
    GroupPlace place;
    if (groupKey.empty() || !groups.FindKey(groupKey)) {
        return place;
    }
    std::string groupName = groups.GetField("Bezeichnung").ToText();
    const std::string parentKey = groups.GetField("Parent").ToText();
    if (!parentKey.empty() && groups.FindKey(parentKey)) {
        if (readParentName) {
            place.upperGroup = groups.GetField("Bezeichnung").ToText();
        }
        place.lowerGroup = std::move(groupName);
    } else {
        place.upperGroup = std::move(groupName);
    }
    return place;
}

}  // namespace warenkai
