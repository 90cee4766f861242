// The article export's two walks (ExportArticles and ExportArticleGroups) over generated article sets
// of 1,000, 10,000 and 100,000 articles: once against the SQLite stand-in of the automation server,
// once against an indexed in-memory set, whose own cost is small, so that run shows the program's own
// work. Run on demand:
//
//     cmake --build build --target export_benchmark && build/bin/export_benchmark
//
// Each article has 30 mapped rows (key, name, the group and its parent, four texts, prices 1 to 9
// with their dates, the special price with its two dates, the tax rate); the tax table holds 20
// records. After the benchmarks a summary gives articles per second, the share of the time spent in
// the stand-in, and memory.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/event_loop.h"
#include "common/status_area.h"
#include "common/transfer_context.h"
#include "common/user_dialogs.h"
#include "common/web_opener.h"
#include "export/article_export.h"
#include "export/article_groups.h"
#include "selectline/selectline_application.h"
#include "selectline/selectline_session.h"
#include "selectline/standin/standin_selectline.h"
#include "settings/settings.h"
#include "shop/ftp_control.h"

namespace warenkai::bench {
namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------------
// The generated article set: every value is a function of the article's index.

constexpr int kParentGroups = 10;
constexpr int kChildGroups = 40;
constexpr int kTaxRecords = 20;

std::string Digits(long value, int width) {
    std::string text = std::to_string(value);
    return text.size() < static_cast<std::size_t>(width) ? std::string(width - text.size(), '0') + text : text;
}

std::string ArticleNumber(long i) { return "A" + Digits(i, 7); }
std::string ParentKey(long k) { return "P" + Digits(k, 2); }
std::string ChildKey(long k) { return "G" + Digits(k, 2); }
std::string GroupOf(long i) { return i % 7 == 0 ? ParentKey(i % kParentGroups) : ChildKey(i % kChildGroups); }
std::string NameOf(long i) { return "Artikel " + std::to_string(i) + " Größe 19\" für's Regal"; }
std::string TextOf(const char* code, long i) {
    return std::string("Text ") + code + " zu Artikel " + std::to_string(i) + "\r\nzweite Zeile";
}
double PriceOf(long i, int n) { return static_cast<double>(i % 1000) / 10.0 + n; }
Date ValidFrom(long i, int n) { return Date{2024, n, static_cast<int>(1 + i % 28)}; }
Date SpecialFrom(long i) { return Date{2025, 6, static_cast<int>(1 + i % 28)}; }
Date SpecialTo(long) { return Date{2025, 7, 31}; }
std::int64_t TaxCodeOf(long i) { return i % 5 == 0 ? 2 : 1; }
const char* const kTextCodes[] = {"AR", "AT", "AI", "AS"};

Settings BenchmarkSettings() {
    Settings settings;
    const char* const fields[kMappingRowCount] = {
        "Artikelnummer", "Bezeichnung",     "Langtext",         "Preis1",    "Preis1 ab",
        "Preis2",        "Preis2 ab",       "Preis3",           "Preis3 ab", "Preis4",
        "Aktionspreis",  "Preis4 ab",       "Aktionspreis ab",  "Aktionspreis bis",
        "Artikelgruppe Parent",             "Artikelgruppe",    "Preis5",    "MwSt-Satz",
        "Dimension",     "Info",            "Bestell",          "Preis5 ab", "Preis6",
        "Preis6 ab",     "Preis7",          "Preis7 ab",        "Preis8",    "Preis8 ab",
        "Preis9",        "Preis9 ab"};
    for (int row = 0; row < kMappingRowCount; ++row) {
        settings.mapping[static_cast<std::size_t>(row)].selectlineField = fields[row];
    }
    settings.mapping[1].prefix = "Shop: ";
    return settings;
}

// ---------------------------------------------------------------------------------------------
// The in-memory set: rows of variants with hash indexes on the key fields, like a server that keeps
// everything in memory.

struct MemoryTableData {
    std::vector<std::string> columns;
    std::size_t keyParts = 0;
    std::vector<Variant> cells;  // row-major
    // By the number of key parts looked up: joined key -> first row.
    std::vector<std::unordered_map<std::string, std::size_t>> index;

    explicit MemoryTableData(std::vector<std::string> names, std::size_t keys = 0)
        : columns(std::move(names)), keyParts(keys), index(keys + 1) {}

