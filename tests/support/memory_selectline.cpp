#include "tests/support/memory_selectline.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <thread>

namespace warenkai::test {
namespace {

using Row = MemoryTable::Row;

// The key fields of a table; none ("") for the other tables.
const std::vector<std::string>& KeyColumns(const std::string& code) {
    static const std::map<std::string, std::vector<std::string>> keys = {
        {"AR", {"Artikelnummer"}}, {"AG", {"Nummer"}},
        {"TE", {"Schluessel"}},    {"AP", {"Artikelnummer", "Preisart", "Preisnummer"}},
        {"KU", {"Nummer"}},        {"", {}},
    };
    return keys.contains(code) ? keys.at(code) : keys.at("");
}

// The texts of the first `count` key fields of `row`, joined; nothing when one is missing.
std::optional<std::string> RowKey(const Row& row, const std::vector<std::string>& keys, std::size_t count) {
    std::string key;
    for (std::size_t k = 0; k < count; ++k) {
        const auto it = row.find(keys[k]);
        if (it == row.end()) {
            return std::nullopt;
        }
        key += it->second.ToText() + '\x1f';
    }
    return key;
}

// Records the call, spends callTime and tells onCall; the text is built only when one of them is set.
void Tell(MemoryDatabase& db, std::initializer_list<std::string_view> parts) {
    if (!db.recordCalls && !db.onCall && db.callTime.count() == 0) {
        return;
    }
    std::string call;
    for (const auto part : parts) {
        call += part;
    }
    if (db.recordCalls) {
        db.calls.push_back(call);
    }
    std::this_thread::sleep_for(db.callTime);
    if (db.onCall) {
        db.onCall(call);
    }
}

// The first row of `table` whose first `count` key fields have the joined texts `key`.
std::optional<std::size_t> Lookup(MemoryTable& table, const std::string& code, std::size_t count,
                                  const std::string& key) {
    const auto& keys = KeyColumns(code);
    if (keys.size() < count) {
        throw SelectlineError("Die Tabelle " + code + " hat keinen solchen Schlüssel");
    }
    const auto [index, fresh] = table.index.try_emplace(count);
    for (std::size_t i = 0; fresh && i < table.rows.size(); ++i) {
        if (const auto rowKey = RowKey(table.rows[i], keys, count)) {
            index->second.emplace(*rowKey, i);
        }
    }
    const auto found = index->second.find(key);
    return found == index->second.end() ? std::nullopt : std::optional<std::size_t>(found->second);
}

std::optional<std::size_t> FindRow(MemoryTable& table, const std::string& code, const std::vector<std::string>& parts) {
    std::string key;
    for (const auto& part : parts) {
        key += part + '\x1f';
    }
    return Lookup(table, code, parts.size(), key);
}

class MemoryTableObject final : public SelectlineTable {
public:
    MemoryTableObject(std::shared_ptr<MemoryDatabase> db, std::string code)
        : m_db(std::move(db)), m_code(std::move(code)), m_table(m_db->tables.at(m_code)), m_keys(KeyColumns(m_code)) {
        m_table.index.clear();
    }

