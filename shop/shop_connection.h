#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace warenkai {

struct Settings;
struct TransferContext;

// How one caller uses the shop connection.
struct ShopConnectionOptions {
    std::int32_t connectionFlags = 0;
    // Set "Verbinde mit Webserver" before connecting (the picture upload announces once
    // for all its connections and passes false).
    bool announce = true;
    // Write transfertype 2 after a successful connect (the picture upload).
    bool setBinaryTransferType = false;
    // Added to the error list when the connection fails; nothing when empty.
    std::string failureErrorLine;
};

inline constexpr const char* kConnectingStatus = "Verbinde mit Webserver";
inline constexpr const char* kConnectionFailedStatus = "Verbindung konnte nicht aufgebaut werden";
// The error-list line of a connection that failed; the FTP control's reason is its cause.
inline constexpr const char* kConnectionFailedLine = "Fehler: Verbindung konnte nicht aufgebaut werden";

// Announce, connect with the FTP settings as they stand, report, run `transfers`, disconnect.
// `disconnect` follows only a successful connect. Returns whether the connection stood.
bool ShopConnection(const Settings& settings, TransferContext& context, const ShopConnectionOptions& options,
                    const std::function<void()>& transfers);

}  // namespace warenkai
