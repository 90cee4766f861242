#include "selectline/standin/standin_selectline.h"

#include "selectline/selectline_application.h"

namespace warenkai {

SelectlineFactory MakeStandinSelectline(std::filesystem::path databaseFile) {
    return [databaseFile]() -> std::unique_ptr<SelectlineApplication> {
        throw SelectlineError("Selectline-Datenbank " + databaseFile.string() + " kann nicht geöffnet werden");
    };
}

}  // namespace warenkai
