#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "export/output_file.h"

namespace warenkai {

// One of the shop's CSV files while it is written: Windows-1252, every line ended by CR LF. The file
// stays open (buffered) until Close, or until it is destroyed, which also closes it, so the lines
// written so far are in the file when an error ends the transfer early.
class ShopCsvFile {
public:
    // Replaces `file` by a new, empty file. When it cannot be created that is not reported here: the
    // first line that is to be written then ends the transfer.
    ShopCsvFile(OutputFolder& folder, std::filesystem::path file);
    ~ShopCsvFile();
    ShopCsvFile(const ShopCsvFile&) = delete;
    ShopCsvFile& operator=(const ShopCsvFile&) = delete;

    // Writes the UTF-8 text `line` and CR LF. Throws FileWriteError when it cannot be stored.
    void WriteLine(std::string_view line);
    // Closes the file. Throws FileWriteError when what was written could not be stored.
    void Close();

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
    std::unique_ptr<OutputFile> m_file;
};

// `"a","b"` from the fields a and b: every field in double quotes, separated by commas, no escaping.
void AppendQuotedField(std::string& line, std::string_view field);

}  // namespace warenkai
