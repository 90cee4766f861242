#include "export/article_file_writer.h"

namespace warenkai {

std::filesystem::path ArticleFilePath(const std::filesystem::path& programFolder, int fileNumber) {
    return programFolder / ("artikelstamm" + std::to_string(fileNumber) + ".csv");
}

std::string ArticleHeaderLine(const FieldMapping& mapping) {
    std::string line;
    for (const auto& row : mapping) {
        AppendQuotedField(line, row.shopColumn);
    }
    AppendQuotedField(line, "angebot");
    AppendQuotedField(line, "angebot_handler");
    return line;
}

ArticleFileWriter::ArticleFileWriter(OutputFolder& folder, std::filesystem::path programFolder,
                                     std::string headerLine)
    : m_folder(folder), m_programFolder(std::move(programFolder)), m_headerLine(std::move(headerLine)) {}

void ArticleFileWriter::WriteRecord(std::int64_t passIndex, std::string_view recordLine) {
    // Only written articles begin files: when the article of a pass that is a multiple of 1000 is not
    // written, the current file goes on up to the next written article of such a pass.
    if (m_articleFileCount == 0 || passIndex % 1000 == 0) {
        BeginArticleFile();
    }
    AppendArticleRecord(recordLine);
}

void ArticleFileWriter::BeginArticleFile() {
    Finish();
    ++m_articleFileCount;
    m_current.emplace(m_folder, ArticleFilePath(m_programFolder, m_articleFileCount));
    m_current->WriteLine(m_headerLine);
}

void ArticleFileWriter::AppendArticleRecord(std::string_view recordLine) {
    if (!m_current) {
        throw FileWriteError(ArticleFilePath(m_programFolder, m_articleFileCount));
    }
    m_current->WriteLine(recordLine);
}

void ArticleFileWriter::Finish() {
    if (!m_current) {
        return;
    }
    // The file counts as closed whether or not its last bytes could be stored.
    try {
        m_current->Close();
    } catch (...) {
        m_current.reset();
        throw;
    }
    m_current.reset();
}

}  // namespace warenkai
