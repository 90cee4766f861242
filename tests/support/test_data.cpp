#include "tests/support/test_data.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "common/utf8_path.h"

namespace warenkai::test {
namespace {

std::string Unescaped(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] == '\\' && i + 1 < text.size() ? text[++i] : '\0';
        if (c == 'x') {
            bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)), i += 2;
        } else if (c == '{') {
            const std::size_t star = text.find('*', i);
            bytes.append(std::stoul(text.substr(i + 1, star - i - 1)), text[star + 1]), i = star + 2;
        } else {
            bytes += c == '\0' ? text[i] : c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c == '0' ? '\0' : c;
        }
    }
    return bytes;
}

}  // namespace

std::string TestData(const std::string& name) {
    std::ifstream file(std::filesystem::path(WARENKAI_TEST_DATA) / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::pair<std::string, std::vector<std::string>>> Cases(const std::string& name) {
    std::istringstream in(TestData(name));
    std::vector<std::pair<std::string, std::vector<std::string>>> cases;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(">")) {
            cases.emplace_back(Unescaped(line.substr(std::min<std::size_t>(2, line.size()))), Lines());
        } else if (!line.starts_with("#") && !cases.empty()) {
            cases.back().second.push_back(Unescaped(line));
        }
    }
    return cases;
}

std::string Text(const std::vector<std::string>& lines, const std::filesystem::path& folder) {
    const std::string place = folder.empty() ? "" : PathToUtf8(folder / "");
    std::string text;
    for (std::string line : lines) {
        if (const auto at = place.empty() ? std::string::npos : line.find(place); at != std::string::npos) {
            line.replace(at, place.size(), "<Ordner>/");
        }
        text += line + "\n";
    }
    return text;
}

void DeclareCustomerColumns(MemoryDatabase& database) {
    database.Table("KU").columns = {"Nummer",   "Name",          "Zusatz",       "Strasse",     "Plz",
                                    "Ort",      "SteueridentNr", "Steuernummer", "EMail",       "Telefon1",
                                    "Telefon2", "Fax",           "FreierText1",  "FreierText2", "RefAdresse"};
    database.Table("AD").columns = {"Adresstyp", "Name", "Zusatz", "Strasse", "Plz", "Ort"};
}

}  // namespace warenkai::test
