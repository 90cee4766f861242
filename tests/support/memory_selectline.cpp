#include "tests/support/memory_selectline.h"

#include <algorithm>
#include <optional>
#include <thread>

namespace warenkai::test {
namespace {

const std::vector<std::string>& KeyColumns(const std::string& code) {
    static const std::map<std::string, std::vector<std::string>> keys = {
        {"AR", {"Artikelnummer"}}, {"AG", {"Nummer"}},
        {"TE", {"Schluessel"}},    {"AP", {"Artikelnummer", "Preisart", "Preisnummer"}},
        {"KU", {"Nummer"}},
    };
    static const std::vector<std::string> none;
    const auto found = keys.find(code);
    return found == keys.end() ? none : found->second;
}

// The first row whose first `parts.size()` key columns have the texts `parts`, through the table's
// index (built here when missing).
std::optional<std::size_t> IndexedRow(MemoryTable& table, const std::vector<std::string>& keys,
                                      const std::vector<std::string>& parts) {
    auto joined = [](auto&& partText, std::size_t count) {
        std::string key;
        for (std::size_t k = 0; k < count; ++k) {
            key += partText(k);
            key += '\x1f';
        }
        return key;
    };
    auto& index = table.keyIndex[parts.size()];
    if (index.empty()) {
        for (std::size_t i = 0; i < table.rows.size(); ++i) {
            const auto& row = table.rows[i];
            const bool complete = std::all_of(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(parts.size()),
                                              [&](const std::string& column) { return row.count(column) > 0; });
            if (complete) {
                index.emplace(joined([&](std::size_t k) { return row.at(keys[k]).ToText(); }, parts.size()), i);
            }
        }
    }
    const auto found = index.find(joined([&](std::size_t k) { return parts[k]; }, parts.size()));
    if (found == index.end()) {
        return std::nullopt;
    }
    return found->second;
}

class MemoryTableObject final : public SelectlineTable {
public:
    MemoryTableObject(std::shared_ptr<MemoryDatabase> db, std::string code)
        : m_db(std::move(db)), m_code(std::move(code)) {}

    std::int64_t Recordcount() override {
        Note("Recordcount");
        return static_cast<std::int64_t>(Rows().size());
    }
    void First() override {
        Note("First");
        m_current = 0;
        m_pending.reset();
    }
    void Next() override {
        Note("Next");
        if (m_current < Rows().size()) {
            ++m_current;
        }
        m_pending.reset();
    }
    Variant GetField(const std::string& name) override {
        Note("GetField " + name);
        CheckColumn(name);
        if (m_pending) {
            const auto it = m_pending->find(name);
            return it == m_pending->end() ? Variant{} : it->second;
        }
        if (m_current >= Rows().size()) {
            throw SelectlineError("Kein aktueller Datensatz in der Tabelle " + m_code);
        }
        const auto& row = Rows()[m_current];
        const auto it = row.find(name);
        return it == row.end() ? Variant{} : it->second;
    }
    bool FindKey(const std::string& key) override { return Find({key}); }
    bool FindKey2(const std::string& key1, const std::string& key2) override { return Find({key1, key2}); }
    bool FindKey3(const std::string& key1, const std::string& key2, const std::string& key3) override {
        return Find({key1, key2, key3});
    }
    void Insert() override {
        Note("Insert");
        m_pending.emplace();
        m_inserting = true;
    }
    void PutField(const std::string& name, const std::string& value) override {
        Note("PutField " + name + "=" + value);
        CheckColumn(name);
        if (!m_pending) {
            if (m_current >= Rows().size()) {
                throw SelectlineError("Kein aktueller Datensatz in der Tabelle " + m_code);
            }
            m_pending = Rows()[m_current];
            m_inserting = false;
        }
        (*m_pending)[name] = Variant(value);
    }
    void Post() override {
        Note("Post");
        if (!m_pending) {
            return;
        }
        const auto& keys = KeyColumns(m_code);
        if (!keys.empty()) {
            const std::size_t self = m_inserting ? Rows().size() : m_current;
            for (std::size_t i = 0; i < Rows().size(); ++i) {
                if (i != self && SameKey(Rows()[i], *m_pending, keys)) {
                    throw SelectlineError("Der Schlüssel ist in der Tabelle " + m_code + " schon vorhanden");
                }
            }
        }
        m_db->tables[m_code].keyIndex.clear();
        if (m_inserting) {
            Rows().push_back(std::move(*m_pending));
            m_current = Rows().size() - 1;
        } else {
            Rows()[m_current] = std::move(*m_pending);
        }
        m_pending.reset();
        m_inserting = false;
    }

private:
    using Row = std::unordered_map<std::string, Variant>;

