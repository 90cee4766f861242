#include "export/article_groups.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "common/cancel_request.h"
#include "common/status_area.h"
#include "common/transfer_context.h"
#include "export/clean_value.h"
#include "export/group_lookup.h"
#include "export/shop_csv_file.h"
#include "selectline/selectline_session.h"
#include "settings/settings.h"

namespace warenkai {
namespace {

// This walk decides by the field "Artikelnummer" itself, whatever the field mapping says.
bool IsShopArticle(SelectlineTable& articles, bool onlyShopActive) {
    if (TrimBlanks(articles.GetField("Artikelnummer").ToText()).empty()) {
        return false;
    }
    return !onlyShopActive || articles.GetField("ShopAktiv").ToBool();
}

}  // namespace

void ExportArticleGroups(const Settings& settings, TransferContext& context, SelectlineSession& session,
                         OutputFolder& folder) {
    StatusArea& status = context.status;
    SelectlineTable& articles = session.Table("AR");
    SelectlineTable& groups = session.Table("AG");

    status.SetStatusText("Auslesen von Artikelgruppen");
    ShopCsvFile file(folder, context.programFolder / kGroupFileName);
    try {
        file.WriteLine("\"obergruppe\",\"untergruppe\"");
    } catch (const FileWriteError&) {
        // A group file that cannot be created is not reported here: a line that has to be written
        // ends the transfer, and the upload reports a missing file.
    }

    const std::int64_t recordCount = articles.Recordcount();
    if (recordCount > 0) {
        status.SetProgressMaximum(static_cast<int>(std::min<std::int64_t>(recordCount, INT_MAX)));
    }
    status.SetProgressValue(0);
    articles.First();

    std::string line;
    for (std::int64_t record = 0; record < recordCount; ++record) {
        StopIfCancelled(context.cancel, record, recordCount, "Artikeln");
        if (IsShopArticle(articles, settings.onlyShopActive)) {
            const GroupPlace place = LookUpGroup(groups, articles.GetField("Artikelgruppe").ToText(), true);
            const std::string upperGroup = CleanGroupValue(place.upperGroup);
            const std::string lowerGroup = CleanGroupValue(place.lowerGroup);
            if (!upperGroup.empty() || !lowerGroup.empty()) {
                line.assign("\"").append(upperGroup).append("\",\"").append(lowerGroup).append("\"");
                file.WriteLine(line);
            }
        }
        articles.Next();
        if (status.ProgressValue() < status.ProgressMaximum()) {
            status.SetProgressValue(status.ProgressValue() + 1);
        }
    }
    file.Close();
}

}  // namespace warenkai
