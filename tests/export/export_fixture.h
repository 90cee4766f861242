#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "export/article_export.h"
#include "export/articles_seen.h"
#include "selectline/selectline_session.h"
#include "tests/support/fake_transfer_world.h"
#include "tests/support/test_data.h"

namespace warenkai::test {

// The article transfer's world: the window's fakes and an in-memory Selectline with the five tables of
// the transfer.
struct ExportWorld : FakeTransferWorld {
    ExportWorld() {
        for (const char* code : {"AR", "AG", "TE", "AP", "UD"}) {
            database->Table(code);
        }
    }

    // Opens the session as the transfer does, forgets what that did, and runs the article walk. The
    // session stays open for the group walk, which gets `seen`.
    int Export() {
        session = OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, context);
        journal.Clear();
        return ExportArticles(settings, context, session, seen);
    }

    // Sets the Selectline field, default value and prefix of the row with shop column `shopColumn`.
    void Map(const std::string& shopColumn, const std::string& field, const std::string& defaultValue = "") {
        const auto row = std::find_if(settings.mapping.begin(), settings.mapping.end(),
                                      [&](const MappingRow& r) { return r.shopColumn == shopColumn; });
        ASSERT_NE(row, settings.mapping.end()) << shopColumn;
        *row = {row->shopColumn, field, defaultValue, ""};
    }

    SelectlineSession session;
    ArticlesSeen seen;
};

// A value of a Selectline data file: its type character, then the value.
inline Variant RecordValue(const std::string& text) {
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

// The records of the Selectline data file tests/data/`name` (one a line: the table code, then
// field=value, separated by tabs), up to the article (table AR) number `articleCount`.
inline void AddRecords(MemoryDatabase& database, const std::string& name, int articleCount = -1) {
    std::istringstream file(TestData(name));
    int articles = 0;
    for (std::string line; std::getline(file, line);) {
        std::istringstream fields(line);
        std::string code;
        std::getline(fields, code, '\t');
        if (code == "AR" && articles++ == articleCount) {
            break;
        }
        std::vector<std::pair<std::string, Variant>> row;
        for (std::string field; !code.starts_with('#') && std::getline(fields, field, '\t');) {
            row.emplace_back(field.substr(0, field.find('=')), RecordValue(field.substr(field.find('=') + 1)));
        }
        if (!row.empty()) {
            database.Table(code).Add(row);
        }
    }
}

// The field mapping of the data file tests/data/`name`: one row a line, field|default value|prefix.
inline void UseMapping(Settings& settings, const std::string& name) {
    std::istringstream mapping(TestData(name));
    for (auto& row : settings.mapping) {
        std::getline(std::getline(std::getline(mapping, row.selectlineField, '|'), row.defaultValue, '|'), row.prefix);
    }
}

// `lines` as Text writes them, with a run of equal lines written once and " (xN)".
inline std::string Runs(const Lines& lines, const std::filesystem::path& folder = {}) {
    Lines runs;
    for (std::size_t i = 0, run = 1; i < lines.size(); i += run, run = 1) {
        while (i + run < lines.size() && lines[i + run] == lines[i]) {
            ++run;
        }
        runs.push_back(lines[i] + (run == 1 ? "" : " (x" + std::to_string(run) + ")"));
    }
    return Text(runs, folder);
}

}  // namespace warenkai::test