    std::size_t Rows() const { return cells.size() / columns.size(); }
    // Linear: a handful of columns is found faster this way than by hashing the name.
    std::size_t Column(const std::string& name) const {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i] == name) {
                return i;
            }
        }
        return columns.size();
    }
    void Add(std::vector<Variant> row) {
        for (auto& cell : row) {
            cells.push_back(std::move(cell));
        }
    }
    static void AppendKeyPart(std::string& key, const std::string& part) {
        key += part;
        key += '\x1f';
    }
    void BuildIndex(std::size_t parts) {
        auto& byKey = index[parts];
        byKey.reserve(Rows());
        std::string key;
        for (std::size_t row = 0; row < Rows(); ++row) {
            key.clear();
            for (std::size_t k = 0; k < parts; ++k) {
                AppendKeyPart(key, cells[row * columns.size() + k].ToText());
            }
            byKey.emplace(key, row);
        }
    }
};

struct MemorySet {
    std::map<std::string, MemoryTableData> tables;
};

class MemorySetTable final : public SelectlineTable {
public:
    MemorySetTable(const MemoryTableData& data, std::string code) : m_data(data), m_code(std::move(code)) {}

    std::int64_t Recordcount() override { return static_cast<std::int64_t>(m_data.Rows()); }
    void First() override { m_current = 0; }
    void Next() override {
        if (m_current < m_data.Rows()) {
            ++m_current;
        }
    }
    Variant GetField(const std::string& name) override {
        const std::size_t column = m_data.Column(name);
        if (column == m_data.columns.size()) {
            throw SelectlineError("Das Feld " + name + " gibt es in der Tabelle " + m_code + " nicht");
        }
        if (m_current >= m_data.Rows()) {
            throw SelectlineError("Kein aktueller Datensatz in der Tabelle " + m_code);
        }
        return m_data.cells[m_current * m_data.columns.size() + column];
    }
    bool FindKey(const std::string& key) override {
        m_key.clear();
        MemoryTableData::AppendKeyPart(m_key, key);
        return Find(1);
    }
    bool FindKey2(const std::string& a, const std::string& b) override {
        m_key.clear();
        MemoryTableData::AppendKeyPart(m_key, a);
        MemoryTableData::AppendKeyPart(m_key, b);
        return Find(2);
    }
    bool FindKey3(const std::string& a, const std::string& b, const std::string& c) override {
        m_key.clear();
        MemoryTableData::AppendKeyPart(m_key, a);
        MemoryTableData::AppendKeyPart(m_key, b);
        MemoryTableData::AppendKeyPart(m_key, c);
        return Find(3);
    }
    void Insert() override { throw SelectlineError("read only"); }
    void PutField(const std::string&, const std::string&) override { throw SelectlineError("read only"); }
    void Post() override { throw SelectlineError("read only"); }

private:
    bool Find(std::size_t parts) {
        if (parts > m_data.keyParts) {
            throw SelectlineError("Die Tabelle " + m_code + " hat keinen solchen Schlüssel");
        }
        const auto& index = m_data.index[parts];
        const auto found = index.find(m_key);
        if (found == index.end()) {
            return false;
        }
        m_current = found->second;
        return true;
    }

    std::string m_key;
    const MemoryTableData& m_data;
    std::string m_code;
    std::size_t m_current = 0;
};

class MemorySetApplication final : public SelectlineApplication {
public:
    explicit MemorySetApplication(std::shared_ptr<const MemorySet> set) : m_set(std::move(set)) {}

    bool ApplicationReady() override { return true; }
    void login(const std::string&, const std::string&) override {}
    void getMandant(const std::string&, int) override {}
    std::unique_ptr<SelectlineTable> CreateTable(const std::string& code) override {
        const auto table = m_set->tables.find(code);
        if (table == m_set->tables.end()) {
            throw SelectlineError("Unbekannte Tabelle " + code);
        }
        return std::make_unique<MemorySetTable>(table->second, code);
    }
    Variant Listenpreis(const std::string&) override { return {}; }
    std::unique_ptr<SelectlineDocument> NeuerBelegAuto(const std::string&, const std::string&) override {
        throw SelectlineError("read only");
    }

private:
    std::shared_ptr<const MemorySet> m_set;
};

