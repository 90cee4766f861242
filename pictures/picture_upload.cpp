#include "pictures/picture_upload.h"

#include <string>

#include "common/cancel_request.h"
#include "common/status_area.h"
#include "common/transfer_context.h"
#include "common/user_dialogs.h"
#include "common/utf8_path.h"
#include "pictures/picture_list.h"
#include "settings/settings.h"
#include "shop/ftp_control.h"
#include "shop/shop_connection.h"

namespace warenkai {
namespace {

constexpr const char* kPictureFolderOnServer = "/config/bilder_artikel/";

// The folder, one separator and the name; a folder that already ends with one gets no second.
std::filesystem::path LocalPicturePath(const std::string& folder, const std::string& name) {
    return PathFromUtf8(folder) / PathFromUtf8(name);
}

// One file over a connection of its own.
void UploadPicture(const Settings& settings, TransferContext& context, const std::string& name, std::size_t position,
                   std::size_t count) {
    StatusArea& status = context.status;
    ShopConnectionOptions options;
    options.connectionFlags = settings.passiveMode ? kPassiveModeFlag : 0;
    options.announce = false;  // announced once for all files
    options.setBinaryTransferType = true;
    options.failureErrorLine = "Fehler: Verbindung konnte nicht aufgebaut werden. " + name;
    ShopConnection(settings, context, options, [&] {
        status.SetStatusText("Übertrage die Datei " + name + " (" + std::to_string(position) + " von " +
                             std::to_string(count) + " Dateien)");
        bool stored = false;
        try {
            stored = context.ftp.upload(LocalPicturePath(settings.pictureFolder, name),
                                        settings.shopRoot + kPictureFolderOnServer + name,
                                        settings.synchronousTransfer ? 0 : 1);
        } catch (...) {
            // A control that throws has not stored the file; it is reported like any failed upload.
        }
        if (stored) {
            status.SetStatusText("Datei erfolgreich übertragen");
        } else {
            status.SetStatusText("Fehler beim übertragen der Datei");
            status.AddError("Fehler: " + name);
        }
    });
}

}  // namespace

TransferOutcome UploadPictures(const Settings& settings, TransferContext& context) {
    return RunTransfer(context.status, context.dialogs, [&] {
        context.status.ClearErrors();
        if (settings.pictureFolder.empty()) {
            context.dialogs.ShowMessage(kNoPictureFolderMessage);
            return;
        }
        const auto names = ListPictureFiles(settings.pictureFolder);
        if (!names) {
            context.dialogs.ShowMessage(kInvalidPictureFolderMessage);
            return;
        }
        context.status.SetStatusText(kConnectingStatus);
        const auto count = static_cast<std::int64_t>(names->size());
        for (std::size_t i = 0; i < names->size(); ++i) {
            StopIfCancelled(context.cancel, static_cast<std::int64_t>(i), count, "Bildern");
            UploadPicture(settings, context, (*names)[i], i + 1, names->size());
        }
        context.dialogs.ShowMessage("Fertig");
    });
}

}  // namespace warenkai
