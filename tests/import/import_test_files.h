#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace warenkai::test {

// Lines of the shop's export files as the shop writes them: every field in double quotes, commas
// between, CR LF at the end; `fields` gives the filled fields by number, the others are empty.
// The header line of the customer file (25 fields) and of the order file (27).
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

// The bytes of tests/data/import/`name`.
std::string ExpectedFile(const std::string& name);

// The cases of tests/data/import/cases/`name`: each a line "> " and its input, then the lines it is
// expected to give; lines beginning with "#" are comments. Escapes: \r \n \t \0 \\ \xHH.
std::vector<std::pair<std::string, std::vector<std::string>>> Cases(const std::string& name);

// The lines, each followed by a line feed.
std::string Text(const std::vector<std::string>& lines);

}  // namespace warenkai::test
