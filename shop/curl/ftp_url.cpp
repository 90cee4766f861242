#include "shop/curl/ftp_url.h"

#include <cstddef>

namespace warenkai {
namespace {

bool IsControlCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

bool BelongsInHost(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
        return true;  // UTF-8 of an international host name
    }
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
           c == '_' || c == ':' || c == '[' || c == ']';
}

void AppendEscaped(std::string& url, std::string_view segment) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : segment) {
        const auto byte = static_cast<unsigned char>(c);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            url += c;
        } else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0x0F];
        }
    }
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

struct ServerParts {
    FtpTls tls = FtpTls::None;
    std::string_view host;  // "host" or "host:port"
};

std::optional<ServerParts> SplitServer(std::string_view server) {
    struct Scheme {
        std::string_view prefix;
        FtpTls tls;
    };
    static constexpr Scheme kSchemes[] = {
        {"ftp://", FtpTls::None}, {"ftpes://", FtpTls::Explicit}, {"ftps://", FtpTls::Implicit}};
    ServerParts parts{FtpTls::None, server};
    for (const auto& scheme : kSchemes) {
        if (StartsWithIgnoringCase(server, scheme.prefix)) {
            parts = {scheme.tls, server.substr(scheme.prefix.size())};
            break;
        }
    }
    // Any other scheme keeps its "/" and is refused with the host names that hold one.
    if (parts.host.empty()) {
        return std::nullopt;
    }
    for (const char c : parts.host) {
        if (!BelongsInHost(c)) {
            return std::nullopt;
        }
    }
    return parts;
}

}  // namespace

std::optional<FtpTls> FtpServerTls(std::string_view server) {
    const auto parts = SplitServer(server);
    if (!parts) {
        return std::nullopt;
    }
    return parts->tls;
}

std::optional<std::string> FtpServerUrl(std::string_view server) {
    const auto parts = SplitServer(server);
    if (!parts) {
        return std::nullopt;
    }
    return (parts->tls == FtpTls::Implicit ? "ftps://" : "ftp://") + std::string(parts->host) + "/";
}

std::optional<std::string> FtpFileUrl(std::string_view server, std::string_view remotePath) {
    auto url = FtpServerUrl(server);
    if (!url || remotePath.empty() || remotePath.back() == '/') {
        return std::nullopt;
    }
    for (const char c : remotePath) {
        if (IsControlCharacter(c)) {
            return std::nullopt;
        }
    }
    std::string_view rest = remotePath;
    if (rest.front() == '/') {
        // In an ftp:// or ftps:// address the path starts in the log-in folder; "%2F" names the root.
        *url += "%2F";
        rest.remove_prefix(1);
    }
    while (true) {
        const auto slash = rest.find('/');
        AppendEscaped(*url, rest.substr(0, slash));
        if (slash == std::string_view::npos) {
            break;
        }
        *url += '/';
        rest.remove_prefix(slash + 1);
    }
    return url;
}

}  // namespace warenkai
