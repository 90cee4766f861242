#include "export/shop_csv_file.h"

#include <string>

#include "common/windows1252.h"

namespace warenkai {

ShopCsvFile::ShopCsvFile(OutputFolder& folder, std::filesystem::path file)
    : m_path(std::move(file)), m_file(folder.Replace(m_path)) {}

ShopCsvFile::~ShopCsvFile() {
    if (m_file) {
        m_file->Close();
    }
}

void ShopCsvFile::WriteLine(std::string_view line) {
    if (!m_file) {
        throw FileWriteError(m_path);
    }
    // Plain ASCII is the same in both encodings: only the stretches with other characters go
    // through the codec.
    std::string bytes;
    bytes.reserve(line.size() + 2);
    while (!line.empty()) {
        std::size_t ascii = 0;
        while (ascii < line.size() && static_cast<unsigned char>(line[ascii]) < 0x80) {
            ++ascii;
        }
        bytes.append(line.substr(0, ascii));
        std::size_t other = ascii;
        while (other < line.size() && static_cast<unsigned char>(line[other]) >= 0x80) {
            ++other;
        }
        if (other > ascii) {
            bytes += Utf8ToWindows1252(line.substr(ascii, other - ascii));
        }
        line.remove_prefix(other);
    }
    bytes += "\r\n";
    if (!m_file->Write(bytes)) {
        m_file.reset();
        throw FileWriteError(m_path);
    }
}

void ShopCsvFile::Close() {
    if (!m_file) {
        return;  // closed already, or never created and nothing written to it
    }
    const bool stored = m_file->Close();
    m_file.reset();
    if (!stored) {
        throw FileWriteError(m_path);
    }
}

void AppendQuotedField(std::string& line, std::string_view field) {
    if (!line.empty()) {
        line += ',';
    }
    line += '"';
    line += field;
    line += '"';
}

}  // namespace warenkai
