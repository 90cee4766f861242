#include "selectline/standin/standin_document.h"

#include <sqlite3.h>

#include <cmath>

#include "selectline/selectline_error.h"

namespace warenkai::standin {
namespace {

StoredValue Optional(const std::optional<std::string>& text) {
    return text ? StoredValue(*text) : StoredValue(std::monostate{});
}

StoredValue Optional(const std::optional<double>& number) {
    return number && std::isfinite(*number) ? StoredValue(*number) : StoredValue(std::monostate{});
}

}  // namespace

std::map<std::string, ColumnType> PrepareDocumentTables(Connection& connection) {
    const std::string action = "Anlegen der Belegtabellen";
    if (!connection.TableExists("BELEG")) {
        connection.Execute(
            "CREATE TABLE IF NOT EXISTS \"BELEG\" (\"Belegnummer\" INTEGER PRIMARY KEY, \"Belegart\" TEXT, "
            "\"Adresse\" TEXT, \"FreierText1\" TEXT, \"FreierText2\" TEXT)",
            action);
    }
    if (!connection.TableExists("BELEGPOS")) {
        connection.Execute(
            "CREATE TABLE IF NOT EXISTS \"BELEGPOS\" (\"Belegnummer\" INTEGER, \"Position\" INTEGER, "
            "\"Positionsart\" TEXT, \"Menge\" REAL, \"Artikelnummer\" TEXT, \"Einzelpreis\" REAL, "
            "\"SteuerProzent\" TEXT, \"Bezeichnung\" TEXT, \"Gesamtpreis\" TEXT)",
            action);
        connection.Execute(
            "CREATE INDEX IF NOT EXISTS \"BELEGPOS_Belegnummer\" ON \"BELEGPOS\" (\"Belegnummer\")", action);
    }
    std::map<std::string, ColumnType> fields;
    Statement info = connection.Prepare("PRAGMA table_info(\"BELEG\")", "Lesen der Tabelle BELEG");
    StatementUse use(info);
    while (info.Step()) {
        const auto name = info.ColumnValue(1);
        const auto type = info.ColumnValue(2);
        if (const auto* text = std::get_if<std::string>(&name); text != nullptr && *text != "Belegnummer") {
            fields.emplace(*text, ColumnTypeOf(std::holds_alternative<std::string>(type) ? std::get<std::string>(type)
                                                                                        : std::string()));
        }
    }
    return fields;
}

bool RecordExists(Connection& connection, const std::string& table, const std::string& field, const std::string& value) {
    Statement& statement = connection.Cached("SELECT 1 FROM " + QuoteIdentifier(table) + " WHERE " +
                                                 QuoteIdentifier(field) + " = ?1 LIMIT 1",
                                             "Suchen in der Tabelle " + table);
    StatementUse use(statement);
    statement.BindText(1, value);
    return statement.Step();
}

StandinDocument::StandinDocument(std::shared_ptr<Connection> connection,
                                 std::shared_ptr<const std::map<std::string, ColumnType>> fields, const std::string& kind)
    : m_connection(std::move(connection)), m_fields(std::move(fields)), m_state(std::make_shared<DocumentState>()) {
    if (m_fields->count("Belegart") != 0) {
        m_state->fields["Belegart"] = kind;
    }
}

void StandinDocument::SetAdresse(const std::string& customerNumber) {
    if (!RecordExists(*m_connection, "KU", "Nummer", customerNumber)) {
        throw SelectlineError("Der Kunde \"" + customerNumber + "\" ist in Selectline nicht vorhanden.");
    }
    m_state->fields["Adresse"] = customerNumber;
}

void StandinDocument::PutField(const std::string& fieldName, const std::string& value) {
    const auto field = m_fields->find(fieldName);
    if (field == m_fields->end()) {
        throw SelectlineError("Das Feld " + fieldName + " gibt es im Beleg nicht.");
    }
    auto stored = FromText(value, field->second);
    if (!stored) {
        throw SelectlineError("Der Wert \"" + value + "\" passt nicht in das Feld " + fieldName +
                              " des Belegs: erwartet wird " + TypeDescription(field->second) + ".");
    }
    m_state->fields[fieldName] = std::move(*stored);
}

std::unique_ptr<SelectlineDocumentLine> StandinDocument::CreatePos(const std::string& kind) {
    return std::make_unique<StandinDocumentLine>(m_connection, m_state, kind);
}

void StandinDocument::Save() {
    const std::string action = "Speichern eines Belegs";
    std::int64_t number = 0;
    InTransaction(*m_connection, action, [&] {
        if (m_state->number) {
            number = *m_state->number;
            Statement& remove = m_connection->Cached("DELETE FROM \"BELEGPOS\" WHERE \"Belegnummer\" = ?1", action);
            StatementUse use(remove);
            remove.BindInt64(1, number);
            remove.Step();
        } else {
            Statement& insert = m_connection->Cached("INSERT INTO \"BELEG\" DEFAULT VALUES", action);
            StatementUse use(insert);
            insert.Step();
            number = sqlite3_last_insert_rowid(m_connection->Handle());
        }
        for (const auto& [name, value] : m_state->fields) {
            Statement& update = m_connection->Cached(
                "UPDATE \"BELEG\" SET " + QuoteIdentifier(name) + " = ?1 WHERE \"Belegnummer\" = ?2", action);
            StatementUse use(update);
            update.Bind(1, value);
            update.BindInt64(2, number);
            update.Step();
        }
        Statement& insertPosition = m_connection->Cached(
            "INSERT INTO \"BELEGPOS\" (\"Belegnummer\", \"Position\", \"Positionsart\", \"Menge\", \"Artikelnummer\", "
            "\"Einzelpreis\", \"SteuerProzent\", \"Bezeichnung\", \"Gesamtpreis\") "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)",
            action);
        for (std::size_t i = 0; i < m_state->positions.size(); ++i) {
            const auto& position = m_state->positions[i];
            StatementUse use(insertPosition);
            insertPosition.BindInt64(1, number);
            insertPosition.BindInt64(2, static_cast<std::int64_t>(i + 1));
            insertPosition.Bind(3, position.kind);
            insertPosition.Bind(4, Optional(position.quantity));
            insertPosition.Bind(5, Optional(position.article));
            insertPosition.Bind(6, Optional(position.unitPrice));
            insertPosition.Bind(7, Optional(position.taxRate));
            insertPosition.Bind(8, Optional(position.text));
            insertPosition.Bind(9, Optional(position.total));
            insertPosition.Step();
        }
    });
    m_state->number = number;
}

