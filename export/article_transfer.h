#pragma once

#include "common/transfer_guard.h"

namespace warenkai {

struct Settings;
struct TransferContext;

// The article transfer of the button "Datenübertragung der Artikel und Artikelgruppen von Selectline
// zum Webshop": article files and group file from Selectline, upload, and the shop's import.
TransferOutcome RunArticleTransfer(const Settings& settings, TransferContext& context);

}  // namespace warenkai
