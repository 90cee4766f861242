#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace warenkai {

// Opens a local copy of a shop export for reading; nullptr when it is missing, not a regular file or
// cannot be opened.
std::unique_ptr<std::ifstream> OpenShopExportFile(const std::filesystem::path& file);

// The shop's first field of a line (customer number, first part of the order identity) may arrive
// with double quotes or a line feed left in it: all of them are removed, then the blanks around it.
std::string CleanKeyField(const std::string& value);

}  // namespace warenkai
