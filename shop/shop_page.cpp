#include "shop/shop_page.h"

#include "common/status_area.h"
#include "common/transfer_context.h"
#include "common/web_opener.h"
#include "shop/connection_check.h"

namespace warenkai {

bool OpenShopPage(TransferContext& context, const std::string& address) {
    PageOpening opening;
    try {
        opening = context.web.OpenWebAddress(address);
    } catch (const std::exception& error) {
        opening = {false, error.what()};
    }
    if (!opening.opened) {
        context.status.AddError("Fehler: Seite " + HidePassword(address) + " nicht geöffnet", opening.failure);
    }
    return opening.opened;
}

std::string OpenByHandMessage(const std::string& address, const std::string& next) {
    std::string text =
        "Die Seite konnte nicht geöffnet werden. Bitte öffnen Sie sie selbst im Browser:\n" + HidePassword(address);
    if (!next.empty()) {
        text += "\n\n" + next;
    }
    return text;
}

}  // namespace warenkai
