#include "tests/import/import_test_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

namespace warenkai::test {
namespace {

// A line of `fieldCount` fields, the filled ones by number.
std::string ShopLine(std::size_t fieldCount, std::map<std::size_t, std::string> fields) {
    std::string line;
    for (std::size_t i = 0; i < fieldCount; ++i) {
        line += (i == 0 ? "\"" : ",\"") + fields[i] + "\"";
    }
    return line + "\r\n";
}

std::string Unescaped(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // c: the character after a backslash, or the backslash for a byte that stands as it is.
        const char c = text[i] == '\\' && i + 1 < text.size() ? text[++i] : '\\';
        bytes += c == '\\'  ? text[i]
                 : c == 'r' ? '\r'
                 : c == 'n' ? '\n'
                 : c == 't' ? '\t'
                 : c == '0' ? '\0'
                 : c == 'x' ? static_cast<char>(std::stoi(text.substr((i += 2) - 1, 2), nullptr, 16))
                            : c;
    }
    return bytes;
}

}  // namespace

std::string CustomerHeader() {
    return ShopLine(25, {{0, "spalte0"}, {24, "spalte24"}});
}

std::string OrderHeader() {
    return ShopLine(27, {{0, "spalte0"}, {26, "spalte26"}});
}

const std::vector<std::string>& CustomerColumns() {
    static const std::vector<std::string> columns = {
        "Nummer", "Name",     "Zusatz",   "Strasse", "Plz",         "Ort",         "SteueridentNr", "Steuernummer",
        "EMail",  "Telefon1", "Telefon2", "Fax",     "FreierText1", "FreierText2", "RefAdresse"};
    return columns;
}

const std::vector<std::string>& AddressColumns() {
    static const std::vector<std::string> columns = {"Adresstyp", "Name", "Zusatz", "Strasse", "Plz", "Ort"};
    return columns;
}

std::string CustomerLine(const std::string& number, const std::map<std::size_t, std::string>& fields) {
    auto all = fields;
    all[0] = number;
    return ShopLine(25, all);
}

std::string OrderLine(const OrderLineData& data) {
    auto fields = data.more;
    fields[0] = data.first, fields[1] = data.second, fields[2] = data.customer, fields[5] = data.text;
    fields[6] = data.article, fields[8] = data.unitPrice, fields[11] = data.taxRate, fields[14] = data.total;
    fields[18] = data.quantity;
    return ShopLine(27, fields);
}

OrderLineData Order(const std::string& first, const std::string& second, const std::string& customer) {
    OrderLineData data;
    std::tie(data.first, data.second, data.customer) = std::tie(first, second, customer);
    return data;
}

std::string OrderLine(const std::string& first, const std::string& second, const std::string& customer) {
    return OrderLine(Order(first, second, customer));
}

std::string ExpectedFile(const std::string& name) {
    std::ifstream file(std::filesystem::path(WARENKAI_TEST_DATA) / "import" / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::pair<std::string, std::vector<std::string>>> Cases(const std::string& name) {
    std::istringstream in(ExpectedFile("cases/" + name));
    std::vector<std::pair<std::string, std::vector<std::string>>> cases;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(">")) {
            cases.emplace_back(Unescaped(line.substr(std::min<std::size_t>(2, line.size()))),
                               std::vector<std::string>());
        } else if (!line.starts_with("#")) {
            cases.back().second.push_back(Unescaped(line));
        }
    }
    return cases;
}

std::string Text(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text;
}

}  // namespace warenkai::test
