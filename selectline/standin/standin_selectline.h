#pragma once

#include <chrono>
#include <filesystem>

#include "common/transfer_context.h"

namespace warenkai {

inline constexpr const char* kStandinDatabaseFileName = "Selectline.sqlite";

struct StandinOptions {
    // How long a call waits for a database that another program holds locked before it reports it.
    std::chrono::milliseconds busyTimeout{3000};
};

// The stand-in automation server of this platform, backed by the SQLite database `databaseFile`
// (created with a demo company when it does not exist). Each call of the factory is one automation
// object with its own connection. The layout of the database is described in
// docs/selectline-standin.md.
SelectlineFactory MakeStandinSelectline(std::filesystem::path databaseFile, StandinOptions options = {});

}  // namespace warenkai
