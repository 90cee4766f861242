#pragma once

#include <functional>
#include <string>

namespace warenkai {

struct Settings;
class FtpControl;

// What a shop page answered: whether it answered well, and how ("HTTP 200", "HTTP 404", libcurl's
// text for an address that could not be reached).
struct PageAnswer {
    bool answered = false;
    std::string description;
};
using PageChecker = std::function<PageAnswer(const std::string& address)>;

// "Verbindung testen": logs in to the shop's FTP server with the settings as they stand (and out
// again), and asks whether the shop link answers. Returns one German text for one message box, a
// line for each of the two, saying what worked and what did not and why. No password is shown.
std::string CheckShopConnection(const Settings& settings, FtpControl& ftp, const PageChecker& checkPage);

// `address` with the password of a "user:password@" part replaced by "***".
std::string HidePassword(const std::string& address);

}  // namespace warenkai