StandinDocumentLine::StandinDocumentLine(std::shared_ptr<Connection> connection, std::shared_ptr<DocumentState> document,
                                         const std::string& kind)
    : m_connection(std::move(connection)), m_document(std::move(document)) {
    m_position.kind = kind;
}

void StandinDocumentLine::SetEingabeMenge(double quantity) {
    m_position.quantity = quantity;
}

void StandinDocumentLine::SetArtikel(const std::string& articleNumber) {
    if (!RecordExists(*m_connection, "AR", "Artikelnummer", articleNumber)) {
        throw SelectlineError("Der Artikel \"" + articleNumber + "\" ist in Selectline nicht vorhanden.");
    }
    m_position.article = articleNumber;
}

void StandinDocumentLine::SetEinzelpreis(double unitPrice) {
    m_position.unitPrice = unitPrice;
}

void StandinDocumentLine::SetSteuerProzent(const std::string& rate) {
    m_position.taxRate = rate;
}

void StandinDocumentLine::SetBezeichnung(const std::string& text) {
    m_position.text = text;
}

void StandinDocumentLine::SetGesamtpreis(const std::string& total) {
    m_position.total = total;
}

void StandinDocumentLine::Save(int) {
    if (m_savedAt) {
        m_document->positions[*m_savedAt] = m_position;
    } else {
        m_savedAt = m_document->positions.size();
        m_document->positions.push_back(m_position);
    }
}

}  // namespace warenkai::standin