    std::int64_t Recordcount() override {
        Tell(*m_db, {m_code, ".Recordcount"});
        return static_cast<std::int64_t>(m_table.rows.size());
    }
    void First() override {
        Tell(*m_db, {m_code, ".First"});
        m_current = 0;
        m_pending.reset();
    }
    void Next() override {
        Tell(*m_db, {m_code, ".Next"});
        m_current = std::min(m_current + 1, m_table.rows.size());
        m_pending.reset();
    }
    Variant GetField(const std::string& name) override {
        Tell(*m_db, {m_code, ".GetField ", name});
        CheckColumn(name);
        const Row& row = m_pending ? *m_pending : CurrentRow();
        const auto it = row.find(name);
        return it == row.end() ? Variant{} : it->second;
    }
    bool FindKey(const std::string& key) override {
        Tell(*m_db, {m_code, ".FindKey ", key});
        return Find({key});
    }
    bool FindKey2(const std::string& key1, const std::string& key2) override {
        Tell(*m_db, {m_code, ".FindKey ", key1, " ", key2});
        return Find({key1, key2});
    }
    bool FindKey3(const std::string& key1, const std::string& key2, const std::string& key3) override {
        Tell(*m_db, {m_code, ".FindKey ", key1, " ", key2, " ", key3});
        return Find({key1, key2, key3});
    }
    void Insert() override {
        Tell(*m_db, {m_code, ".Insert"});
        m_pending.emplace();
        m_inserting = true;
    }
    void PutField(const std::string& name, const std::string& value) override {
        Tell(*m_db, {m_code, ".PutField ", name, "=", value});
        CheckColumn(name);
        if (!m_pending) {
            m_pending = CurrentRow();
            m_inserting = false;
        }
        (*m_pending)[name] = Variant(value);
    }
    void Post() override {
        Tell(*m_db, {m_code, ".Post"});
        if (!m_pending) {
            return;
        }
        auto& rows = m_table.rows;
        const std::size_t self = m_inserting ? rows.size() : m_current;
        if (const auto key = RowKey(*m_pending, m_keys, m_keys.size()); key && !m_keys.empty()) {
            if (const auto other = Lookup(m_table, m_code, m_keys.size(), *key); other && *other != self) {
                throw SelectlineError("Der Schlüssel ist in der Tabelle " + m_code + " schon vorhanden");
            }
        }
        if (m_inserting) {
            rows.push_back(std::move(*m_pending));
            for (auto& [count, index] : m_table.index) {
                if (const auto key = RowKey(rows.back(), m_keys, count)) {
                    index.emplace(*key, self);
                }
            }
        } else {
            for (std::size_t count = 1; count <= m_keys.size(); ++count) {
                if (RowKey(rows[self], m_keys, count) != RowKey(*m_pending, m_keys, count)) {
                    m_table.index.clear();
                }
            }
            rows[self] = std::move(*m_pending);
        }
        m_current = self;
        if (m_table.afterPost) {
            m_table.afterPost(rows, m_current, m_inserting);
            m_table.index.clear();
        }
        m_pending.reset();
        m_inserting = false;
    }

private:
    const Row& CurrentRow() const {
        if (m_current >= m_table.rows.size()) {
            throw SelectlineError("Kein aktueller Datensatz in der Tabelle " + m_code);
        }
        return m_table.rows[m_current];
    }
    void CheckColumn(const std::string& name) const {
        if (std::find(m_table.columns.begin(), m_table.columns.end(), name) == m_table.columns.end()) {
            throw SelectlineError("Das Feld " + name + " gibt es in der Tabelle " + m_code + " nicht");
        }
    }
    bool Find(const std::vector<std::string>& parts) {
        m_pending.reset();
        const auto row = FindRow(m_table, m_code, parts);
        m_current = row.value_or(m_current);
        return row.has_value();
    }

    std::shared_ptr<MemoryDatabase> m_db;
    std::string m_code;
    MemoryTable& m_table;
    const std::vector<std::string>& m_keys;
    std::size_t m_current = 0;
    std::optional<Row> m_pending;
    bool m_inserting = false;
};

class MemoryLine final : public SelectlineDocumentLine {
public:
    MemoryLine(std::shared_ptr<MemoryDatabase> db, MemoryDocument& document)
        : m_db(std::move(db)), m_document(document) {}

