// The demo shop that the end-to-end tests and a developer's trials use: its import page must refuse
// what the shop's would, or the tests prove nothing.
#include <fstream>

#include <gtest/gtest.h>

#include "shop/curl/http_page_request.h"
#include "tests/cli/demo_shop_process.h"

namespace warenkai::test {
namespace {

const std::string kImportPage = "/login/admin/sonstiges/import/import2.php";

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class DemoShopTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(shop.Running()) << shop.StartError(); }

    long Import(const std::string& query) { return RequestHttpPage(shop.ShopLink() + kImportPage + query).status; }

    DemoShopProcess shop;
};

TEST_F(DemoShopTest, TheImportPageReadsWellFormedFilesAndRefusesOthers) {
    WriteBytes(shop.ImportFolder() / "artikelstamm1.csv",
               "\"artikelnummer\",\"bezeichnung\"\r\n\"10001\",\"Spaten, gro\xDF\"\r\n");
    WriteBytes(shop.ImportFolder() / "artikelstamm2.csv", "\"artikelnummer\",\"bezeichnung\"\r\n\"10001\"\r\n");
    WriteBytes(shop.ImportFolder() / "artikelstamm3.csv", "\"artikelnummer\",\"bezeichnung\"\n\"10001\",\"x\"\n");
    WriteBytes(shop.ImportFolder() / "artikelgruppe.csv", "\"obergruppe\",\"untergruppe\"\r\n\"Garten\",\"\"\r\n");

    EXPECT_EQ(Import("?Autowert=artikelstamm1.csv&Tabelle=artikel"), 200);
    EXPECT_EQ(Import("?Autowert=artikelgruppe.csv&Tabelle=gruppen"), 200);
    EXPECT_EQ(Import("?Autowert=artikelstamm2.csv&Tabelle=artikel"), 422);  // a line short of fields
    EXPECT_EQ(Import("?Autowert=artikelstamm3.csv&Tabelle=artikel"), 422);  // LF only
    EXPECT_EQ(Import("?Autowert=artikelgruppe.csv&Tabelle=artikel"), 422);  // not an article file
    EXPECT_EQ(Import("?Autowert=artikelstamm9.csv&Tabelle=artikel"), 404);
    EXPECT_EQ(Import("?Autowert=../../../../../etc/passwd&Tabelle=artikel"), 400);
    EXPECT_EQ(Import("?Autowert=a/b.csv&Tabelle=artikel"), 400);
    EXPECT_EQ(Import("?Autowert=artikelstamm1.csv&Tabelle=kunden"), 400);
    EXPECT_EQ(Import("?Tabelle=artikel"), 400);
    // A shop link ending with "/" gives "//" before "login"; the web server takes it as "/".
    EXPECT_EQ(
        RequestHttpPage(shop.ShopLink() + "/" + kImportPage + "?Autowert=artikelstamm1.csv&Tabelle=artikel").status,
        200);
    EXPECT_EQ(shop.Requests().front(), "/shop" + kImportPage + "?Autowert=artikelstamm1.csv&Tabelle=artikel 200");
}

}  // namespace
}  // namespace warenkai::test
