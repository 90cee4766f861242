#include "export/article_groups.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "common/cancel_request.h"
#include "common/status_area.h"
#include "common/transfer_context.h"
#include "export/articles_seen.h"
#include "export/clean_value.h"
#include "export/shop_csv_file.h"

namespace warenkai {

void ExportArticleGroups(TransferContext& context, ArticlesSeen& seen, OutputFolder& folder) {
    StatusArea& status = context.status;

    status.SetStatusText("Auslesen von Artikelgruppen");
    ShopCsvFile file(folder, context.programFolder / kGroupFileName);
    try {
        file.WriteLine("\"obergruppe\",\"untergruppe\"");
    } catch (const FileWriteError&) {
        // A group file that cannot be created is not reported here: a line that has to be written
        // ends the transfer, and the upload reports a missing file.
    }

    const std::int64_t recordCount = seen.recordCount;
    if (recordCount > 0) {
        status.SetProgressMaximum(static_cast<int>(std::min<std::int64_t>(recordCount, INT_MAX)));
    }
    status.SetProgressValue(0);

    std::string line;
    for (std::int64_t record = 0; record < recordCount; ++record) {
        StopIfCancelled(context.cancel, record, recordCount, "Artikeln");
        const auto pass = static_cast<std::size_t>(record);
        if (pass < seen.passes.size() && seen.passes[pass].error) {
            std::rethrow_exception(seen.passes[pass].error);
        }
        if (pass < seen.passes.size() && seen.passes[pass].taken) {
            const GroupPlace place = seen.groups->Place(seen.passes[pass].groupKey, true);
            const std::string upperGroup = CleanGroupValue(place.upperGroup);
            const std::string lowerGroup = CleanGroupValue(place.lowerGroup);
            if (!upperGroup.empty() || !lowerGroup.empty()) {
                line.assign("\"").append(upperGroup).append("\",\"").append(lowerGroup).append("\"");
                file.WriteLine(line);
                ++seen.groupRows;
            }
        }
        if (status.ProgressValue() < status.ProgressMaximum()) {
            status.SetProgressValue(status.ProgressValue() + 1);
        }
    }
    file.Close();
}

}  // namespace warenkai
