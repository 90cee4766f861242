#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>

struct sqlite3;
struct sqlite3_stmt;

namespace warenkai::standin {

// A value as it goes into a column: NULL, whole number, floating number or text.
using StoredValue = std::variant<std::monostate, std::int64_t, double, std::string>;

class Connection;

// One prepared statement, finalized on destruction. Every use is wrapped in a StatementUse, which
// resets the statement afterwards so no read lock stays open between calls.
class Statement {
public:
    Statement() = default;
    Statement(Connection& connection, sqlite3_stmt* statement, std::string action)
        : m_connection(&connection), m_statement(statement), m_action(std::move(action)) {}
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    bool IsPrepared() const { return m_statement != nullptr; }
    sqlite3_stmt* Handle() const { return m_statement; }

    // Parameters count from 1.
    void Bind(int index, const StoredValue& value);
    void BindText(int index, std::string_view text);
    void BindInt64(int index, std::int64_t value);
    // Steps once: true when a row is there. Errors throw SelectlineError.
    bool Step();
    void Reset() noexcept;

    std::int64_t ColumnInt64(int column) const;
    // The column's value by its storage class (NULL, integer, real or text; blobs as text).
    StoredValue ColumnValue(int column) const;

private:
    Connection* m_connection = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    std::string m_action;
};

// Resets its statement when it goes out of scope.
class StatementUse {
public:
    explicit StatementUse(Statement& statement) : m_statement(statement) {}
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;
    ~StatementUse() { m_statement.Reset(); }

private:
    Statement& m_statement;
};

// One connection to the stand-in's database file. Tables, documents and the application share it.
class Connection {
public:
    // Opens an existing database file (or, with `create`, makes a new empty one). Errors (missing,
    // read-only, locked, corrupt, not a database) throw SelectlineError with a German text naming
    // the file.
    static std::shared_ptr<Connection> Open(const std::filesystem::path& file, std::chrono::milliseconds busyTimeout,
                                            bool create = false);

    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    sqlite3* Handle() const { return m_db; }
    const std::filesystem::path& File() const { return m_file; }

    // Errors throw SelectlineError; `action` says what was being done ("Lesen der Tabelle AR").
    Statement Prepare(const std::string& sql, const std::string& action);
    // A statement kept for the connection's lifetime, prepared at its first use.
    Statement& Cached(const std::string& sql, const std::string& action);
    void Execute(const std::string& sql, const std::string& action);

    bool TableExists(const std::string& name);

    // Throws the SelectlineError for an SQLite result code; `action` says what was being done.
    [[noreturn]] void Fail(int resultCode, const std::string& action) const;

private:
    Connection(std::filesystem::path file, sqlite3* db) : m_file(std::move(file)), m_db(db) {}

    std::filesystem::path m_file;
    sqlite3* m_db = nullptr;
    std::unordered_map<std::string, Statement> m_cache;
};

// Throws the SelectlineError of a read-only database when `file` is marked read-only; gives the
// owner write permission on -wal and -shm files beside it that an earlier run left read-only.
void RefuseReadOnlyFile(const std::filesystem::path& file);

// The German error text for an SQLite result code on `file` (see Connection::Fail).
std::string DatabaseErrorText(const std::filesystem::path& file, int resultCode, const std::string& detail,
                              const std::string& action);

// The file's name as UTF-8 text for messages.
std::string PathText(const std::filesystem::path& file);

// "name" quoted as an SQL identifier.
std::string QuoteIdentifier(const std::string& name);

// Runs `work` inside one write transaction (BEGIN IMMEDIATE … COMMIT); rolls back when it throws.
template <typename Work>
void InTransaction(Connection& connection, const std::string& action, Work&& work) {
    connection.Execute("BEGIN IMMEDIATE", action);
    try {
        work();
        connection.Execute("COMMIT", action);
    } catch (...) {
        try {
            connection.Execute("ROLLBACK", action);
        } catch (...) {
            // The transaction may already be gone (SQLite rolls back by itself on some errors).
        }
        throw;
    }
}

}  // namespace warenkai::standin
