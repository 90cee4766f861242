#pragma once

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "selectline/selectline_application.h"
#include "selectline/selectline_error.h"
#include "selectline/standin/standin_selectline.h"
#include "tests/support/sqlite_file.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {

// A fresh folder per test with the stand-in's database file in it; `Sql` runs statements on that
// file the way an operator would with the sqlite3 command line.
class StandinFixture : public ::testing::Test {
protected:
    std::unique_ptr<SelectlineApplication> Open() { return MakeStandinSelectline(database, {std::chrono::milliseconds(50)})(); }

    void Sql(const std::string& sql) const { RunSql(database, sql); }

    // The first column of the first row of a query, as text ("NULL" for NULL, "-" for no row).
    std::string Query(const std::string& sql) const {
        sqlite3* db = nullptr;
        sqlite3_open(database.string().c_str(), &db);
        sqlite3_stmt* statement = nullptr;
        std::string result = "error: ";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            result += sqlite3_errmsg(db);
        } else if (sqlite3_step(statement) == SQLITE_ROW) {
            const auto* text = sqlite3_column_text(statement, 0);
            result = text == nullptr ? "NULL" : reinterpret_cast<const char*>(text);
        } else {
            result = "-";
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return result;
    }

    // The text of the server error that `call` throws, "(kein Fehler)" when it throws none.
    static std::string ErrorOf(const std::function<void()>& call) {
        try {
            call();
        } catch (const SelectlineError& error) {
            return error.what();
        }
        return "(kein Fehler)";
    }

    TempFolder temp;
    std::filesystem::path folder = temp.path();
    std::filesystem::path database = folder / kStandinDatabaseFileName;
};

}  // namespace warenkai::test