std::shared_ptr<MemorySet> BuildMemorySet(long articles) {
    auto set = std::make_shared<MemorySet>();
    auto& ar = set->tables
                   .emplace("AR", MemoryTableData({"Artikelnummer", "Bezeichnung", "Artikelgruppe", "SSVerkauf",
                                                   "ShopAktiv", "Listenpreis"},
                                                  1))
                   .first->second;
    auto& ag = set->tables.emplace("AG", MemoryTableData({"Nummer", "Bezeichnung", "Parent"}, 1)).first->second;
    auto& te = set->tables.emplace("TE", MemoryTableData({"Schluessel", "TEXT"}, 1)).first->second;
    auto& ap = set->tables
                   .emplace("AP", MemoryTableData({"Artikelnummer", "Preisart", "Preisnummer", "Preis", "VonDatum",
                                                   "BisDatum"},
                                                  3))
                   .first->second;
    auto& ud = set->tables.emplace("UD", MemoryTableData({"Steuercode", "GueltigAb", "Steuer"})).first->second;

    for (long k = 0; k < kParentGroups; ++k) {
        ag.Add({ParentKey(k), "Hauptgruppe " + std::to_string(k), ""});
    }
    for (long k = 0; k < kChildGroups; ++k) {
        ag.Add({ChildKey(k), "Untergruppe " + std::to_string(k), ParentKey(k % kParentGroups)});
    }
    for (int k = 0; k < kTaxRecords; ++k) {
        ud.Add({Variant(std::int64_t{k % 4 + 1}), Date{2000 + k, 1, 1}, Variant(k % 2 == 0 ? 19.0 : 7.0)});
    }
    for (long i = 0; i < articles; ++i) {
        const std::string number = ArticleNumber(i);
        ar.Add({number, NameOf(i), GroupOf(i), Variant(TaxCodeOf(i)), Variant(true), Variant()});
        for (const char* code : kTextCodes) {
            te.Add({code + number, TextOf(code, i)});
        }
        for (int n = 1; n <= 9; ++n) {
            ap.Add({number, "G", std::to_string(n), PriceOf(i, n), ValidFrom(i, n), Variant()});
        }
        ap.Add({number, "A", "", PriceOf(i, 0) * 0.9, SpecialFrom(i), SpecialTo(i)});
    }
    ar.BuildIndex(1);
    ag.BuildIndex(1);
    te.BuildIndex(1);
    ap.BuildIndex(2);
    ap.BuildIndex(3);
    return set;
}

// ---------------------------------------------------------------------------------------------
// The same set in a database of the SQLite stand-in.

void Check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
    }
}

