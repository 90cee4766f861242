#include "app/qt_web_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace warenkai {

PageOpening QtWebOpener::OpenWebAddress(const std::string& address) {
    // The address goes out as it stands (the shop's pages carry their own query texts); the tolerant
    // parser accepts what a browser's address bar would.
    QUrl url(QString::fromStdString(address), QUrl::TolerantMode);
    if (url.scheme().isEmpty()) {
        // A shop link written without "http://" ("www.shop.de") means a web address, as on the command
        // line; as a relative address the browser would never be asked to show it.
        url = QUrl(QStringLiteral("http://") + QString::fromStdString(address), QUrl::TolerantMode);
    }
    if (QDesktopServices::openUrl(url)) {
        return {true, {}};
    }
    return {false, "Das System hat keinen Browser für die Seite gestartet"};
}

}  // namespace warenkai
