#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace warenkai::test {

// Runs SQL on a database file (creating it when missing), the way an operator would with the sqlite3
// command line; a failure fails the test.
void RunSql(const std::filesystem::path& database, const std::string& sql);

// The first column of every row of a query on a database file opened for reading, as text ("" for
// NULL); a file that cannot be opened or a query that cannot be prepared fails the test.
std::vector<std::string> QueryColumn(const std::filesystem::path& database, const std::string& sql);

}  // namespace warenkai::test
