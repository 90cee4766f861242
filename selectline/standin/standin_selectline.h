#pragma once

#include <filesystem>

#include "common/transfer_context.h"

namespace warenkai {

inline constexpr const char* kStandinDatabaseFileName = "Selectline.sqlite";

// The stand-in automation server of this platform, backed by the SQLite database `databaseFile`
// (created with a demo company when it does not exist). Each call of the factory is one automation
// object with its own connection.
SelectlineFactory MakeStandinSelectline(std::filesystem::path databaseFile);

}  // namespace warenkai
