#include "selectline/standin/standin_table.h"

#include <sqlite3.h>

#include "selectline/selectline_error.h"

namespace warenkai::standin {

const std::vector<std::string>& KeyFieldsOf(const std::string& code) {
    static const std::map<std::string, std::vector<std::string>> keys = {
        {"AR", {"Artikelnummer"}},
        {"AG", {"Nummer"}},
        {"TE", {"Schluessel"}},
        {"AP", {"Artikelnummer", "Preisart", "Preisnummer"}},
        {"KU", {"Nummer"}},
    };
    static const std::vector<std::string> none;
    const auto found = keys.find(code);
    return found == keys.end() ? none : found->second;
}

StandinTable::StandinTable(std::shared_ptr<Connection> connection, std::string code)
    : m_connection(std::move(connection)), m_code(std::move(code)), m_table(QuoteIdentifier(m_code)) {
    if (!m_connection->TableExists(m_code)) {
        throw SelectlineError("Die Tabelle " + m_code + " fehlt in der Selectline-Datenbank \"" +
                              PathText(m_connection->File()) + "\".");
    }
    const std::string reading = "Lesen der Tabelle " + m_code;
    {
        Statement info = m_connection->Prepare("PRAGMA table_info(" + m_table + ")", reading);
        StatementUse use(info);
        while (info.Step()) {
            const auto name = info.ColumnValue(1);
            const auto type = info.ColumnValue(2);
            Column column;
            column.name = std::holds_alternative<std::string>(name) ? std::get<std::string>(name) : std::string();
            column.type = ColumnTypeOf(std::holds_alternative<std::string>(type) ? std::get<std::string>(type) : "");
            m_columnIndex.emplace(column.name, m_columns.size());
            m_columns.push_back(std::move(column));
        }
    }
    m_selectList = "rowid";
    for (const auto& column : m_columns) {
        m_selectList += ", " + QuoteIdentifier(column.name);
    }
    for (const auto& key : KeyFieldsOf(m_code)) {
        const auto found = m_columnIndex.find(key);
        if (found == m_columnIndex.end()) {
            m_keyColumns.clear();
            break;
        }
        m_keyColumns.push_back(found->second);
    }
    m_current.resize(m_columns.size());
    m_pending.resize(m_columns.size());

    const std::string select = "SELECT " + m_selectList + " FROM " + m_table;
    m_first = m_connection->Prepare(select + " ORDER BY rowid LIMIT 1", reading);
    m_next = m_connection->Prepare(select + " WHERE rowid > ?1 ORDER BY rowid LIMIT 1", reading);
    m_byRowid = m_connection->Prepare(select + " WHERE rowid = ?1", reading);
    m_count = m_connection->Prepare("SELECT count(*) FROM " + m_table, reading);
    First();
}

std::int64_t StandinTable::Recordcount() {
    StatementUse use(m_count);
    m_count.Step();
    return m_count.ColumnInt64(0);
}

void StandinTable::First() {
    Cancel();
    MoveTo(m_first);
}

void StandinTable::Next() {
    Cancel();
    if (!m_currentRowid) {
        return;  // after the last record (or an empty table): stays there
    }
    StatementUse use(m_next);
    m_next.BindInt64(1, *m_currentRowid);
    if (m_next.Step()) {
        TakeRow(m_next);
    } else {
        m_currentRowid.reset();
    }
}

Variant StandinTable::GetField(const std::string& fieldName) {
    const std::size_t column = ColumnIndex(fieldName);
    if (m_mode == Mode::Browse && !m_currentRowid) {
        throw SelectlineError(NoCurrentRecordText());
    }
    return PendingOrCurrent(column);
}

bool StandinTable::FindKey(const std::string& key) {
    return Find({key});
}

bool StandinTable::FindKey2(const std::string& key1, const std::string& key2) {
    return Find({key1, key2});
}

bool StandinTable::FindKey3(const std::string& key1, const std::string& key2, const std::string& key3) {
    return Find({key1, key2, key3});
}

void StandinTable::Insert() {
    Cancel();
    m_mode = Mode::Insert;
}

void StandinTable::PutField(const std::string& fieldName, const std::string& value) {
    const std::size_t column = ColumnIndex(fieldName);
    if (m_mode == Mode::Browse) {
        if (!m_currentRowid) {
            throw SelectlineError(NoCurrentRecordText());
        }
        m_mode = Mode::Edit;
    }
    auto stored = FromText(value, m_columns[column].type);
    if (!stored) {
        throw SelectlineError("Der Wert \"" + value + "\" passt nicht in das Feld " + fieldName + " der Tabelle " +
                              m_code + ": erwartet wird " + TypeDescription(m_columns[column].type) + ".");
    }
    m_pending[column] = std::move(*stored);
}

void StandinTable::Post() {
    if (m_mode == Mode::Browse) {
        return;  // nothing changed
    }
    std::vector<std::size_t> put;
    for (std::size_t i = 0; i < m_pending.size(); ++i) {
        if (m_pending[i]) {
            put.push_back(i);
        }
    }
    const std::string action = "Speichern in der Tabelle " + m_code;
    bool keyChanged = m_mode == Mode::Insert;
    for (const std::size_t key : m_keyColumns) {
        keyChanged = keyChanged || (m_pending[key] && ToVariant(*m_pending[key], m_columns[key].type) != m_current[key]);
    }
    std::int64_t rowid = 0;
    InTransaction(*m_connection, action, [&] {
        if (m_mode == Mode::Insert) {
            auto found = m_inserts.find(put);
            if (found == m_inserts.end()) {
                std::string sql = "INSERT INTO " + m_table;
                if (put.empty()) {
                    sql += " DEFAULT VALUES";
                } else {
                    std::string names;
                    std::string values;
                    for (std::size_t i = 0; i < put.size(); ++i) {
                        names += (i == 0 ? "" : ", ") + QuoteIdentifier(m_columns[put[i]].name);
                        values += (i == 0 ? "?" : ", ?") + std::to_string(i + 1);
                    }
                    sql += " (" + names + ") VALUES (" + values + ")";
                }
                found = m_inserts.emplace(put, m_connection->Prepare(sql, action)).first;
            }
            Statement& insert = found->second;
            StatementUse use(insert);
            for (std::size_t i = 0; i < put.size(); ++i) {
                insert.Bind(static_cast<int>(i + 1), *m_pending[put[i]]);
            }
            insert.Step();
            rowid = sqlite3_last_insert_rowid(m_connection->Handle());
        } else {
            rowid = *m_currentRowid;
            auto found = m_updates.find(put);
            if (found == m_updates.end()) {
                std::string sql = "UPDATE " + m_table + " SET ";
                for (std::size_t i = 0; i < put.size(); ++i) {
                    sql += (i == 0 ? "" : ", ") + QuoteIdentifier(m_columns[put[i]].name) + " = ?" + std::to_string(i + 1);
                }
                sql += " WHERE rowid = ?" + std::to_string(put.size() + 1);
                found = m_updates.emplace(put, m_connection->Prepare(sql, action)).first;
            }
            Statement& update = found->second;
            StatementUse use(update);
            for (std::size_t i = 0; i < put.size(); ++i) {
                update.Bind(static_cast<int>(i + 1), *m_pending[put[i]]);
            }
            update.BindInt64(static_cast<int>(put.size() + 1), rowid);
            update.Step();
            if (sqlite3_changes(m_connection->Handle()) == 0) {
                throw SelectlineError("Der aktuelle Datensatz der Tabelle " + m_code +
                                      " ist nicht mehr vorhanden; er wurde nicht gespeichert.");
            }
        }
        if (keyChanged) {
            CheckNoDuplicate(rowid);
        }
    });
    Cancel();
    StatementUse use(m_byRowid);
    m_byRowid.BindInt64(1, rowid);
    if (m_byRowid.Step()) {
        TakeRow(m_byRowid);
    } else {
        m_currentRowid.reset();
    }
}

std::size_t StandinTable::ColumnIndex(const std::string& fieldName) const {
    const auto found = m_columnIndex.find(fieldName);
    if (found == m_columnIndex.end()) {
        throw SelectlineError("Das Feld " + fieldName + " gibt es in der Tabelle " + m_code + " nicht.");
    }
    return found->second;
}

void StandinTable::TakeRow(Statement& statement) {
    m_currentRowid = statement.ColumnInt64(0);
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        m_current[i] = ToVariant(statement.ColumnValue(static_cast<int>(i + 1)), m_columns[i].type);
    }
}

