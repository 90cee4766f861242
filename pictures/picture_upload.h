#pragma once

#include "common/transfer_guard.h"

namespace warenkai {

struct Settings;
struct TransferContext;

// The picture upload of the button "Datenübertragung von Bildern in den Webshop": every file of the
// picture folder into the shop's picture folder, one connection per file.
TransferOutcome UploadPictures(const Settings& settings, TransferContext& context);

}  // namespace warenkai