    void SetEingabeMenge(double quantity) override { Tell(*m_db, {"SetEingabeMenge ", FormatGermanNumber(quantity)}); }
    void SetArtikel(const std::string& article) override {
        if (!FindRow(m_db->Table("AR"), "AR", {article})) {
            throw SelectlineError("Artikel " + article + " ist nicht vorhanden");
        }
        Tell(*m_db, {"SetArtikel ", article});
    }
    void SetEinzelpreis(double price) override { Tell(*m_db, {"SetEinzelpreis ", FormatGermanNumber(price)}); }
    void SetSteuerProzent(const std::string& rate) override { Tell(*m_db, {"SetSteuerProzent ", rate}); }
    void SetBezeichnung(const std::string& text) override { Tell(*m_db, {"SetBezeichnung ", text}); }
    void SetGesamtpreis(const std::string& total) override { Tell(*m_db, {"SetGesamtpreis ", total}); }
    void Save(int mode) override {
        Tell(*m_db, {"Save ", std::to_string(mode)});
        ++m_document.positions;
    }

private:
    std::shared_ptr<MemoryDatabase> m_db;
    MemoryDocument& m_document;
};

class MemoryDocumentObject final : public SelectlineDocument {
public:
    explicit MemoryDocumentObject(std::shared_ptr<MemoryDatabase> db) : m_db(std::move(db)) {}
    void SetAdresse(const std::string& customer) override {
        Tell(*m_db, {"SetAdresse ", customer});
        if (!FindRow(m_db->Table("KU"), "KU", {customer})) {
            throw SelectlineError("Kunde " + customer + " ist nicht vorhanden");
        }
    }
    void PutField(const std::string& name, const std::string& value) override {
        Tell(*m_db, {"PutField ", name, "=", value});
    }
    std::unique_ptr<SelectlineDocumentLine> CreatePos(const std::string&) override {
        return std::make_unique<MemoryLine>(m_db, m_document);
    }
    void Save() override {
        Tell(*m_db, {"Save"});
        m_db->documents.push_back(m_document);
    }

private:
    std::shared_ptr<MemoryDatabase> m_db;
    MemoryDocument m_document;
};

class MemoryApplication final : public SelectlineApplication {
public:
    explicit MemoryApplication(std::shared_ptr<MemoryDatabase> db) : m_db(std::move(db)) {}

    bool ApplicationReady() override {
        Tell(*m_db, {"ApplicationReady"});
        return m_db->notReadyChecks <= 0 || --m_db->notReadyChecks < 0;  // false while checks are left
    }
    void login(const std::string& user, const std::string& password) override {
        Tell(*m_db, {"login ", user, "|", password});
    }
    void getMandant(const std::string& mandant, int mode) override {
        Tell(*m_db, {"getMandant ", mandant, "|", std::to_string(mode)});
    }
    std::unique_ptr<SelectlineTable> CreateTable(const std::string& code) override {
        Tell(*m_db, {"CreateTable ", code});
        if (m_db->tables.find(code) == m_db->tables.end()) {
            throw SelectlineError("Unbekannte Tabelle " + code);
        }
        return std::make_unique<MemoryTableObject>(m_db, code);
    }
    Variant Listenpreis(const std::string& article) override {
        Tell(*m_db, {"Listenpreis ", article});
        auto& articles = m_db->Table("AR");
        const auto row = FindRow(articles, "AR", {article});
        return row && articles.rows[*row].contains("Listenpreis") ? articles.rows[*row].at("Listenpreis") : Variant{};
    }
    std::unique_ptr<SelectlineDocument> NeuerBelegAuto(const std::string& kind, const std::string&) override {
        Tell(*m_db, {"NeuerBelegAuto ", kind});
        return std::make_unique<MemoryDocumentObject>(m_db);
    }

private:
    std::shared_ptr<MemoryDatabase> m_db;
};

}  // namespace

MemoryTable& MemoryTable::Add(const std::vector<std::pair<std::string, Variant>>& fields) {
    Row row;
    for (const auto& [name, value] : fields) {
        if (std::find(columns.begin(), columns.end(), name) == columns.end()) {
            columns.push_back(name);
        }
        row[name] = value;
    }
    rows.push_back(std::move(row));
    index.clear();
    return *this;
}

SelectlineFactory MakeMemorySelectline(std::shared_ptr<MemoryDatabase> database) {
    return [database]() -> std::unique_ptr<SelectlineApplication> {
        return std::make_unique<MemoryApplication>(database);
    };
}

}  // namespace warenkai::test
