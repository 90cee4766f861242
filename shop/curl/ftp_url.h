#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace warenkai {

// The ftp:// and ftps:// addresses libcurl is given. User and password never appear in them.
//
// The FTP server setting names the server in one of these forms (the scheme in any case):
//   "host", "host:port", "ftp://host[:port]"  plain FTP;
//   "ftpes://host[:port]"                     FTP with explicit TLS (AUTH TLS on port 21, then
//                                             control and data connections protected);
//   "ftps://host[:port]"                      FTP with implicit TLS (TLS from the first byte,
//                                             port 990 unless given).
// "host" is a host name, an IPv4 address or an IPv6 address in brackets, a non-ASCII host name as
// UTF-8.

// How the server asks to be reached.
enum class FtpTls { None, Explicit, Implicit };

// The TLS the server setting asks for; std::nullopt exactly when FtpServerUrl refuses it.
std::optional<FtpTls> FtpServerTls(std::string_view server);

// The log-in folder of `server`: "ftp://host[:port]/", for implicit TLS "ftps://host[:port]/"
// (explicit TLS is ftp:// with TLS demanded of libcurl). std::nullopt when the host is empty or holds
// a character that does not belong in a host name (blank, "/", "@", "?", "#", "%", "\", control
// characters), or when a scheme other than ftp, ftpes and ftps is given, so the text can never
// change the address's other parts.
std::optional<std::string> FtpServerUrl(std::string_view server);

// The address of the file `remotePath` on `server`. The path reaches the server exactly as given:
// an absolute path ("/shop/a.csv") stays absolute (written "/%2Fshop/a.csv"), a relative one is
// taken from the log-in folder, and every byte of a name except A-Z a-z 0-9 - . _ ~ is escaped as
// %NN, so blanks, "#", "%", "?" and UTF-8 umlauts arrive unchanged. std::nullopt when the server is
// refused, the path is empty, names a folder (ends with "/") or holds a control character (CR, LF,
// NUL, …).
std::optional<std::string> FtpFileUrl(std::string_view server, std::string_view remotePath);

}  // namespace warenkai