class Insert {
public:
    Insert(sqlite3* db, const char* sql) : m_db(db) { Check(sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr), db, sql); }
    ~Insert() { sqlite3_finalize(m_statement); }
    Insert(const Insert&) = delete;
    Insert& operator=(const Insert&) = delete;

    Insert& Text(int i, const std::string& text) {
        sqlite3_bind_text(m_statement, i, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Insert& Real(int i, double value) {
        sqlite3_bind_double(m_statement, i, value);
        return *this;
    }
    Insert& Whole(int i, std::int64_t value) {
        sqlite3_bind_int64(m_statement, i, value);
        return *this;
    }
    Insert& Day(int i, const Date& date) {
        char text[16];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
        return Text(i, text);
    }
    Insert& Null(int i) {
        sqlite3_bind_null(m_statement, i);
        return *this;
    }
    void Run() {
        Check(sqlite3_step(m_statement), m_db, "insert");
        sqlite3_reset(m_statement);
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
};

void BuildStandinDatabase(const fs::path& file, long articles) {
    fs::remove(file);
    // The stand-in creates its tables (and a demo company, removed below) on first use.
    MakeStandinSelectline(file)();
    sqlite3* db = nullptr;
    Check(sqlite3_open(file.c_str(), &db), db, "open");
    Check(sqlite3_exec(db,
                       "BEGIN; DELETE FROM \"AR\"; DELETE FROM \"AG\"; DELETE FROM \"TE\"; DELETE FROM \"AP\";"
                       " DELETE FROM \"UD\";",
                       nullptr, nullptr, nullptr),
          db, "clear");
    {
        Insert ar(db, "INSERT INTO \"AR\" (\"Artikelnummer\", \"Bezeichnung\", \"Artikelgruppe\", \"SSVerkauf\","
                      " \"ShopAktiv\") VALUES (?1, ?2, ?3, ?4, 1)");
        Insert ag(db, "INSERT INTO \"AG\" (\"Nummer\", \"Bezeichnung\", \"Parent\") VALUES (?1, ?2, ?3)");
        Insert te(db, "INSERT INTO \"TE\" (\"Schluessel\", \"TEXT\") VALUES (?1, ?2)");
        Insert ap(db, "INSERT INTO \"AP\" (\"Artikelnummer\", \"Preisart\", \"Preisnummer\", \"Preis\", \"VonDatum\","
                      " \"BisDatum\") VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
        Insert ud(db, "INSERT INTO \"UD\" (\"Steuercode\", \"GueltigAb\", \"Steuer\") VALUES (?1, ?2, ?3)");
        for (long k = 0; k < kParentGroups; ++k) {
            ag.Text(1, ParentKey(k)).Text(2, "Hauptgruppe " + std::to_string(k)).Text(3, "").Run();
        }
        for (long k = 0; k < kChildGroups; ++k) {
            ag.Text(1, ChildKey(k)).Text(2, "Untergruppe " + std::to_string(k)).Text(3, ParentKey(k % kParentGroups)).Run();
        }
        for (int k = 0; k < kTaxRecords; ++k) {
            ud.Whole(1, k % 4 + 1).Day(2, Date{2000 + k, 1, 1}).Real(3, k % 2 == 0 ? 19.0 : 7.0).Run();
        }
        for (long i = 0; i < articles; ++i) {
            const std::string number = ArticleNumber(i);
            ar.Text(1, number).Text(2, NameOf(i)).Text(3, GroupOf(i)).Whole(4, TaxCodeOf(i)).Run();
            for (const char* code : kTextCodes) {
                te.Text(1, code + number).Text(2, TextOf(code, i)).Run();
            }
            for (int n = 1; n <= 9; ++n) {
                ap.Text(1, number).Text(2, "G").Text(3, std::to_string(n)).Real(4, PriceOf(i, n)).Day(5, ValidFrom(i, n));
                ap.Null(6).Run();
            }
            ap.Text(1, number).Text(2, "A").Text(3, "").Real(4, PriceOf(i, 0) * 0.9).Day(5, SpecialFrom(i));
            ap.Day(6, SpecialTo(i)).Run();
        }
    }
    Check(sqlite3_exec(db, "COMMIT; ANALYZE;", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

// ---------------------------------------------------------------------------------------------
// The server's share of a run: the calls of one run are recorded, then replayed against a fresh
// automation object of the same store without the program around them.

enum class Op : std::uint8_t { Recordcount, First, Next, GetField, FindKey, FindKey2, FindKey3, Listenpreis };

struct Call {
    Op op;
    std::uint8_t table;
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    std::uint32_t c = 0;
};

struct CallLog {
    std::vector<std::string> tableCodes;
    std::vector<Call> calls;
    std::vector<std::string> strings;
    std::unordered_map<std::string, std::uint32_t> ids;

    std::uint32_t Intern(const std::string& text) {
        const auto [it, added] = ids.emplace(text, static_cast<std::uint32_t>(strings.size()));
        if (added) {
            strings.push_back(text);
        }
        return it->second;
    }
};

class RecordingTable final : public SelectlineTable {
public:
    RecordingTable(std::unique_ptr<SelectlineTable> inner, CallLog& log, std::uint8_t id)
        : m_inner(std::move(inner)), m_log(log), m_id(id) {}

    std::int64_t Recordcount() override {
        Note(Op::Recordcount);
        return m_inner->Recordcount();
    }
    void First() override {
        Note(Op::First);
        m_inner->First();
    }
    void Next() override {
        Note(Op::Next);
        m_inner->Next();
    }
    Variant GetField(const std::string& name) override {
        Note(Op::GetField, m_log.Intern(name));
        return m_inner->GetField(name);
    }
    bool FindKey(const std::string& key) override {
        Note(Op::FindKey, m_log.Intern(key));
        return m_inner->FindKey(key);
    }
    bool FindKey2(const std::string& a, const std::string& b) override {
        Note(Op::FindKey2, m_log.Intern(a), m_log.Intern(b));
        return m_inner->FindKey2(a, b);
    }
    bool FindKey3(const std::string& a, const std::string& b, const std::string& c) override {
        Note(Op::FindKey3, m_log.Intern(a), m_log.Intern(b), m_log.Intern(c));
        return m_inner->FindKey3(a, b, c);
    }
    void Insert() override { m_inner->Insert(); }
    void PutField(const std::string& name, const std::string& value) override { m_inner->PutField(name, value); }
    void Post() override { m_inner->Post(); }

private:
    void Note(Op op, std::uint32_t a = 0, std::uint32_t b = 0, std::uint32_t c = 0) {
        m_log.calls.push_back(Call{op, m_id, a, b, c});
    }

    std::unique_ptr<SelectlineTable> m_inner;
    CallLog& m_log;
    std::uint8_t m_id;
};

class RecordingApplication final : public SelectlineApplication {
public:
    RecordingApplication(std::unique_ptr<SelectlineApplication> inner, CallLog& log)
        : m_inner(std::move(inner)), m_log(log) {}

    bool ApplicationReady() override { return m_inner->ApplicationReady(); }
    void login(const std::string& user, const std::string& password) override { m_inner->login(user, password); }
    void getMandant(const std::string& mandant, int mode) override { m_inner->getMandant(mandant, mode); }
    std::unique_ptr<SelectlineTable> CreateTable(const std::string& code) override {
        const auto id = static_cast<std::uint8_t>(m_log.tableCodes.size());
        m_log.tableCodes.push_back(code);
        return std::make_unique<RecordingTable>(m_inner->CreateTable(code), m_log, id);
    }
    Variant Listenpreis(const std::string& article) override {
        m_log.calls.push_back(Call{Op::Listenpreis, 0, m_log.Intern(article)});
        return m_inner->Listenpreis(article);
    }
    std::unique_ptr<SelectlineDocument> NeuerBelegAuto(const std::string& kind, const std::string& text) override {
        return m_inner->NeuerBelegAuto(kind, text);
    }

private:
    std::unique_ptr<SelectlineApplication> m_inner;
    CallLog& m_log;
};


double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Processor seconds the store needs for the calls of `log`.
double ReplaySeconds(const CallLog& log, const SelectlineFactory& factory) {
    auto application = factory();
    std::vector<std::unique_ptr<SelectlineTable>> tables;
    for (const auto& code : log.tableCodes) {
        tables.push_back(application->CreateTable(code));
    }
    const auto& text = log.strings;
    const double start = CpuSeconds();
    for (const Call& call : log.calls) {
        SelectlineTable& table = *tables[call.table];
        switch (call.op) {
            case Op::Recordcount:
                benchmark::DoNotOptimize(table.Recordcount());
                break;
            case Op::First:
                table.First();
                break;
            case Op::Next:
                table.Next();
                break;
            case Op::GetField: {
                Variant value = table.GetField(text[call.a]);
                benchmark::DoNotOptimize(value);
                break;
            }
            case Op::FindKey:
                benchmark::DoNotOptimize(table.FindKey(text[call.a]));
                break;
            case Op::FindKey2:
                benchmark::DoNotOptimize(table.FindKey2(text[call.a], text[call.b]));
                break;
            case Op::FindKey3:
                benchmark::DoNotOptimize(table.FindKey3(text[call.a], text[call.b], text[call.c]));
                break;
            case Op::Listenpreis: {
                Variant value = application->Listenpreis(text[call.a]);
                benchmark::DoNotOptimize(value);
                break;
            }
        }
    }
    return CpuSeconds() - start;
}

// ---------------------------------------------------------------------------------------------
// A window that only keeps what it is told.

class QuietStatus final : public StatusArea {
public:
    void SetStatusText(const std::string& text) override { m_text = text; }
    void ClearErrors() override { m_errors.clear(); }
    void AddError(const std::string& line) override { m_errors.push_back(line); }
    void SetProgressMaximum(int maximum) override { m_maximum = maximum; }
    int ProgressMaximum() const override { return m_maximum; }
    void SetProgressValue(int value) override { m_value = value; }
    int ProgressValue() const override { return m_value; }
    const std::vector<std::string>& Errors() const { return m_errors; }

private:
    std::string m_text;
    std::vector<std::string> m_errors;
    int m_maximum = 100;
    int m_value = 0;
};

class QuietDialogs final : public UserDialogs {
public:
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
    std::string AskText(const std::string&, const std::string&, const std::string&) override { return {}; }
};

class QuietEvents final : public EventLoop {
public:
    void ProcessPendingEvents() override {}
    void Pause(std::chrono::milliseconds duration) override { m_now += duration; }
    std::chrono::steady_clock::time_point Now() const override { return m_now; }

private:
    std::chrono::steady_clock::time_point m_now{};
};

class QuietWeb final : public WebOpener {
public:
    void OpenWebAddress(const std::string&) override {}
};

class NoFtp final : public FtpControl {
public:
    bool connect(const std::string&, const std::string&, const std::string&, std::int32_t) override { return false; }
    bool upload(const std::string&, const std::string&, std::int32_t) override { return false; }
    bool download(const std::string&, const std::string&) override { return false; }
    void disconnect() override {}
    void setTransfertype(std::int32_t) override {}
};

// ---------------------------------------------------------------------------------------------
// Memory of the process, from /proc (Linux).

long ProcStatusKilobytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::stol(line.substr(prefix.size()));
        }
    }
    return -1;
}

long g_processPeakKilobytes = 0;

long MaxRssKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return std::max(g_processPeakKilobytes, usage.ru_maxrss);
}

// Starts a new peak: VmHWM (and with it ru_maxrss) is set back to the current resident size. The
// peak so far is kept for the summary.
void ResetPeakMemory() {
    g_processPeakKilobytes = MaxRssKilobytes();
    std::ofstream("/proc/self/clear_refs") << "5";
}

// ---------------------------------------------------------------------------------------------

struct Measurement {
    double secondsPerRun = 0;     // wall clock
    double cpuSecondsPerRun = 0;  // processor time of the process
    double ownCpuSeconds = -1;    // the program's own part of it, when measured
    double callsPerArticle = 0;
    long peakGrowthKilobytes = 0;
};

std::map<std::pair<std::string, long>, Measurement> g_results;

fs::path BenchFolder() {
    static const fs::path folder = [] {
        const fs::path path = fs::temp_directory_path() / "warenkai-export-bench";
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

struct QuietWindow {
    QuietStatus status;
    QuietDialogs dialogs;
    QuietEvents events;
    QuietWeb web;
    NoFtp ftp;
};

// Processor seconds of both walks over a session opened beforehand.
double TimedExport(const Settings& settings, TransferContext& context) {
    SelectlineSession session = OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, context);
    const double start = CpuSeconds();
    benchmark::DoNotOptimize(ExportArticles(settings, context, session));
    ExportArticleGroups(settings, context, session);
    return CpuSeconds() - start;
}

// The program's own work: the export less the time the store alone needs for the same calls. Both
// are taken as the fastest of several rounds, which keeps out most of what other processes on the
// shared cores add.
double OwnCpuSeconds(const Settings& settings, TransferContext& context, const SelectlineFactory& factory,
                     long articles, double* callsPerArticle) {
    CallLog log;
    log.calls.reserve(static_cast<std::size_t>(articles) * 150);
    QuietWindow window;
    TransferContext recording{window.status, window.dialogs, window.events, window.web, window.ftp,
                              [&] { return std::make_unique<RecordingApplication>(factory(), log); },
                              context.programFolder};
    TimedExport(settings, recording);
    *callsPerArticle = static_cast<double>(log.calls.size()) / static_cast<double>(articles);
    double run = 1e30;
    double replay = 1e30;
    for (int round = 0; round < 5; ++round) {
        run = std::min(run, TimedExport(settings, context));
        replay = std::min(replay, ReplaySeconds(log, factory));
    }
    return run - replay;
}

void RunExport(benchmark::State& state, const std::string& store, long articles, const SelectlineFactory& factory,
               bool measureOwnWork) {
    const Settings settings = BenchmarkSettings();
    QuietWindow window;
    const fs::path output = BenchFolder() / (store + "-" + std::to_string(articles));
    fs::create_directories(output);
    TransferContext context{window.status, window.dialogs, window.events, window.web, window.ftp, factory, output};

    const long rssBefore = ProcStatusKilobytes("VmRSS");
    ResetPeakMemory();
    double seconds = 0;
    double cpuSeconds = 0;
    int runs = 0;
    for (auto _ : state) {
        // The session is opened outside the measured time; both walks run on it.
        SelectlineSession session = OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, context);
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = CpuSeconds();
        const int files = ExportArticles(settings, context, session);
        ExportArticleGroups(settings, context, session);
        cpuSeconds += CpuSeconds() - cpuStart;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++runs;
        benchmark::DoNotOptimize(files);
    }
    const long peakGrowth = ProcStatusKilobytes("VmHWM") - rssBefore;
    if (!window.status.Errors().empty()) {
        state.SkipWithError(window.status.Errors().front().c_str());
        return;
    }
    Measurement measurement{seconds / runs, cpuSeconds / runs, -1, 0, peakGrowth};
    if (measureOwnWork) {
        measurement.ownCpuSeconds = OwnCpuSeconds(settings, context, factory, articles, &measurement.callsPerArticle);
        state.counters["own_articles/cpu_s"] =
            benchmark::Counter(static_cast<double>(articles) / measurement.ownCpuSeconds);
        state.counters["server_calls/article"] = measurement.callsPerArticle;
    }
    state.counters["articles/s"] = benchmark::Counter(static_cast<double>(articles) * runs / seconds);
    state.counters["articles/cpu_s"] = benchmark::Counter(static_cast<double>(articles) * runs / cpuSeconds);
    state.counters["peak_growth_kB"] = static_cast<double>(peakGrowth);
    g_results[{store, articles}] = measurement;
}

void BM_ExportInMemory(benchmark::State& state) {
    const long articles = state.range(0);
    const std::shared_ptr<const MemorySet> set = BuildMemorySet(articles);
    RunExport(state, "memory", articles, [set] { return std::make_unique<MemorySetApplication>(set); }, true);
}

void BM_ExportStandin(benchmark::State& state) {
    const long articles = state.range(0);
    const fs::path database = BenchFolder() / ("standin-" + std::to_string(articles) + ".sqlite");
    BuildStandinDatabase(database, articles);
    RunExport(state, "standin", articles, MakeStandinSelectline(database), false);
    fs::remove(database);
}

BENCHMARK(BM_ExportInMemory)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportStandin)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Iterations(1);

void PrintSummary() {
    std::printf("\nProcessor time of the process (wall clock varies: the two cores are shared with other work).\n");
    std::printf("%9s | %12s %12s %10s | %12s %12s | %15s\n", "articles", "memory run", "own work", "own us/art",
                "stand-in run", "in stand-in", "peak growth kB");
    for (const long articles : {1'000L, 10'000L, 100'000L}) {
        const auto memory = g_results.find({"memory", articles});
        const auto standin = g_results.find({"standin", articles});
        const auto n = static_cast<double>(articles);
        const double own = memory != g_results.end() ? memory->second.ownCpuSeconds : -1;
        std::printf("%9ld |", articles);
        if (memory != g_results.end()) {
            std::printf(" %8.0f a/s %8.0f a/s %10.2f |", n / memory->second.cpuSecondsPerRun, n / own, own * 1e6 / n);
        } else {
            std::printf(" %12s %12s %10s |", "-", "-", "-");
        }
        if (standin != g_results.end()) {
            const double run = standin->second.cpuSecondsPerRun;
            std::printf(" %8.0f a/s", n / run);
            if (own > 0) {
                std::printf(" %11.1f%% |", 100.0 * (run - own) / run);
            } else {
                std::printf(" %12s |", "-");
            }
        } else {
            std::printf(" %12s %12s |", "-", "-");
        }
        std::printf(" %6ld / %6ld\n", memory != g_results.end() ? memory->second.peakGrowthKilobytes : -1L,
                    standin != g_results.end() ? standin->second.peakGrowthKilobytes : -1L);
    }
    std::printf("own work: the in-memory run less the time the in-memory store alone needs for the same calls\n");
    std::printf("          (recorded, then replayed; fastest of five rounds each)\n");
    std::printf("in stand-in: share of the stand-in run that is not the program's own work\n");
    std::printf("peak growth: highest resident size during the measured runs above the size before them\n");
    std::printf("             (in memory / stand-in); the files are written to disk, not kept\n");
    std::printf("process peak (ru_maxrss, includes the generated in-memory sets and call logs): %ld kB\n",
                MaxRssKilobytes());
}

}  // namespace
}  // namespace warenkai::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    warenkai::bench::PrintSummary();
    std::error_code ec;
    std::filesystem::remove_all(warenkai::bench::BenchFolder(), ec);
    return 0;
}
