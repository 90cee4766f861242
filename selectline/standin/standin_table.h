#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "selectline/selectline_application.h"
#include "selectline/standin/column_value.h"
#include "selectline/standin/sqlite_connection.h"

namespace warenkai::standin {

// The key fields of a table code, in key order (empty for tables without key look-up).
const std::vector<std::string>& KeyFieldsOf(const std::string& code);

// One open table of the stand-in: the SQLite table named like the code, walked in rowid order. The
// current record is remembered by its rowid, so rows added meanwhile never shift the walk, and its
// fields are read once per move and then served from memory.
class StandinTable final : public SelectlineTable {
public:
    // Opens the table and moves to its first record. Throws SelectlineError when the database has
    // no such table.
    StandinTable(std::shared_ptr<Connection> connection, std::string code);

    std::int64_t Recordcount() override;
    void First() override;
    void Next() override;
    Variant GetField(const std::string& fieldName) override;
    bool FindKey(const std::string& key) override;
    bool FindKey2(const std::string& key1, const std::string& key2) override;
    bool FindKey3(const std::string& key1, const std::string& key2, const std::string& key3) override;
    void Insert() override;
    void PutField(const std::string& fieldName, const std::string& value) override;
    void Post() override;

private:
    struct Column {
        std::string name;
        ColumnType type = ColumnType::Text;
    };
    enum class Mode { Browse, Edit, Insert };

    std::size_t ColumnIndex(const std::string& fieldName) const;
    // Loads the row the statement stands on (rowid, then every column) as the current record.
    void TakeRow(Statement& statement);
    // Steps the statement once: its row becomes current, or there is no current record afterwards.
    bool MoveTo(Statement& statement);
    void Cancel();
    bool Find(const std::vector<std::string>& parts);
    // Throws when another row has the same key as the row `ownRowid` (inside the writing transaction).
    void CheckNoDuplicate(std::int64_t ownRowid);
    Variant PendingOrCurrent(std::size_t column) const;
    std::string NoCurrentRecordText() const;

    std::shared_ptr<Connection> m_connection;  // first member: destroyed after the statements
    std::string m_code;
    std::string m_table;        // quoted name
    std::string m_selectList;   // rowid, "col1", "col2", …
    std::vector<Column> m_columns;
    std::unordered_map<std::string, std::size_t> m_columnIndex;
    std::vector<std::size_t> m_keyColumns;

    std::optional<std::int64_t> m_currentRowid;
    std::vector<Variant> m_current;
    Mode m_mode = Mode::Browse;
    std::vector<std::optional<StoredValue>> m_pending;

    Statement m_first;
    Statement m_next;
    Statement m_count;
    Statement m_byRowid;
    std::array<Statement, 3> m_find;
    Statement m_duplicate;
    std::map<std::vector<std::size_t>, Statement> m_inserts;  // by the set of fields put
    std::map<std::vector<std::size_t>, Statement> m_updates;
};

}  // namespace warenkai::standin
