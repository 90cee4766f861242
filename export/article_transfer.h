#pragma once

#include "common/transfer_guard.h"
#include "export/output_file.h"

namespace warenkai {

// The transfer's name in the run history.
inline constexpr const char* kArticleTransferName = "Artikel zum Webshop";

struct Settings;
struct TransferContext;

// The article transfer of the button "Datenübertragung der Artikel und Artikelgruppen von Selectline
// zum Webshop": article files and group file from Selectline, upload, and the shop's import.
TransferOutcome RunArticleTransfer(const Settings& settings, TransferContext& context);

// The same, writing its files through `folder` (tests pass a folder whose files fail).
TransferOutcome RunArticleTransfer(const Settings& settings, TransferContext& context, OutputFolder& folder);

}  // namespace warenkai
