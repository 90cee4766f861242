#include "tests/import/import_test_files.h"

namespace warenkai::test {

std::string ShopLine(std::size_t fieldCount, const std::map<std::size_t, std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fieldCount; ++i) {
        const auto found = fields.find(i);
        line += (i == 0 ? "\"" : ",\"") + (found == fields.end() ? std::string() : found->second) + "\"";
    }
    return line + "\r\n";
}

namespace {

std::string Header(std::size_t fieldCount) {
    std::map<std::size_t, std::string> names;
    for (std::size_t i = 0; i < fieldCount; ++i) {
        names[i] = "spalte" + std::to_string(i);
    }
    return ShopLine(fieldCount, names);
}

}  // namespace

std::string CustomerHeader() {
    return Header(25);
}

std::string OrderHeader() {
    return Header(27);
}

const std::vector<std::string>& CustomerColumns() {
    static const std::vector<std::string> columns = {
        "Nummer", "Name",     "Zusatz", "Strasse",     "Plz",         "Ort",       "SteueridentNr", "Steuernummer",
        "EMail",  "Telefon1", "Telefon2", "Fax", "FreierText1", "FreierText2", "RefAdresse"};
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
    fields[0] = data.first;
    fields[1] = data.second;
    fields[2] = data.customer;
    fields[5] = data.text;
    fields[6] = data.article;
    fields[8] = data.unitPrice;
    fields[11] = data.taxRate;
    fields[14] = data.total;
    fields[18] = data.quantity;
    return ShopLine(27, fields);
}

OrderLineData Order(const std::string& first, const std::string& second, const std::string& customer) {
    OrderLineData data;
    data.first = first;
    data.second = second;
    data.customer = customer;
    return data;
}

std::string OrderLine(const std::string& first, const std::string& second, const std::string& customer) {
    return OrderLine(Order(first, second, customer));
}

}  // namespace warenkai::test