bool StandinTable::MoveTo(Statement& statement) {
    StatementUse use(statement);
    if (statement.Step()) {
        TakeRow(statement);
        return true;
    }
    m_currentRowid.reset();
    return false;
}

void StandinTable::Cancel() {
    if (m_mode != Mode::Browse) {
        m_mode = Mode::Browse;
        for (auto& value : m_pending) {
            value.reset();
        }
    }
}

bool StandinTable::Find(const std::vector<std::string>& parts) {
    const auto& keyFields = KeyFieldsOf(m_code);
    if (keyFields.empty()) {
        throw SelectlineError("Die Tabelle " + m_code + " hat keinen Schlüssel zum Suchen.");
    }
    if (parts.size() > keyFields.size()) {
        throw SelectlineError("Der Schlüssel der Tabelle " + m_code + " hat nur " + std::to_string(keyFields.size()) +
                              (keyFields.size() == 1 ? " Teil." : " Teile."));
    }
    if (m_keyColumns.size() != keyFields.size()) {
        for (const auto& key : keyFields) {
            ColumnIndex(key);  // names the missing key field
        }
    }
    Cancel();
    Statement& find = m_find[parts.size() - 1];
    if (!find.IsPrepared()) {
        std::string sql = "SELECT " + m_selectList + " FROM " + m_table + " WHERE ";
        for (std::size_t i = 0; i < parts.size(); ++i) {
            sql += (i == 0 ? "" : " AND ") + QuoteIdentifier(keyFields[i]) + " = ?" + std::to_string(i + 1);
        }
        sql += " ORDER BY rowid LIMIT 1";
        find = m_connection->Prepare(sql, "Suchen in der Tabelle " + m_code);
    }
    StatementUse use(find);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        find.BindText(static_cast<int>(i + 1), parts[i]);
    }
    if (!find.Step()) {
        return false;  // the current record stays where it was
    }
    TakeRow(find);
    return true;
}

