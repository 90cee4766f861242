// The demo shop that the end-to-end tests and a developer's trials use: its pages and its files
// must look like the shop's, or the tests prove nothing.
#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include <gtest/gtest.h>

#include "shop/curl/http_page_request.h"
#include "tests/cli/demo_shop_process.h"

namespace warenkai::test {
namespace {

const std::string kImportPage = "/login/admin/sonstiges/import/import2.php";
const std::string kExportPage = "/login/admin/sonstiges/export/export2.php";

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// The fields of one line written as "a","b",… (every field quoted, nothing between fields but a
// comma); std::nullopt when the line is not of that form.
std::optional<std::vector<std::string>> QuotedFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (true) {
        if (pos >= line.size() || line[pos] != '"') {
            return std::nullopt;
        }
        const std::size_t close = line.find('"', pos + 1);
        if (close == std::string::npos) {
            return std::nullopt;
        }
        fields.push_back(line.substr(pos + 1, close - pos - 1));
        pos = close + 1;
        if (pos == line.size()) {
            return fields;
        }
        if (line[pos] != ',') {
            return std::nullopt;
        }
        ++pos;
    }
}

// The lines of a shop file, each checked for CR LF and quoted fields, as lists of fields.
std::vector<std::vector<std::string>> ShopLines(const std::string& bytes) {
    std::vector<std::vector<std::string>> lines;
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "line without CR LF at byte " << start;
            break;
        }
        const std::string line = bytes.substr(start, end - start);
        const auto parsed = QuotedFields(line);
        EXPECT_TRUE(parsed.has_value()) << line;
        std::vector<std::string> fields = parsed.value_or(std::vector<std::string>{});
        lines.push_back(std::move(fields));
        start = end + 2;
    }
    return lines;
}

class DemoShopTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(shop.Running()) << shop.StartError(); }

    long Import(const std::string& query) { return RequestHttpPage(shop.ShopLink() + kImportPage + query).status; }

    DemoShopProcess shop;
};

TEST_F(DemoShopTest, TheExportPageWritesCustomersAndOrdersInTheShopsFormat) {
    ASSERT_EQ(RequestHttpPage(shop.ShopLink() + kExportPage).status, 200);
    const std::string customerBytes = ReadBytes(shop.ExportFolder() / "Exportkunde.csv");
    const std::string orderBytes = ReadBytes(shop.ExportFolder() / "Exportbestellung.csv");
    const auto customers = ShopLines(customerBytes);
    const auto orders = ShopLines(orderBytes);

    ASSERT_GE(customers.size(), 3u);
    ASSERT_GE(orders.size(), 4u);
    for (const auto& line : customers) {
        EXPECT_EQ(line.size(), 25u);
    }
    for (const auto& line : orders) {
        EXPECT_EQ(line.size(), 27u);
    }
    EXPECT_EQ(customers[0][0], "kundennummer");
    // Windows-1252: "ü" is one byte FC, "ß" DF; a comma stands inside a quoted value.
    EXPECT_NE(customerBytes.find("M\xFCller, Gartenbau"), std::string::npos);
    EXPECT_NE(customerBytes.find("stra\xDF" "e 45"), std::string::npos);

    // Every order's customer is among the customers; some orders have several lines.
    std::map<std::string, int> linesPerOrder;
    for (std::size_t i = 1; i < orders.size(); ++i) {
        const auto& order = orders[i];
        ++linesPerOrder[order[0]];
        const bool known = std::any_of(customers.begin() + 1, customers.end(),
                                       [&](const auto& customer) { return customer[0] == order[2]; });
        EXPECT_TRUE(known) << "order " << order[0] << " of unknown customer " << order[2];
    }
    EXPECT_GT(std::count_if(linesPerOrder.begin(), linesPerOrder.end(), [](const auto& entry) { return entry.second > 1; }),
              1);
}

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
    EXPECT_EQ(RequestHttpPage(shop.ShopLink() + "/" + kImportPage + "?Autowert=artikelstamm1.csv&Tabelle=artikel")
                  .status,
              200);
    EXPECT_EQ(shop.Requests().front(), "/shop" + kImportPage + "?Autowert=artikelstamm1.csv&Tabelle=artikel 200");
}

TEST(DemoShopFaults, APageCanBeMadeToAnswer500) {
    DemoShopProcess shop({.failingPages = {"import", "export"}});
    ASSERT_TRUE(shop.Running()) << shop.StartError();
    EXPECT_EQ(RequestHttpPage(shop.ShopLink() + kExportPage).status, 500);
    EXPECT_EQ(RequestHttpPage(shop.ShopLink() + kImportPage + "?Autowert=a.csv&Tabelle=artikel").status, 500);
    EXPECT_FALSE(std::filesystem::exists(shop.ExportFolder() / "Exportkunde.csv"));
}

}  // namespace
}  // namespace warenkai::test
