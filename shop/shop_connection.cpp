#include "shop/shop_connection.h"

#include "common/status_area.h"
#include "common/transfer_context.h"
#include "settings/settings.h"
#include "shop/ftp_control.h"
#include "shop/transfer_progress.h"

namespace warenkai {

bool ShopConnection(const Settings& settings, TransferContext& context, const ShopConnectionOptions& options,
                    const std::function<void()>& transfers) {
    if (options.announce) {
        context.status.SetStatusText(kConnectingStatus);
    }
    bool connected = false;
    try {
        connected =
            context.ftp.connect(settings.ftpServer, settings.ftpUser, settings.ftpPassword, options.connectionFlags);
    } catch (...) {
        // A control that throws instead of answering false has not connected either.
    }
    if (!connected) {
        context.status.SetStatusText(kConnectionFailedStatus);
        if (!options.failureErrorLine.empty()) {
            context.status.AddError(options.failureErrorLine, context.ftp.lastFailure());
        }
        return false;
    }
    // The connection is closed whatever happens from here, also when an error ends the transfer; the
    // progress bar follows the transfers while it stands.
    struct Disconnect {
        FtpControl& ftp;
        ~Disconnect() {
            try {
                ftp.disconnect();
            } catch (...) {
            }
            ftp.setTransferProgressHandler(nullptr);
        }
    } disconnectAtEnd{context.ftp};
    StatusArea& status = context.status;
    context.ftp.setTransferProgressHandler(
        [&status](std::int64_t total, std::int64_t done) { ShowTransferProgress(status, total, done); });
    if (options.setBinaryTransferType) {
        context.ftp.setTransfertype(kTransferTypeBinary);
    }
    context.status.SetStatusText("Verbindung erfolgreich");
    if (transfers) {
        transfers();
    }
    return true;
}

}  // namespace warenkai
