#include "export/article_transfer.h"

#include "common/status_area.h"
#include "common/transfer_context.h"
#include "export/article_export.h"
#include "export/article_groups.h"
#include "export/articles_seen.h"
#include "selectline/selectline_session.h"
#include "settings/settings.h"
#include "shop/article_upload.h"

namespace warenkai {

TransferOutcome RunArticleTransfer(const Settings& settings, TransferContext& context) {
    return RunArticleTransfer(settings, context, LocalDisk());
}

TransferOutcome RunArticleTransfer(const Settings& settings, TransferContext& context, OutputFolder& folder) {
    return RunTransfer(context.status, context.dialogs, [&] {
        context.status.ClearErrors();
        SelectlineSession session = OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, context);
        ArticlesSeen seen;
        const int articleFileCount = ExportArticles(settings, context, session, seen, folder);
        ExportArticleGroups(context, seen, folder);
        const ArticleUpload uploaded = UploadArticleFiles(settings, context, articleFileCount);
        RunShopImport(settings, context, uploaded);
    });
}

}  // namespace warenkai
