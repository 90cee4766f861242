#pragma once

#include <filesystem>

namespace warenkai {

// The folder that holds the running program file (its settings, its article files and its
// Selectline database live there). `argv0` is the fallback when the system cannot tell.
std::filesystem::path CurrentProgramFolder(const char* argv0);

}  // namespace warenkai
