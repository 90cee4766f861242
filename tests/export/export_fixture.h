#pragma once

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

    SelectlineSession session;
    ArticlesSeen seen;
};

// A value of a Selectline data file: its type character, then the value.
inline Variant RecordValue(const std::string& text) {
    const std::string value = text.substr(1);
    return text.at(0) == '#'   ? Variant(std::int64_t{std::stoll(value)})
           : text.at(0) == '%' ? Variant(std::stod(value))
           : text.at(0) == '@'
               ? Variant(Date{std::stoi(value.substr(0, 4)), std::stoi(value.substr(5, 2)), std::stoi(value.substr(8))})
           : text.at(0) == '?' ? Variant(value == "1")
           : text.at(0) == '~' ? Variant()
                               : Variant(value);
}

// The records of a Selectline data file: the lines of its case (see Cases), one record a line, the
// table code, then field=value, separated by tabs.
inline void AddRecords(MemoryDatabase& database, const Lines& records) {
    for (const std::string& record : records) {
        std::istringstream fields(record);
        std::string code;
        std::getline(fields, code, '\t');
        std::vector<std::pair<std::string, Variant>> row;
        for (std::string field; std::getline(fields, field, '\t');) {
            row.emplace_back(field.substr(0, field.find('=')), RecordValue(field.substr(field.find('=') + 1)));
        }
        database.Table(code).Add(row);
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
    for (auto line = lines.begin(), end = line; line != lines.end(); line = end) {
        end = std::find_if(line, lines.end(), [&](const std::string& next) { return next != *line; });
        runs.push_back(*line + (end - line == 1 ? "" : " (x" + std::to_string(end - line) + ")"));
    }
    return Text(runs, folder);
}

}  // namespace warenkai::test