void StandinTable::CheckNoDuplicate(std::int64_t ownRowid) {
    if (m_keyColumns.empty()) {
        return;
    }
    if (!m_duplicate.IsPrepared()) {
        std::string sql = "SELECT 1 FROM " + m_table + " AS other, " + m_table +
                          " AS own WHERE own.rowid = ?1 AND other.rowid <> own.rowid";
        for (const std::size_t key : m_keyColumns) {
            const std::string name = QuoteIdentifier(m_columns[key].name);
            sql += " AND other." + name + " IS own." + name;
        }
        sql += " LIMIT 1";
        m_duplicate = m_connection->Prepare(sql, "Speichern in der Tabelle " + m_code);
    }
    StatementUse use(m_duplicate);
    m_duplicate.BindInt64(1, ownRowid);
    if (!m_duplicate.Step()) {
        return;
    }
    std::string key;
    for (const std::size_t column : m_keyColumns) {
        key += (key.empty() ? "" : ", ") + m_columns[column].name + " \"" + PendingOrCurrent(column).ToText() + "\"";
    }
    throw SelectlineError("Der Schlüssel " + key + " ist in der Tabelle " + m_code +
                          " schon vorhanden; der Datensatz wurde nicht gespeichert.");
}

Variant StandinTable::PendingOrCurrent(std::size_t column) const {
    if (m_pending[column]) {
        return ToVariant(*m_pending[column], m_columns[column].type);
    }
    if (m_mode == Mode::Insert) {
        return {};
    }
    return m_current[column];
}

std::string StandinTable::NoCurrentRecordText() const {
    return "Die Tabelle " + m_code + " hat keinen aktuellen Datensatz (sie ist leer oder am Ende angekommen).";
}

}  // namespace warenkai::standin
