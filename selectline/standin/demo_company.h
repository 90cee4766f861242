#pragma once

#include <chrono>
#include <filesystem>

#include "selectline/standin/sqlite_connection.h"

namespace warenkai::standin {

// Creates the stand-in's tables (AR, AG, TE, AP, UD, KU, AD, BELEG, BELEGPOS) with the indexes on
// their look-up keys in an empty database.
void CreateStandinSchema(Connection& connection);

// Fills the demo company (a small shop for garden and technology goods) into the empty tables.
void FillDemoCompany(Connection& connection);

// Makes sure the database file exists. When it does not, the demo company is built in a temporary
// file beside it, which is moved into place only when complete, so an interrupted first start never
// leaves a half database behind. An existing file is never touched. Throws SelectlineError when the
// file cannot be created.
void EnsureStandinDatabase(const std::filesystem::path& file, std::chrono::milliseconds busyTimeout);

}  // namespace warenkai::standin