    std::vector<Row>& Rows() { return m_db->tables[m_code].rows; }

    void Note(const std::string& call) {
        if (m_db->recordCalls) {
            m_db->calls.push_back(m_code + "." + call);
        }
        m_db->Called(m_code + "." + call);
    }
    void CheckColumn(const std::string& name) {
        if (!m_db->tables[m_code].HasColumn(name)) {
            throw SelectlineError("Das Feld " + name + " gibt es in der Tabelle " + m_code + " nicht");
        }
    }
    static bool SameKey(const Row& a, const Row& b, const std::vector<std::string>& keys) {
        for (const auto& key : keys) {
            const auto x = a.find(key);
            const auto y = b.find(key);
            const std::string left = x == a.end() ? std::string{} : x->second.ToText();
            const std::string right = y == b.end() ? std::string{} : y->second.ToText();
            if (left != right) {
                return false;
            }
        }
        return true;
    }
    bool Find(const std::vector<std::string>& parts) {
        std::string joined;
        for (const auto& part : parts) {
            joined += " " + part;
        }
        Note("FindKey" + joined);
        const auto& keys = KeyColumns(m_code);
        if (keys.size() < parts.size()) {
            throw SelectlineError("Die Tabelle " + m_code + " hat keinen solchen Schlüssel");
        }
        m_pending.reset();
        const auto& rows = Rows();
        if (m_db->indexKeys) {
            const auto row = IndexedRow(m_db->tables[m_code], keys, parts);
            if (row) {
                m_current = *row;
            }
            return row.has_value();
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            bool match = true;
            for (std::size_t k = 0; k < parts.size() && match; ++k) {
                const auto it = rows[i].find(keys[k]);
                match = it != rows[i].end() && it->second.ToText() == parts[k];
            }
            if (match) {
                m_current = i;
                return true;
            }
        }
        return false;
    }

    std::shared_ptr<MemoryDatabase> m_db;
    std::string m_code;
    std::size_t m_current = 0;
    std::optional<Row> m_pending;
    bool m_inserting = false;
};

bool Exists(MemoryDatabase& db, const std::string& code, const std::string& keyColumn, const std::string& key) {
    const auto& rows = db.tables[code].rows;
    return std::any_of(rows.begin(), rows.end(), [&](const auto& row) {
        const auto it = row.find(keyColumn);
        return it != row.end() && it->second.ToText() == key;
    });
}

class MemoryLine final : public SelectlineDocumentLine {
public:
    MemoryLine(std::shared_ptr<MemoryDatabase> db, MemoryDocument& document)
        : m_db(std::move(db)), m_document(document) {}

    void SetEingabeMenge(double quantity) override { Call("SetEingabeMenge " + FormatGermanNumber(quantity)); }
    void SetArtikel(const std::string& article) override {
        if (!Exists(*m_db, "AR", "Artikelnummer", article)) {
            throw SelectlineError("Artikel " + article + " ist nicht vorhanden");
        }
        Call("SetArtikel " + article);
    }
    void SetEinzelpreis(double price) override { Call("SetEinzelpreis " + FormatGermanNumber(price)); }
    void SetSteuerProzent(const std::string& rate) override { Call("SetSteuerProzent " + rate); }
    void SetBezeichnung(const std::string& text) override { Call("SetBezeichnung " + text); }
    void SetGesamtpreis(const std::string& total) override { Call("SetGesamtpreis " + total); }
    void Save(int mode) override {
        Call("Save " + std::to_string(mode));
        m_document.positions.push_back(m_position);
    }

private:
    void Call(const std::string& call) {
        m_position.calls.push_back(call);
        m_db->Called(call);
    }

