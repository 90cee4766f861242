#include "app/cli/program_folder.h"

#include <system_error>

namespace warenkai {

std::filesystem::path CurrentProgramFolder(const char* argv0) {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && program.is_absolute()) {
        return program.parent_path();
    }
    if (argv0 != nullptr && *argv0 != '\0') {
        const std::filesystem::path given = std::filesystem::absolute(argv0, error);
        if (!error) {
            return given.parent_path();
        }
    }
    return std::filesystem::current_path(error);
}

}  // namespace warenkai
