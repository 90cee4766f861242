#pragma once

#include <string>

namespace warenkai {

struct TransferContext;

// Opens one of the shop's pages through the context's opener. A page that cannot be opened gets the
// error line "Fehler: Seite <address> nicht geöffnet", with the opener's reason as its cause and a
// password in the address shown as "***"; the result is false then.
bool OpenShopPage(TransferContext& context, const std::string& address);

// The message box for a page that did not open: its address (password as "***") for the user to open
// by hand, then `next` when not empty.
std::string OpenByHandMessage(const std::string& address, const std::string& next);

}  // namespace warenkai
