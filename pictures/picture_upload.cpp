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

inline constexpr const char* kNotTriedCause =
    "nicht versucht: der Webserver war bei einer Datei davor nicht zu erreichen";

std::string ConnectionFailedLine(const std::string& name) {
    return "Fehler: Verbindung konnte nicht aufgebaut werden. " + name;
}

// How far the upload came, for its result line.
struct PictureTally {
    std::int64_t pictures = 0;  // in the folder
    std::int64_t sent = 0;
};

// One file over a connection of its own. False when the connection could not be made: the server
// could not be reached, did not answer or refused the log-in.
bool UploadPicture(const Settings& settings, TransferContext& context, const std::string& name, std::size_t position,
                   std::size_t count, PictureTally& tally) {
    StatusArea& status = context.status;
    ShopConnectionOptions options;
    options.connectionFlags = settings.passiveMode ? kPassiveModeFlag : 0;
    options.announce = false;  // announced once for all files
    options.setBinaryTransferType = true;
    options.failureErrorLine = ConnectionFailedLine(name);
    return ShopConnection(settings, context, options, [&] {
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
            ++tally.sent;
            status.SetStatusText("Datei erfolgreich übertragen");
        } else {
            status.SetStatusText("Fehler beim übertragen der Datei");
            status.AddError("Fehler: " + name, context.ftp.lastFailure());
        }
    });
}

}  // namespace

TransferOutcome UploadPictures(const Settings& settings, TransferContext& outer) {
    CountingStatusArea status(outer.status);
    TransferContext context = WithStatusArea(outer, status);
    PictureTally tally;
    return RunTransfer(
        status, context.dialogs,
        [&] {
            status.ClearErrors();
            if (settings.pictureFolder.empty()) {
                context.dialogs.ShowMessage(kNoPictureFolderMessage);
                return;
            }
            const auto names = ListPictureFiles(settings.pictureFolder);
            if (!names) {
                context.dialogs.ShowMessage(kInvalidPictureFolderMessage);
                return;
            }
            tally.pictures = static_cast<std::int64_t>(names->size());
            status.SetStatusText(kConnectingStatus);
            for (std::size_t i = 0; i < names->size(); ++i) {
                StopIfCancelled(context.cancel, static_cast<std::int64_t>(i), tally.pictures, "Bildern");
                if (!UploadPicture(settings, context, (*names)[i], i + 1, names->size(), tally)) {
                    // A server that could not be reached will not be reached for the next file
                    // either: one time-out for the run, and the list still names every file not sent.
                    for (std::size_t rest = i + 1; rest < names->size(); ++rest) {
                        status.AddError(ConnectionFailedLine((*names)[rest]), kNotTriedCause);
                    }
                    break;
                }
            }
            context.dialogs.ShowMessage("Fertig");
        },
        [&] {
            return GermanCount(tally.sent) + " von " + CountOf(tally.pictures, "Bild", "Bildern") + " übertragen, " +
                   CountOf(static_cast<std::int64_t>(status.ErrorLines()), "Fehler", "Fehler");
        });
}

}  // namespace warenkai
