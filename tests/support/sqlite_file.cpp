#include "tests/support/sqlite_file.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace warenkai::test {

void RunSql(const std::filesystem::path& database, const std::string& sql) {
    sqlite3* connection = nullptr;
    const int opened = sqlite3_open(database.string().c_str(), &connection);
    if (opened != SQLITE_OK) {
        sqlite3_close(connection);
        FAIL() << "cannot open " << database;
    }
    char* message = nullptr;
    const int rc = sqlite3_exec(connection, sql.c_str(), nullptr, nullptr, &message);
    const std::string text = message != nullptr ? message : "";
    sqlite3_free(message);
    sqlite3_close(connection);
    ASSERT_EQ(rc, SQLITE_OK) << text;
}

std::vector<std::vector<std::string>> QueryRows(const std::filesystem::path& database, const std::string& sql) {
    std::vector<std::vector<std::string>> rows;
    sqlite3* connection = nullptr;
    if (sqlite3_open_v2(database.c_str(), &connection, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << database;
        sqlite3_close(connection);
        return rows;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(connection) << " in " << sql;
    } else {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                const auto* text = sqlite3_column_text(statement, i);
                row.emplace_back(text != nullptr ? reinterpret_cast<const char*>(text) : "");
            }
            rows.push_back(std::move(row));
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(connection);
    return rows;
}

std::vector<std::string> QueryColumn(const std::filesystem::path& database, const std::string& sql) {
    std::vector<std::string> column;
    for (auto& row : QueryRows(database, sql)) {
        column.push_back(row.empty() ? std::string() : std::move(row.front()));
    }
    return column;
}

}  // namespace warenkai::test
