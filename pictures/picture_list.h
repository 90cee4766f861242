#pragma once

#include <optional>
#include <string>
#include <vector>

namespace warenkai {

// The names of the files directly in `folder`, as the picture upload sends them: regular files
// only (no subfolders), hidden files (names starting with ".") left out, sorted alphabetically
// without regard to case. std::nullopt when the folder is missing, is no folder or cannot be read.
std::optional<std::vector<std::string>> ListPictureFiles(const std::string& folder);

// The order of that list: letters compared without case (also the accented capitals À to Þ of
// UTF-8), names that differ only in case by their bytes.
bool PictureNameLess(const std::string& left, const std::string& right);

}  // namespace warenkai
