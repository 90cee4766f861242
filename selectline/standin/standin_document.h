#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "selectline/selectline_application.h"
#include "selectline/standin/column_value.h"
#include "selectline/standin/sqlite_connection.h"

namespace warenkai::standin {

// Creates the document tables "BELEG" and "BELEGPOS" when the database lacks them and returns the
// fields a document's PutField may set (every column of "BELEG" but "Belegnummer") with their types.
std::map<std::string, ColumnType> PrepareDocumentTables(Connection& connection);

// A position as its setters left it; what was never set is stored as NULL.
struct DocumentPosition {
    std::string kind;
    std::optional<double> quantity;
    std::optional<std::string> article;
    std::optional<double> unitPrice;
    std::optional<std::string> taxRate;
    std::optional<std::string> text;
    std::optional<std::string> total;
};

// What a document and its positions share: the header fields, the saved positions and, once saved,
// the document's number.
struct DocumentState {
    std::map<std::string, StoredValue> fields;  // "Belegart", "Adresse", "FreierText1", …
    std::vector<DocumentPosition> positions;     // saved positions, in the order of their first Save
    std::optional<std::int64_t> number;
};

// A document of the stand-in: kept in memory until Save writes it, with its saved positions, into
// "BELEG" and "BELEGPOS" in one transaction. A second Save rewrites the same document.
class StandinDocument final : public SelectlineDocument {
public:
    StandinDocument(std::shared_ptr<Connection> connection, std::shared_ptr<const std::map<std::string, ColumnType>> fields,
                    const std::string& kind);

    void SetAdresse(const std::string& customerNumber) override;
    void PutField(const std::string& fieldName, const std::string& value) override;
    std::unique_ptr<SelectlineDocumentLine> CreatePos(const std::string& kind) override;
    void Save() override;

private:
    std::shared_ptr<Connection> m_connection;
    std::shared_ptr<const std::map<std::string, ColumnType>> m_fields;
    std::shared_ptr<DocumentState> m_state;
};

// One position; Save adds it to its document (a second Save replaces what the first added).
class StandinDocumentLine final : public SelectlineDocumentLine {
public:
    StandinDocumentLine(std::shared_ptr<Connection> connection, std::shared_ptr<DocumentState> document,
                        const std::string& kind);

    void SetEingabeMenge(double quantity) override;
    void SetArtikel(const std::string& articleNumber) override;
    void SetEinzelpreis(double unitPrice) override;
    void SetSteuerProzent(const std::string& rate) override;
    void SetBezeichnung(const std::string& text) override;
    void SetGesamtpreis(const std::string& total) override;
    void Save(int mode) override;

private:
    std::shared_ptr<Connection> m_connection;
    std::shared_ptr<DocumentState> m_document;
    DocumentPosition m_position;
    std::optional<std::size_t> m_savedAt;
};

// Whether the table `table` has a record whose `field` is `value`.
bool RecordExists(Connection& connection, const std::string& table, const std::string& field, const std::string& value);

}  // namespace warenkai::standin
