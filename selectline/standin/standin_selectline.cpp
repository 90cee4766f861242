#include "selectline/standin/standin_selectline.h"

#include "selectline/standin/demo_company.h"
#include "selectline/standin/sqlite_connection.h"
#include "selectline/standin/standin_application.h"

namespace warenkai {

SelectlineFactory MakeStandinSelectline(std::filesystem::path databaseFile, StandinOptions options) {
    return [databaseFile, options]() -> std::unique_ptr<SelectlineApplication> {
        standin::EnsureStandinDatabase(databaseFile, options.busyTimeout);
        return std::make_unique<standin::StandinApplication>(
            standin::Connection::Open(databaseFile, options.busyTimeout));
    };
}

}  // namespace warenkai
