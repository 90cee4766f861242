#include "tests/export/generated_articles.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace warenkai::test {
namespace {

std::ifstream OpenData(const std::string& name) {
    std::ifstream file(std::filesystem::path(WARENKAI_TEST_DATA) / "export" / name, std::ios::binary);
    if (!file) {
        throw std::runtime_error("tests/data/export/" + name + " fehlt");
    }
    return file;
}

// A value of selectline.txt: its type character, then the value.
Variant Value(const std::string& text) {
    const std::string value = text.substr(1);
    std::string unescaped;
    for (std::size_t i = 0; i < value.size(); ++i) {
        unescaped += value[i] != '\\' ? value[i] : value.at(++i) == 'r' ? '\r' : '\n';
    }
    return text.at(0) == '#'   ? Variant(std::int64_t{std::stoll(value)})
           : text.at(0) == '%' ? Variant(std::stod(value))
           : text.at(0) == '@'
               ? Variant(Date{std::stoi(value.substr(0, 4)), std::stoi(value.substr(5, 2)), std::stoi(value.substr(8))})
           : text.at(0) == '?' ? Variant(value == "1")
           : text.at(0) == '~' ? Variant()
                               : Variant(unescaped);
}

}  // namespace

void AddGeneratedArticles(MemoryDatabase& database, int articleCount) {
    std::ifstream file = OpenData("selectline.txt");
    int articles = 0;
    for (std::string line; std::getline(file, line);) {
        std::istringstream fields(line);
        std::string code;
        std::getline(fields, code, '\t');
        if (code == "AR" && articles++ == articleCount) {
            break;
        }
        if (code.empty() || code[0] == '#') {
            continue;
        }
        std::vector<std::pair<std::string, Variant>> row;
        for (std::string field; std::getline(fields, field, '\t');) {
            row.emplace_back(field.substr(0, field.find('=')), Value(field.substr(field.find('=') + 1)));
        }
        database.Table(code).Add(row);
    }
}

void UseGeneratedMapping(Settings& settings, const std::string& name) {
    std::ifstream file = OpenData(name + "/mapping.txt");
    for (auto& row : settings.mapping) {
        std::getline(std::getline(std::getline(file, row.selectlineField, '|'), row.defaultValue, '|'), row.prefix);
    }
    settings.onlyShopActive = name == "matchcode";
}

}  // namespace warenkai::test
