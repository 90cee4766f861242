// The SQLite stand-in of Selectline's automation server (docs/selectline-standin.md): its tables,
// documents and database file, with the rules and errors the transfers meet. The calls on tables and
// documents and their answers are the steps of tests/data/selectline/standin_steps.txt. Whole transfers
// over the demo company run end to end in tests/cli (its article files against fixed expected files,
// which pins the demo company's data as well, and a read-only database) and tests/import.
#include <sqlite3.h>

#include <fstream>
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "selectline/selectline_application.h"
#include "selectline/standin/standin_selectline.h"
#include "tests/selectline/selectline_steps.h"
#include "tests/support/sqlite_file.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;

// The text of the server error that `call` throws, "(kein Fehler)" when it throws none.
std::string ErrorOf(const std::function<void()>& call) try {
    call();
    return "(kein Fehler)";
} catch (const SelectlineError& error) {
    return error.what();
}

std::string Quoted(const fs::path& file) {
    return "\"" + file.string() + "\"";
}

struct Standin {
    std::unique_ptr<SelectlineApplication> Open() const {
        return MakeStandinSelectline(database, {std::chrono::milliseconds(50)})();
    }
    TempFolder folder;
    fs::path database = folder / kStandinDatabaseFileName;
};

// The operator's own database of tests/data/selectline/tables.sql (the file exists, so no demo company
// is added). A step "SQL <query>" answers the query's rows, separated by " / ".
struct Tables : Standin {
    void Expect(const std::string& step) {
        const std::string call = step.substr(0, step.find(" -> "));
        std::string answer;
        if (call.starts_with("SQL ")) {
            for (const std::string& row : QueryColumn(database, call.substr(4))) {
                answer += (answer.empty() ? "" : " / ") + row;
            }
        } else {
            answer = steps.Answer(call);
        }
        EXPECT_EQ(call + (answer.empty() ? "" : " -> " + answer), step);
    }

    std::unique_ptr<SelectlineApplication> application =
        (RunSql(database, TestData("selectline/tables.sql")), Open());
    SelectlineSteps steps{*application};
};

// The steps of standin_steps.txt; "==" starts over on a fresh database.
TEST(StandinTables, EveryStepAnswersAsWritten) {
    const auto steps = DataLines("standin_steps.txt");
    std::unique_ptr<Tables> tables;
    for (const std::string& step : steps) {
        step == "==" ? void(tables = std::make_unique<Tables>()) : tables->Expect(step);
    }
    EXPECT_EQ(steps.size(), 121u);
}

// Opening fails while another program keeps the file to itself. Reading goes on while it writes;
// storing waits, then reports the lock and keeps the change for the next Post.
TEST(StandinTables, ADatabaseThatAnotherProgramHoldsIsAServerError) {
    Tables tables;
    const std::string locked = "Die Selectline-Datenbank " + Quoted(tables.database) +
                               " ist gesperrt, ein anderes Programm arbeitet gerade mit ihr (beim ";
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(tables.database.string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(ErrorOf([&] { tables.Open(); }), locked + "Öffnen).");
    sqlite3_close(other);
    ASSERT_EQ(sqlite3_open(tables.database.string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    tables.Expect("KU GetField Name -> t Müller");
    tables.Expect("KU PutField Name|Neu");
    tables.Expect("KU Post -> " + locked + "Speichern in der Tabelle KU).");
    sqlite3_close(other);
    tables.Expect("KU Post");
    tables.Expect("SQL SELECT Name FROM KU -> Neu / Doppelt");
}

// The demo company is built in a temporary file (one that an interrupted first start left is no
// obstacle) and moved into place; an existing database, also an operator's own, is never replaced or
// filled up.
TEST(Standin, TheDemoCompanyIsCreatedOnFirstUseOnly) {
    Standin standin;
    std::ofstream(standin.folder / "Selectline.sqlite.neu-4242-1") << "halb";
    EXPECT_EQ(standin.Open()->CreateTable("AR")->Recordcount(), 60);
    EXPECT_EQ(std::distance(fs::directory_iterator(standin.folder.path()), {}), 2);  // the database and the leftover
    RunSql(standin.database, "DELETE FROM AR WHERE Artikelnummer <> '10001'");
    EXPECT_EQ(standin.Open()->CreateTable("AR")->Recordcount(), 1);
    fs::remove(standin.database);
    RunSql(standin.database, "CREATE TABLE AR (Artikelnummer TEXT)");
    auto own = standin.Open();
    EXPECT_EQ(own->CreateTable("AR")->Recordcount(), 0);
    EXPECT_EQ(ErrorOf([&] { own->CreateTable("KU"); }),
              "Die Tabelle KU fehlt in der Selectline-Datenbank " + Quoted(standin.database) + ".");
}

TEST(Standin, AFileThatCannotServeIsAServerErrorAndIsLeftAsItWas) {
    Standin standin;
    const fs::path missing = standin.folder / "fehlt" / kStandinDatabaseFileName,
                   noDatabase = standin.folder / "keine.sqlite", damaged = standin.folder / "kaputt.sqlite";
    std::ofstream(noDatabase, std::ios::binary) << std::string(4096, 'x');
    RunSql(damaged,
           "CREATE TABLE AR (Artikelnummer TEXT); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
           "FROM n WHERE i < 2000) INSERT INTO AR SELECT printf('%.200c', 'x') FROM n;");
    // Every page after the first (the schema) overwritten.
    std::fstream(damaged, std::ios::in | std::ios::out | std::ios::binary).seekp(4096)
        << std::string(fs::file_size(damaged) - 4096, '\xff');
    const auto errorOf = [&](const fs::path& file) {
        standin.database = file;
        return ErrorOf([&] { standin.Open()->CreateTable("AR")->Recordcount(); });
    };
    const std::string base = "Die Selectline-Datenbank ";
    EXPECT_THAT(errorOf(missing), ::testing::StartsWith(base + Quoted(missing) + " kann nicht angelegt werden. "));
    EXPECT_FALSE(fs::exists(missing.parent_path()));
    EXPECT_EQ(errorOf(noDatabase),
              "Die Datei " + Quoted(noDatabase) + " ist keine Selectline-Datenbank (beim Öffnen).");
    EXPECT_EQ(fs::file_size(noDatabase), 4096u);
    EXPECT_THAT(errorOf(damaged), ::testing::StartsWith(base + Quoted(damaged) + " ist beschädigt (beim "));
}

}  // namespace
}  // namespace warenkai::test