    std::shared_ptr<MemoryDatabase> m_db;
    MemoryDocument& m_document;
    MemoryPosition m_position;
};

class MemoryDocumentObject final : public SelectlineDocument {
public:
    MemoryDocumentObject(std::shared_ptr<MemoryDatabase> db, std::string kind) : m_db(std::move(db)) {
        m_document.kind = std::move(kind);
    }
    void SetAdresse(const std::string& customer) override {
        if (!Exists(*m_db, "KU", "Nummer", customer)) {
            throw SelectlineError("Kunde " + customer + " ist nicht vorhanden");
        }
        m_document.address = customer;
    }
    void PutField(const std::string& name, const std::string& value) override { m_document.fields[name] = value; }
    std::unique_ptr<SelectlineDocumentLine> CreatePos(const std::string&) override {
        return std::make_unique<MemoryLine>(m_db, m_document);
    }
    void Save() override { m_db->documents.push_back(m_document); }

private:
    std::shared_ptr<MemoryDatabase> m_db;
    MemoryDocument m_document;
};

class MemoryApplication final : public SelectlineApplication {
public:
    explicit MemoryApplication(std::shared_ptr<MemoryDatabase> db) : m_db(std::move(db)) {}

    bool ApplicationReady() override {
        Note("ApplicationReady");
        if (m_db->notReadyChecks > 0) {
            --m_db->notReadyChecks;
            return false;
        }
        return true;
    }
    void login(const std::string& user, const std::string& password) override {
        Note("login " + user + "|" + password);
    }
    void getMandant(const std::string& mandant, int mode) override {
        Note("getMandant " + mandant + "|" + std::to_string(mode));
    }
    std::unique_ptr<SelectlineTable> CreateTable(const std::string& code) override {
        Note("CreateTable " + code);
        if (m_db->tables.find(code) == m_db->tables.end()) {
            throw SelectlineError("Unbekannte Tabelle " + code);
        }
        return std::make_unique<MemoryTableObject>(m_db, code);
    }
    Variant Listenpreis(const std::string& article) override {
        Note("Listenpreis " + article);
        if (m_db->indexKeys) {
            auto& articles = m_db->tables["AR"];
            const auto row = IndexedRow(articles, KeyColumns("AR"), {article});
            if (!row) {
                return {};
            }
            const auto price = articles.rows[*row].find("Listenpreis");
            return price == articles.rows[*row].end() ? Variant{} : price->second;
        }
        for (const auto& row : m_db->tables["AR"].rows) {
            const auto number = row.find("Artikelnummer");
            if (number != row.end() && number->second.ToText() == article) {
                const auto price = row.find("Listenpreis");
                return price == row.end() ? Variant{} : price->second;
            }
        }
        return {};
    }
    std::unique_ptr<SelectlineDocument> NeuerBelegAuto(const std::string& kind, const std::string&) override {
        Note("NeuerBelegAuto " + kind);
        return std::make_unique<MemoryDocumentObject>(m_db, kind);
    }

private:
    void Note(const std::string& call) {
        if (m_db->recordCalls) {
            m_db->calls.push_back(call);
        }
        m_db->Called(call);
    }
    std::shared_ptr<MemoryDatabase> m_db;
};

}  // namespace

void MemoryDatabase::Called(const std::string& call) const {
    if (callTime.count() > 0) {
        std::this_thread::sleep_for(callTime);
    }
    if (onCall) {
        onCall(call);
    }
}

MemoryTable& MemoryTable::Add(const std::vector<std::pair<std::string, Variant>>& fields) {
    std::unordered_map<std::string, Variant> row;
    for (const auto& [name, value] : fields) {
        if (!HasColumn(name)) {
            columns.push_back(name);
        }
        row[name] = value;
    }
    rows.push_back(std::move(row));
    keyIndex.clear();
    return *this;
}

bool MemoryTable::HasColumn(const std::string& name) const {
    return std::find(columns.begin(), columns.end(), name) != columns.end();
}

MemoryTable& MemoryDatabase::Table(const std::string& code) {
    return tables[code];
}

SelectlineFactory MakeMemorySelectline(std::shared_ptr<MemoryDatabase> database) {
    return [database]() -> std::unique_ptr<SelectlineApplication> {
        return std::make_unique<MemoryApplication>(database);
    };
}

}  // namespace warenkai::test
