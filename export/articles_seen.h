#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "export/group_tree.h"

namespace warenkai {

// One pass of the article walk as the group walk needs it.
struct SeenArticle {
    // "Artikelnummer" not blank and, with onlyShopActive ticked, "ShopAktiv" true.
    bool taken = false;
    // Its "Artikelgruppe" as text, when taken.
    std::string groupKey;
    // Reading the fields above raised this: the group walk raises it at this pass.
    std::exception_ptr error;
};

// What the article walk of a transfer (ExportArticles) read that its group walk
// (ExportArticleGroups) needs again, so the group walk makes no call for it: the article table's
// record count, one SeenArticle per pass, and the article groups looked up so far.
struct ArticlesSeen {
    std::int64_t recordCount = 0;
    std::vector<SeenArticle> passes;
    std::optional<GroupTree> groups;  // over the session's "AG"

    // What the walks wrote, for the transfer's result line.
    std::int64_t articlesWritten = 0;  // article records in the article files
    int articleFiles = 0;              // article files begun
    std::int64_t groupRows = 0;        // lines of the group file below its header
};

}  // namespace warenkai
