#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace warenkai::test {

// Lines of the shop's export files as the shop writes them: every field in double quotes, commas
// between, CR LF at the end. `fields` gives the filled fields by number; the others are empty.
std::string ShopLine(std::size_t fieldCount, const std::map<std::size_t, std::string>& fields);
// The header line of the customer file (25 column names) and of the order file (27).
std::string CustomerHeader();
std::string OrderHeader();

// The columns of the customer table (KU) and of the address table (AD) that the customer import fills.
const std::vector<std::string>& CustomerColumns();
const std::vector<std::string>& AddressColumns();

// One customer line: number, name and the two address blocks when given.
std::string CustomerLine(const std::string& number, const std::map<std::size_t, std::string>& fields = {});

// One order line (fields 0, 1, 2 the order identity) with one position.
struct OrderLineData {
    std::string first, second, customer;
    std::string article = "4711";
    std::string text = "Schraube";
    std::string quantity = "2";
    std::string unitPrice = "9.95";
    std::string taxRate = "19";
    std::string total = "19.9";
    std::map<std::size_t, std::string> more;  // further fields by number
};
std::string OrderLine(const OrderLineData& line);
OrderLineData Order(const std::string& first, const std::string& second, const std::string& customer);
std::string OrderLine(const std::string& first, const std::string& second, const std::string& customer);

}  // namespace warenkai::test
