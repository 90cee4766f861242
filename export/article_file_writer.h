#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "export/output_file.h"
#include "export/shop_csv_file.h"
#include "mapping/field_mapping.h"

namespace warenkai {

// "artikelstamm<k>.csv" in `programFolder`.
std::filesystem::path ArticleFilePath(const std::filesystem::path& programFolder, int fileNumber);

// The header line of every article file: the shop columns of the mapping as they stand, then
// "angebot" and "angebot_handler", each in double quotes.
std::string ArticleHeaderLine(const FieldMapping& mapping);

// The article files "artikelstamm1.csv", "artikelstamm2.csv", … of one run. One file is open at a
// time; it is complete and closed before the next one begins.
class ArticleFileWriter {
public:
    ArticleFileWriter(OutputFolder& folder, std::filesystem::path programFolder, std::string headerLine);

    // Writes one record line (without line end) of the article of pass `passIndex`, first beginning a
    // new file when none has been begun in this run or when `passIndex` is a multiple of 1000.
    void WriteRecord(std::int64_t passIndex, std::string_view recordLine);

    // Raises articleFileCount and makes that file a new file holding only the header line.
    void BeginArticleFile();
    // Adds a record line at the end of the current file.
    void AppendArticleRecord(std::string_view recordLine);
    // Closes the current file; throws FileWriteError when it could not be stored completely.
    void Finish();

    int articleFileCount() const { return m_articleFileCount; }

private:
    OutputFolder& m_folder;
    std::filesystem::path m_programFolder;
    std::string m_headerLine;
    int m_articleFileCount = 0;
    std::optional<ShopCsvFile> m_current;
};

}  // namespace warenkai
