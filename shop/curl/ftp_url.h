#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace warenkai {

// The ftp:// addresses libcurl is given. User and password never appear in them.

// "ftp://<server>/", the log-in folder of `server` ("host" or "host:port", an IPv6 address in
// brackets, a non-ASCII host name as UTF-8). std::nullopt when `server` is empty or holds a
// character that does not belong in a host name (blank, "/", "@", "?", "#", "%", "\", control
// characters), so the text can never change the address's other parts.
std::optional<std::string> FtpServerUrl(std::string_view server);

// The address of the file `remotePath` on `server`. The path reaches the server exactly as given:
// an absolute path ("/shop/a.csv") stays absolute (written "/%2Fshop/a.csv"), a relative one is
// taken from the log-in folder, and every byte of a name except A-Z a-z 0-9 - . _ ~ is escaped as
// %NN, so blanks, "#", "%", "?" and UTF-8 umlauts arrive unchanged. std::nullopt when the path is
// empty, names a folder (ends with "/") or holds a control character (CR, LF, NUL, …).
std::optional<std::string> FtpFileUrl(std::string_view server, std::string_view remotePath);

}  // namespace warenkai
