#include "shop/connection_check.h"

#include "settings/settings.h"
#include "shop/ftp_control.h"

namespace warenkai {

std::string HidePassword(const std::string& address) {
    const auto scheme = address.find("://");
    const auto start = scheme == std::string::npos ? 0 : scheme + 3;
    const auto end = address.find_first_of("/?#", start);
    const auto at = address.rfind('@', end == std::string::npos ? std::string::npos : end);
    if (at == std::string::npos || at < start) {
        return address;
    }
    const auto colon = address.find(':', start);
    if (colon == std::string::npos || colon > at) {
        return address;
    }
    return address.substr(0, colon + 1) + "***" + address.substr(at);
}

std::string CheckShopConnection(const Settings& settings, FtpControl& ftp, const PageChecker& checkPage) {
    std::string text = "FTP-Server " + settings.ftpServer + ": ";
    bool loggedIn = false;
    try {
        loggedIn = ftp.connect(settings.ftpServer, settings.ftpUser, settings.ftpPassword,
                               settings.passiveMode ? kPassiveModeFlag : 0);
    } catch (...) {
    }
    if (loggedIn) {
        text += "Anmeldung erfolgreich";
        ftp.disconnect();
    } else {
        const std::string cause = ftp.lastFailure();
        text += "Anmeldung fehlgeschlagen" + (cause.empty() ? std::string() : " (" + cause + ")");
    }
    text += "\nLink zum Webshop " + HidePassword(settings.shopLink) + ": ";
    if (settings.shopLink.empty()) {
        return text + "nicht angegeben";
    }
    const PageAnswer answer = checkPage(settings.shopLink);
    text += answer.answered ? "antwortet" : "antwortet nicht";
    if (!answer.description.empty()) {
        text += " (" + answer.description + ")";
    }
    return text;
}

}  // namespace warenkai
