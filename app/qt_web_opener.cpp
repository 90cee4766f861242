#include "app/qt_web_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace warenkai {

void QtWebOpener::OpenWebAddress(const std::string& address) {
    // The address goes out as it stands (the shop's pages carry their own query texts); the tolerant
    // parser accepts what a browser's address bar would.
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address), QUrl::TolerantMode));
}

}  // namespace warenkai
