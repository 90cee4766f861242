#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {

void SetShopAccess(Settings& settings, const ShopAccess& access) {
    settings.ftpServer = access.ftpServer;
    settings.ftpUser = access.ftpUser;
    settings.ftpPassword = access.ftpPassword;
    settings.shopRoot = access.shopRoot;
    settings.shopLink = access.shopLink;
}

}  // namespace warenkai::test
