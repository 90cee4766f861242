#include "selectline/standin/sqlite_connection.h"

#include <sqlite3.h>

#include <climits>

#include "selectline/selectline_error.h"

namespace warenkai::standin {

std::string PathText(const std::filesystem::path& file) {
    const auto text = file.u8string();
    return std::string(text.begin(), text.end());
}

std::string QuoteIdentifier(const std::string& name) {
    std::string quoted = "\"";
    for (const char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

void RefuseReadOnlyFile(const std::filesystem::path& file) {
    namespace fs = std::filesystem;
    const auto writable = [](const fs::path& path) {
        std::error_code ec;
        const auto status = fs::status(path, ec);
        return ec || (status.permissions() & fs::perms::owner_write) != fs::perms::none;
    };
    // A database marked read-only is not opened at all (also by an administrator, whom the system
    // would let write): nothing is written and no -wal or -shm file is left behind.
    if (!writable(file)) {
        throw SelectlineError(DatabaseErrorText(file, SQLITE_READONLY, "", "Öffnen"));
    }
    // -wal and -shm files that an earlier run left read-only (it could only read the database) would
    // keep this one from writing; the database itself may be written, so they may be too.
    for (const char* companion : {"-wal", "-shm"}) {
        auto path = file;
        path += companion;
        std::error_code ec;
        if (fs::is_regular_file(fs::symlink_status(path, ec)) && !writable(path)) {
            fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
        }
    }
}

std::string DatabaseErrorText(const std::filesystem::path& file, int resultCode, const std::string& detail,
                              const std::string& action) {
    std::string name = "\"";
    name += PathText(file);
    name += '"';
    std::string text;
    switch (resultCode & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            text = "Die Selectline-Datenbank " + name + " ist gesperrt, ein anderes Programm arbeitet gerade mit ihr";
            break;
        case SQLITE_CORRUPT:
            text = "Die Selectline-Datenbank " + name + " ist beschädigt";
            break;
        case SQLITE_NOTADB:
            text = "Die Datei " + name + " ist keine Selectline-Datenbank";
            break;
        case SQLITE_CANTOPEN:
            text = "Die Selectline-Datenbank " + name + " kann nicht geöffnet werden";
            break;
        case SQLITE_READONLY:
            text = "Die Selectline-Datenbank " + name + " ist schreibgeschützt";
            break;
        case SQLITE_FULL:
            text = "Der Datenträger der Selectline-Datenbank " + name + " ist voll";
            break;
        case SQLITE_IOERR:
            text = "Die Selectline-Datenbank " + name + " kann nicht gelesen oder geschrieben werden";
            break;
        default:
            text = "Fehler in der Selectline-Datenbank " + name + (detail.empty() ? "" : ": " + detail);
            break;
    }
    if (!action.empty()) {
        text += " (beim " + action + ")";
    }
    text += ".";
    return text;
}

Statement::Statement(Statement&& other) noexcept
    : m_connection(other.m_connection), m_statement(other.m_statement), m_action(std::move(other.m_action)) {
    other.m_statement = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_connection = other.m_connection;
        m_statement = other.m_statement;
        m_action = std::move(other.m_action);
        other.m_statement = nullptr;
    }
    return *this;
}

Statement::~Statement() {
    sqlite3_finalize(m_statement);
}

void Statement::Bind(int index, const StoredValue& value) {
    int rc = SQLITE_OK;
    if (std::holds_alternative<std::monostate>(value)) {
        rc = sqlite3_bind_null(m_statement, index);
    } else if (const auto* whole = std::get_if<std::int64_t>(&value)) {
        rc = sqlite3_bind_int64(m_statement, index, *whole);
    } else if (const auto* floating = std::get_if<double>(&value)) {
        rc = sqlite3_bind_double(m_statement, index, *floating);
    } else {
        const auto& text = std::get<std::string>(value);
        BindText(index, text);
        return;
    }
    if (rc != SQLITE_OK) {
        m_connection->Fail(rc, m_action);
    }
}

void Statement::BindText(int index, std::string_view text) {
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        m_connection->Fail(SQLITE_TOOBIG, m_action);
    }
    const int rc = sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) {
        m_connection->Fail(rc, m_action);
    }
}

