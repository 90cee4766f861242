#pragma once

#include "common/transfer_guard.h"

namespace warenkai {

// The transfer's name in the run history.
inline constexpr const char* kPictureUploadName = "Bilder zum Webshop";

struct Settings;

inline constexpr const char* kNoPictureFolderMessage = "Kein Pfad zu den Bildern vorhanden";
inline constexpr const char* kInvalidPictureFolderMessage = "Der Pfad zu den Bildern ist nicht gültig";
struct TransferContext;

// The picture upload of the button "Datenübertragung von Bildern in den Webshop": every file of the
// picture folder into the shop's picture folder, one connection per file.
TransferOutcome UploadPictures(const Settings& settings, TransferContext& context);

}  // namespace warenkai
