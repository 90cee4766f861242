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
namespace {

// "55 Artikel in 1 Datei, 12 Gruppenzeilen; 2 Dateien übertragen, 0 Fehler", as far as the transfer
// came: a walk or the upload that was not reached is left out.
std::string ArticleResult(const ArticlesSeen& seen, bool groupsWritten, const ArticleUpload* uploaded,
                          std::size_t errorLines) {
    std::string text =
        CountOf(seen.articlesWritten, "Artikel", "Artikel") + " in " + CountOf(seen.articleFiles, "Datei", "Dateien");
    if (groupsWritten) {
        text += ", " + CountOf(seen.groupRows, "Gruppenzeile", "Gruppenzeilen");
    }
    if (uploaded != nullptr) {
        text += "; " + CountOf(uploaded->Count(), "Datei", "Dateien") + " übertragen";
    }
    return text + ", " + CountOf(static_cast<std::int64_t>(errorLines), "Fehler", "Fehler");
}

}  // namespace

TransferOutcome RunArticleTransfer(const Settings& settings, TransferContext& context) {
    return RunArticleTransfer(settings, context, LocalDisk());
}

TransferOutcome RunArticleTransfer(const Settings& settings, TransferContext& outer, OutputFolder& folder) {
    CountingStatusArea status(outer.status);
    TransferContext context = WithStatusArea(outer, status);
    ArticlesSeen seen;
    bool groupsWritten = false;
    bool uploadBegun = false;
    ArticleUpload uploaded;
    return RunTransfer(
        status, context.dialogs,
        [&] {
            status.ClearErrors();
            SelectlineSession session = OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, context);
            const int articleFileCount = ExportArticles(settings, context, session, seen, folder);
            seen.articleFiles = articleFileCount;
            ExportArticleGroups(context, seen, folder);
            groupsWritten = true;
            uploadBegun = true;
            UploadArticleFiles(settings, context, articleFileCount, uploaded);
            RunShopImport(settings, context, uploaded);
        },
        [&] { return ArticleResult(seen, groupsWritten, uploadBegun ? &uploaded : nullptr, status.ErrorLines()); });
}

}  // namespace warenkai
