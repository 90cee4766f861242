#include "app/cli/program_folder.h"

#include <system_error>

#include "common/utf8_path.h"
#include "platform/files.h"

namespace warenkai {

std::filesystem::path CurrentProgramFolder(const char* argv0) {
    const std::filesystem::path program = RunningProgramFile();
    if (!program.empty()) {
        return program.parent_path();
    }
    std::error_code error;
    if (argv0 != nullptr && *argv0 != '\0') {
        const std::filesystem::path given = std::filesystem::absolute(PathFromUtf8(argv0), error);
        if (!error) {
            return given.parent_path();
        }
    }
    return std::filesystem::current_path(error);
}

}  // namespace warenkai
