#include "export/article_transfer.h"

#include "common/status_area.h"
#include "common/transfer_context.h"
#include "export/article_export.h"
#include "export/article_groups.h"
#include "selectline/selectline_session.h"
#include "settings/settings.h"
#include "shop/article_upload.h"

namespace warenkai {

TransferOutcome RunArticleTransfer(const Settings& settings, TransferContext& context) {
    return RunArticleTransfer(settings, context, LocalDisk());
}

TransferOutcome RunArticleTransfer(const Settings& settings, TransferContext& context, OutputFolder& folder) {
    // The transfer works with the settings as they stand when it starts; edits made in the window
    // while it yields apply to the next run.
    const Settings current = settings;
    return RunTransfer(context.status, context.dialogs, [&] {
        context.status.ClearErrors();
        SelectlineSession session = OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, context);
        const int articleFileCount = ExportArticles(current, context, session, folder);
        ExportArticleGroups(current, context, session, folder);
        UploadArticleFiles(current, context, articleFileCount);
        RunShopImport(current, context, articleFileCount);
    });
}

}  // namespace warenkai
