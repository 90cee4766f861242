#include "import/shop_record_reader.h"

#include "common/limited_error_list.h"
#include "common/status_area.h"
#include "common/windows1252.h"
#include "import/shop_export_file.h"

namespace warenkai {
namespace {

// The counting pass reports nothing: the import's own pass reports every bad line once.
class NoStatus final : public StatusArea {
public:
    void SetStatusText(const std::string&) override {}
    void ClearErrors() override {}
    void AddError(const std::string&, const std::string&) override {}
    void SetResult(const std::string&) override {}
    void SetProgressMaximum(int) override {}
    int ProgressMaximum() const override { return 0; }
    void SetProgressValue(int) override {}
    int ProgressValue() const override { return 0; }
};

}  // namespace

ShopRecordReader::ShopRecordReader(std::istream& in, std::string fileName, std::size_t fieldCount,
                                   LimitedErrorList& errors)
    : m_reader(in), m_fileName(std::move(fileName)), m_fieldCount(fieldCount), m_errors(errors) {}

void ShopRecordReader::Report(const std::string& text) {
    ++m_refused;
    m_errors.Add("Fehler: " + m_fileName + " " + text);
}

std::optional<ShopRecord> ShopRecordReader::Next() {
    while (!m_finished) {
        ShopRecord record;
        std::size_t count = 0;
        bool blank = true;
        bool unclosedQuote = false;
        std::optional<std::size_t> truncatedField;
        for (;;) {
            auto field = m_reader.Next();
            if (!field) {
                m_finished = true;
                break;
            }
            if (count == 0) {
                record.line = field->line;
            }
            ++count;
            blank = blank && count == 1 && field->text.empty();
            unclosedQuote = unclosedQuote || field->unclosedQuote;
            if (field->truncated && !truncatedField) {
                truncatedField = count;
            }
            // Only as many fields as a record holds are kept; the rest of a long line is only counted.
            if (count <= m_fieldCount) {
                record.fields.push_back(Windows1252ToUtf8(field->text));
            }
            if (field->endsLine) {
                break;
            }
        }
        if (count == 0 || blank) {
            continue;
        }
        if (unclosedQuote) {
            Report("Zeile " + std::to_string(record.line) +
                   ": Anführungszeichen nicht geschlossen, der Rest der Datei wurde nicht gelesen");
            continue;
        }
        if (!m_headerPassed) {
            m_headerPassed = true;
            continue;
        }
        if (truncatedField) {
            Report("Zeile " + std::to_string(record.line) + ": Feld " + std::to_string(*truncatedField) +
                   " ist zu lang");
            continue;
        }
        if (count != m_fieldCount) {
            Report("Zeile " + std::to_string(record.line) + ": " + std::to_string(count) + " statt " +
                   std::to_string(m_fieldCount) + " Felder");
            continue;
        }
        return record;
    }
    if (m_reader.ReadFailed() && !m_readFailureReported) {
        m_readFailureReported = true;
        Report("konnte nicht vollständig gelesen werden");
    }
    return std::nullopt;
}

std::size_t CountShopRecords(const std::filesystem::path& file, std::size_t fieldCount) {
    const auto in = OpenShopExportFile(file);
    if (!in) {
        return 0;
    }
    NoStatus none;
    LimitedErrorList quiet(none, "", 0);
    ShopRecordReader records(*in, "", fieldCount, quiet);
    std::size_t count = 0;
    while (records.Next()) {
        ++count;
    }
    return count;
}

}  // namespace warenkai
