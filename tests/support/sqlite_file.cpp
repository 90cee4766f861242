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

std::vector<std::string> QueryColumn(const std::filesystem::path& database, const std::string& sql) {
    std::vector<std::string> column;
    sqlite3* connection = nullptr;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_open_v2(database.c_str(), &connection, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(connection, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(connection) << " in " << database << ": " << sql;
    }
    while (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW) {
        const auto* text = sqlite3_column_text(statement, 0);
        column.emplace_back(text != nullptr ? reinterpret_cast<const char*>(text) : "");
    }
    sqlite3_finalize(statement);
    sqlite3_close(connection);
    return column;
}

}  // namespace warenkai::test
