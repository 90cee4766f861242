#include "selectline/standin/standin_application.h"

#include <algorithm>

#include "selectline/selectline_error.h"
#include "selectline/standin/standin_document.h"
#include "selectline/standin/standin_table.h"

namespace warenkai::standin {

const std::vector<std::string>& StandinTableCodes() {
    static const std::vector<std::string> codes = {"AR", "AG", "TE", "AP", "UD", "KU", "AD"};
    return codes;
}

void StandinApplication::login(const std::string&, const std::string&) {
    // The stand-in knows no users: every log-in is accepted.
}

void StandinApplication::getMandant(const std::string&, int) {
    // One database file is one company.
}

std::unique_ptr<SelectlineTable> StandinApplication::CreateTable(const std::string& code) {
    const auto& codes = StandinTableCodes();
    if (std::find(codes.begin(), codes.end(), code) == codes.end()) {
        throw SelectlineError("Unbekannte Tabelle \"" + code + "\": Selectline kennt die Tabellen AR, AG, TE, AP, UD, KU und AD.");
    }
    return std::make_unique<StandinTable>(m_connection, code);
}

Variant StandinApplication::Listenpreis(const std::string& articleNumber) {
    const std::string action = "Lesen des Listenpreises";
    if (!m_listPriceType) {
        std::optional<ColumnType> type;
        Statement info = m_connection->Prepare("PRAGMA table_info(\"AR\")", action);
        StatementUse use(info);
        while (info.Step()) {
            const auto name = info.ColumnValue(1);
            const auto declared = info.ColumnValue(2);
            if (std::holds_alternative<std::string>(name) && std::get<std::string>(name) == "Listenpreis") {
                type = ColumnTypeOf(std::holds_alternative<std::string>(declared) ? std::get<std::string>(declared) : "");
            }
        }
        if (!type) {
            throw SelectlineError("Das Feld Listenpreis gibt es in der Tabelle AR nicht.");
        }
        m_listPriceType = type;
    }
    Statement& price = m_connection->Cached(
        "SELECT \"Listenpreis\" FROM \"AR\" WHERE \"Artikelnummer\" = ?1 ORDER BY rowid LIMIT 1", action);
    StatementUse use(price);
    price.BindText(1, articleNumber);
    if (!price.Step()) {
        return {};
    }
    return ToVariant(price.ColumnValue(0), *m_listPriceType);
}

std::unique_ptr<SelectlineDocument> StandinApplication::NeuerBelegAuto(const std::string& kind, const std::string&) {
    if (!m_documentFields) {
        m_documentFields = std::make_shared<const std::map<std::string, ColumnType>>(PrepareDocumentTables(*m_connection));
    }
    return std::make_unique<StandinDocument>(m_connection, m_documentFields, kind);
}

}  // namespace warenkai::standin