void Statement::BindInt64(int index, std::int64_t value) {
    const int rc = sqlite3_bind_int64(m_statement, index, value);
    if (rc != SQLITE_OK) {
        m_connection->Fail(rc, m_action);
    }
}

bool Statement::Step() {
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    m_connection->Fail(rc, m_action);
}

void Statement::Reset() noexcept {
    if (m_statement != nullptr) {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
}

std::int64_t Statement::ColumnInt64(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

StoredValue Statement::ColumnValue(int column) const {
    switch (sqlite3_column_type(m_statement, column)) {
        case SQLITE_NULL:
            return std::monostate{};
        case SQLITE_INTEGER:
            return static_cast<std::int64_t>(sqlite3_column_int64(m_statement, column));
        case SQLITE_FLOAT:
            return sqlite3_column_double(m_statement, column);
        default: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
            const int size = sqlite3_column_bytes(m_statement, column);
            return text == nullptr ? std::string() : std::string(text, static_cast<std::size_t>(size));
        }
    }
}

std::shared_ptr<Connection> Connection::Open(const std::filesystem::path& file, std::chrono::milliseconds busyTimeout,
                                             bool create) {
    if (!create) {
        RefuseReadOnlyFile(file);
    }
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(PathText(file).c_str(), &db, flags, nullptr);
    // SQLite falls back to reading alone when the file cannot be written. Reading a database in
    // write-ahead mode would create its -wal and -shm files, with the database's own read-only
    // permissions, and those would keep every later run from writing: refused before the first read.
    if (rc == SQLITE_OK && sqlite3_db_readonly(db, "main") == 1) {
        rc = SQLITE_READONLY;
    }
    if (rc != SQLITE_OK) {
        const std::string detail = db != nullptr ? sqlite3_errmsg(db) : std::string();
        sqlite3_close_v2(db);
        throw SelectlineError(DatabaseErrorText(file, rc, detail, "Öffnen"));
    }
    std::shared_ptr<Connection> connection(new Connection(file, db));
    const auto milliseconds = busyTimeout.count();
    sqlite3_busy_timeout(db, milliseconds > INT_MAX ? INT_MAX : static_cast<int>(milliseconds < 0 ? 0 : milliseconds));
    sqlite3_extended_result_codes(db, 1);
    // SQLite reads the file only at the first statement: find out now whether it is a database.
    {
        Statement check = connection->Prepare("SELECT count(*) FROM sqlite_master", "Öffnen");
        StatementUse use(check);
        check.Step();
    }
    // Write-ahead logging: a Post costs one flush to disk instead of three, and readers never wait
    // for a writer. Where it cannot be switched on (another program holds the file) the database
    // keeps its journal mode; nothing else changes.
    if (!create) {
        sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    }
    return connection;
}

Connection::~Connection() {
    m_cache.clear();
    sqlite3_close_v2(m_db);
}

Statement Connection::Prepare(const std::string& sql, const std::string& action) {
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                                      &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        Fail(rc, action);
    }
    return Statement(*this, statement, action);
}

Statement& Connection::Cached(const std::string& sql, const std::string& action) {
    const auto found = m_cache.find(sql);
    if (found != m_cache.end()) {
        return found->second;
    }
    return m_cache.emplace(sql, Prepare(sql, action)).first->second;
}

void Connection::Execute(const std::string& sql, const std::string& action) {
    Statement& statement = Cached(sql, action);
    StatementUse use(statement);
    while (statement.Step()) {
    }
}

bool Connection::TableExists(const std::string& name) {
    Statement& statement =
        Cached("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE", "Öffnen einer Tabelle");
    StatementUse use(statement);
    statement.BindText(1, name);
    return statement.Step();
}

void Connection::Fail(int resultCode, const std::string& action) const {
    throw SelectlineError(DatabaseErrorText(m_file, resultCode, sqlite3_errmsg(m_db), action));
}

}  // namespace warenkai::standin
