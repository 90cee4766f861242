// The article transfer's two walks (articles and groups) over generated article sets, against the
// tests' in-memory Selectline (tests/support/memory_selectline.h) and against the SQLite stand-in.
// Run on demand:
//
//     cmake --build build --target export_benchmark && build/bin/export_benchmark
//
// Each article has 30 mapped rows (key, name, the group and its parent, four texts, prices 1 to 9
// with their dates, the special price with its two dates, the tax rate). The summary gives:
// - the Selectline calls per article of both walks, with 20 and with 2,000 tax records, and the
//   calls made once per transfer;
// - the time of 10,000 articles when every call costs 0.2 ms, as the automation server's calls
//   across processes do: measured against the in-memory Selectline spending that time per call,
//   and estimated as calls x 0.2 ms plus the processor time. The measured runs take minutes; with
//   --modelled_articles=N they run N articles and are scaled to 10,000;
// - articles per second in memory and in the stand-in, the program's own processor time, memory.
//
// Figures on the shared two-core machine: 44 calls per article with 20 and with 2,000 tax records
// (233 and 8,153 calls once per transfer), 10,000 articles estimated at 88 s and 90 s; when every
// row still read its own values and each article walked the tax table, it was 144.3 and 6,610.3
// calls per article, 289 s and 13,226 s (3.7 hours).

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "bench/quiet_fakes.h"
#include "export/article_export.h"
#include "export/article_groups.h"
#include "export/articles_seen.h"
#include "selectline/selectline_application.h"
#include "selectline/selectline_session.h"
#include "selectline/standin/standin_selectline.h"
#include "settings/settings.h"
#include "tests/support/memory_selectline.h"

namespace warenkai::bench {
namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------------
// The generated article set: every value is a function of the article's index.

constexpr int kTaxRecords = 20;
constexpr int kManyTaxRecords = 2'000;
constexpr std::chrono::microseconds kModelledCallTime{200};
const char* const kTableCodes[] = {"AR", "AG", "TE", "AP", "UD"};

std::string Digits(long value, std::size_t width) {
    std::string text = std::to_string(value);
    return text.size() < width ? std::string(width - text.size(), '0') + text : text;
}

std::string ParentGroup(long k) {
    return "P" + Digits(k, 2);
}
std::string ChildGroup(long k) {
    return "G" + Digits(k, 2);
}

// Articles "A0000000", "A0000001", … in 50 groups (10 top-level groups and 40 below them), with four
// texts, prices 1 to 9 with their dates and a special price each, and `taxRecords` tax records.
void AddBenchmarkArticles(test::MemoryDatabase& database, long articleCount, int taxRecords) {
    constexpr long parents = 10;
    constexpr long children = 40;
    for (long k = 0; k < parents; ++k) {
        database.Table("AG").Add(
            {{"Nummer", ParentGroup(k)}, {"Bezeichnung", "Hauptgruppe " + std::to_string(k)}, {"Parent", ""}});
    }
    for (long k = 0; k < children; ++k) {
        database.Table("AG").Add({{"Nummer", ChildGroup(k)},
                                  {"Bezeichnung", "Untergruppe " + std::to_string(k)},
                                  {"Parent", ParentGroup(k % parents)}});
    }
    for (int k = 0; k < taxRecords; ++k) {
        database.Table("UD").Add({{"Steuercode", Variant(std::int64_t{k % 4 + 1})},
                                  {"GueltigAb", Date{2000 + k % 100, 1 + k / 100 % 12, 1}},
                                  {"Steuer", k % 2 == 0 ? 19.0 : 7.0}});
    }
    for (long i = 0; i < articleCount; ++i) {
        const std::string number = "A" + Digits(i, 7);
        const int day = static_cast<int>(1 + i % 28);
        const double price = static_cast<double>(i % 1000) / 10.0;
        database.Table("AR").Add({{"Artikelnummer", number},
                                  {"Bezeichnung", "Artikel " + std::to_string(i) + " Größe 19\" für's Regal"},
                                  {"Artikelgruppe", i % 7 == 0 ? ParentGroup(i % parents) : ChildGroup(i % children)},
                                  {"SSVerkauf", Variant(std::int64_t{i % 5 == 0 ? 2 : 1})},
                                  {"ShopAktiv", true}});
        for (const char* code : {"AR", "AT", "AI", "AS"}) {
            database.Table("TE").Add(
                {{"Schluessel", code + number},
                 {"TEXT", std::string("Text ") + code + " zu Artikel " + std::to_string(i) + "\r\nzweite Zeile"}});
        }
        test::MemoryTable& prices = database.Table("AP");
        for (int n = 1; n <= 9; ++n) {
            prices.Add({{"Artikelnummer", number},
                        {"Preisart", "G"},
                        {"Preisnummer", std::to_string(n)},
                        {"Preis", price + n},
                        {"VonDatum", Date{2024, n, day}},
                        {"BisDatum", Variant()}});
        }
        prices.Add({{"Artikelnummer", number},
                    {"Preisart", "A"},
                    {"Preisnummer", ""},
                    {"Preis", price * 0.9},
                    {"VonDatum", Date{2025, 6, day}},
                    {"BisDatum", Date{2025, 7, 31}}});
    }
}

// The built-in mapping with key, name with a prefix, long text, prices 1 to 9 with their dates, the
// special price with its dates, group and parent, the tax rate and three more texts.
Settings BenchmarkSettings() {
    Settings settings;
    const char* const fields[kMappingRowCount] = {
        "Artikelnummer", "Bezeichnung",    "Langtext",         "Preis1",    "Preis1 ab",
        "Preis2",        "Preis2 ab",      "Preis3",           "Preis3 ab", "Preis4",
        "Aktionspreis",  "Preis4 ab",      "Aktionspreis ab",  "Aktionspreis bis",
        "Artikelgruppe Parent",            "Artikelgruppe",    "Preis5",    "MwSt-Satz",
        "Dimension",     "Info",           "Bestell",          "Preis5 ab", "Preis6",
        "Preis6 ab",     "Preis7",         "Preis7 ab",        "Preis8",    "Preis8 ab",
        "Preis9",        "Preis9 ab"};
    for (std::size_t row = 0; row < kMappingRowCount; ++row) {
        settings.mapping[row].selectlineField = fields[row];
    }
    settings.mapping[1].prefix = "Shop: ";
    return settings;
}

// The set in the tests' in-memory Selectline.
std::shared_ptr<test::MemoryDatabase> BuildMemoryDatabase(long articles, int taxRecords) {
    auto database = std::make_shared<test::MemoryDatabase>();
    for (const char* code : kTableCodes) {
        database->Table(code);
    }
    AddBenchmarkArticles(*database, articles, taxRecords);
    return database;
}

// ---------------------------------------------------------------------------------------------
// The same set in a database of the SQLite stand-in.

void Check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
    }
}

// Inserts the rows of one in-memory table: texts as texts, numbers as numbers, dates as
// "2025-03-01", truth values as 1 / 0, empty values as NULL.
void InsertRows(sqlite3* db, const std::string& code, const test::MemoryTable& table) {
    std::string sql = "INSERT INTO \"" + code + "\" (";
    std::string values;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        sql += (i == 0 ? "\"" : ", \"") + table.columns[i] + "\"";
        values += (i == 0 ? "?" : ", ?") + std::to_string(i + 1);
    }
    sql += ") VALUES (" + values + ")";
    sqlite3_stmt* statement = nullptr;
    Check(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), db, sql.c_str());
    for (const auto& row : table.rows) {
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
            const int index = static_cast<int>(i + 1);
            const auto cell = row.find(table.columns[i]);
            const Variant::Value value = cell == row.end() ? Variant::Value{} : cell->second.value();
            if (const auto* text = std::get_if<std::string>(&value)) {
                sqlite3_bind_text(statement, index, text->c_str(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
            } else if (const auto* whole = std::get_if<std::int64_t>(&value)) {
                sqlite3_bind_int64(statement, index, *whole);
            } else if (const auto* real = std::get_if<double>(&value)) {
                sqlite3_bind_double(statement, index, *real);
            } else if (const auto* date = std::get_if<Date>(&value)) {
                char day[16];
                std::snprintf(day, sizeof day, "%04d-%02d-%02d", date->year, date->month, date->day);
                sqlite3_bind_text(statement, index, day, -1, SQLITE_TRANSIENT);
            } else if (const auto* truth = std::get_if<bool>(&value)) {
                sqlite3_bind_int(statement, index, *truth ? 1 : 0);
            } else {
                sqlite3_bind_null(statement, index);
            }
        }
        Check(sqlite3_step(statement), db, "insert");
        sqlite3_reset(statement);
    }
    sqlite3_finalize(statement);
}

void BuildStandinDatabase(const fs::path& file, long articles, int taxRecords) {
    fs::remove(file);
    // The stand-in creates its tables (and a demo company, removed below) on first use.
    MakeStandinSelectline(file)();
    const auto set = BuildMemoryDatabase(articles, taxRecords);
    sqlite3* db = nullptr;
    Check(sqlite3_open(file.c_str(), &db), db, "open");
    Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    for (const char* code : kTableCodes) {
        Check(sqlite3_exec(db, ("DELETE FROM \"" + std::string(code) + "\"").c_str(), nullptr, nullptr, nullptr), db,
              "clear");
        InsertRows(db, code, set->tables.at(code));
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

// Both walks of the article transfer on an open session.
int ExportBothWalks(const Settings& settings, TransferContext& context, SelectlineSession& session) {
    ArticlesSeen seen;
    const int files = ExportArticles(settings, context, session, seen);
    ExportArticleGroups(context, seen);
    return files;
}

SelectlineSession OpenExportSession(TransferContext& context) {
    return OpenSelectlineSession(std::vector<std::string>(std::begin(kTableCodes), std::end(kTableCodes)), context);
}

fs::path BenchFolder() {
    static const fs::path folder = [] {
        const fs::path path = fs::temp_directory_path() / "warenkai-export-bench";
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

fs::path OutputFolder(const std::string& name) {
    const fs::path output = BenchFolder() / name;
    fs::create_directories(output);
    return output;
}

// Ends the benchmark when the transfer reported errors: the figures would not be the usual work.
bool Failed(benchmark::State& state, const QuietStatus& status) {
    if (status.errorCount > 0) {
        state.SkipWithError(status.errors.front().c_str());
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Selectline calls of both walks.

struct CallCount {
    double perArticle = 0;   // what each further article adds
    double perTransfer = 0;  // what a transfer makes whatever its number of articles
};

long CallsOfBothWalks(long articles, int taxRecords) {
    const auto database = BuildMemoryDatabase(articles, taxRecords);
    QuietWindow window;
    TransferContext context = window.Context(test::MakeMemorySelectline(database), OutputFolder("calls"));
    SelectlineSession session = OpenExportSession(context);
    long calls = 0;
    database->onCall = [&calls](const std::string&) { ++calls; };
    ExportBothWalks(BenchmarkSettings(), context, session);
    return calls;
}

// Counted on two sets, of n and 2n articles (every group occurs in both): the difference is what
// n articles add.
CallCount CountCalls(int taxRecords) {
    constexpr long n = 500;
    const long once = CallsOfBothWalks(n, taxRecords);
    const long twice = CallsOfBothWalks(2 * n, taxRecords);
    const double perArticle = static_cast<double>(twice - once) / n;
    return {perArticle, static_cast<double>(once) - perArticle * n};
}

// ---------------------------------------------------------------------------------------------

struct Measurement {
    double secondsPerRun = 0;     // wall clock
    double cpuSecondsPerRun = 0;  // processor time of the process
    double ownCpuSeconds = -1;    // the program's own part of it, when measured
    long peakGrowthKilobytes = 0;
};

std::map<std::pair<std::string, long>, Measurement> g_results;

struct Modelled {
    long articles = 0;
    double seconds = 0;     // wall clock, every call costing kModelledCallTime
    double cpuSeconds = 0;  // processor time of the same walks when the calls cost nothing
};

std::map<int, Modelled> g_modelled;  // by number of tax records
long g_modelledArticles = 10'000;

// Processor seconds of both walks over a session opened beforehand.
double TimedExport(const Settings& settings, TransferContext& context) {
    SelectlineSession session = OpenExportSession(context);
    const double start = CpuSeconds();
    benchmark::DoNotOptimize(ExportBothWalks(settings, context, session));
    return CpuSeconds() - start;
}

// The program's own work: the export less the time the store alone needs for the same calls. Both
// are taken as the fastest of several rounds, which keeps out most of what other processes on the
// shared cores add.
double OwnCpuSeconds(const Settings& settings, TransferContext& context, const SelectlineFactory& factory,
                     long articles) {
    CallLog log;
    log.calls.reserve(static_cast<std::size_t>(articles) * 50);
    QuietWindow window;
    TransferContext recording =
        window.Context([&] { return std::make_unique<RecordingApplication>(factory(), log); }, context.programFolder);
    TimedExport(settings, recording);
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
    TransferContext context = window.Context(factory, OutputFolder(store + "-" + std::to_string(articles)));

    const long rssBefore = ProcStatusKilobytes("VmRSS");
    ResetPeakMemory();
    double seconds = 0;
    double cpuSeconds = 0;
    int runs = 0;
    for (auto _ : state) {
        // The session is opened outside the measured time; both walks run on it.
        SelectlineSession session = OpenExportSession(context);
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = CpuSeconds();
        benchmark::DoNotOptimize(ExportBothWalks(settings, context, session));
        cpuSeconds += CpuSeconds() - cpuStart;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++runs;
    }
    const long peakGrowth = ProcStatusKilobytes("VmHWM") - rssBefore;
    if (Failed(state, window.status)) {
        return;
    }
    Measurement measurement{seconds / runs, cpuSeconds / runs, -1, peakGrowth};
    if (measureOwnWork) {
        measurement.ownCpuSeconds = OwnCpuSeconds(settings, context, factory, articles);
        state.counters["own_articles/cpu_s"] =
            benchmark::Counter(static_cast<double>(articles) / measurement.ownCpuSeconds);
    }
    state.counters["articles/s"] = benchmark::Counter(static_cast<double>(articles) * runs / seconds);
    state.counters["articles/cpu_s"] = benchmark::Counter(static_cast<double>(articles) * runs / cpuSeconds);
    state.counters["peak_growth_kB"] = static_cast<double>(peakGrowth);
    g_results[{store, articles}] = measurement;
}

void BM_ExportInMemory(benchmark::State& state) {
    const long articles = state.range(0);
    const auto database = BuildMemoryDatabase(articles, kTaxRecords);
    RunExport(state, "memory", articles, test::MakeMemorySelectline(database), true);
}

void BM_ExportStandin(benchmark::State& state) {
    const long articles = state.range(0);
    const fs::path database = BenchFolder() / ("standin-" + std::to_string(articles) + ".sqlite");
    BuildStandinDatabase(database, articles, kTaxRecords);
    RunExport(state, "standin", articles, MakeStandinSelectline(database), false);
    fs::remove(database);
}

// Both walks against the in-memory Selectline with every call costing kModelledCallTime, after a
// run with calls that cost nothing for the processor time of the walks themselves.
void BM_ModelledCallCost(benchmark::State& state) {
    const long articles = state.range(0);
    const int taxRecords = static_cast<int>(state.range(1));
    const auto database = BuildMemoryDatabase(articles, taxRecords);
    const Settings settings = BenchmarkSettings();
    QuietWindow window;
    TransferContext context =
        window.Context(test::MakeMemorySelectline(database), OutputFolder("modelled-" + std::to_string(taxRecords)));
    Modelled modelled{articles, 0, 0};
    for (auto _ : state) {
        state.PauseTiming();
        modelled.cpuSeconds = TimedExport(settings, context);
        state.ResumeTiming();
        SelectlineSession session = OpenExportSession(context);
        database->callTime = kModelledCallTime;
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(ExportBothWalks(settings, context, session));
        modelled.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        database->callTime = {};
    }
    if (Failed(state, window.status)) {
        return;
    }
    state.counters["s_per_10000_articles"] = modelled.seconds * 10'000.0 / static_cast<double>(articles);
    g_modelled[taxRecords] = modelled;
}

void PrintCalls() {
    std::printf("\nSelectline calls of both walks (articles and groups), benchmark mapping of 30 rows\n");
    std::printf("and 10,000 articles at %.1f ms per call:\n", kModelledCallTime.count() / 1000.0);
    std::printf("%11s | %13s %13s | %12s | %24s\n", "tax records", "per article", "per transfer", "estimated",
                "measured");
    for (const int taxRecords : {kTaxRecords, kManyTaxRecords}) {
        const CallCount calls = CountCalls(taxRecords);
        std::printf("%11d | %13.1f %13.0f |", taxRecords, calls.perArticle, calls.perTransfer);
        const auto modelled = g_modelled.find(taxRecords);
        if (modelled == g_modelled.end()) {
            std::printf(" %12s | %24s\n", "-", "-");
            continue;
        }
        const Modelled& run = modelled->second;
        const double scale = 10'000.0 / static_cast<double>(run.articles);
        const double estimate = (calls.perTransfer + calls.perArticle * 10'000.0) *
                                    std::chrono::duration<double>(kModelledCallTime).count() +
                                run.cpuSeconds * scale;
        std::printf(" %10.1f s | %10.1f s", estimate, run.seconds * scale);
        if (run.articles != 10'000) {
            std::printf(" (%ld scaled)\n", run.articles);
        } else {
            std::printf("%13s\n", "");
        }
    }
    std::printf("per article: what each further article adds (sets of 500 and 1,000 articles);\n");
    std::printf("per transfer: calls made once, whatever the number of articles\n");
    std::printf("estimated: calls x %.1f ms + the processor time of the walks when calls cost nothing;\n",
                kModelledCallTime.count() / 1000.0);
    std::printf("measured: the in-memory Selectline sleeping that time per call (a sleep overshoots, the more\n");
    std::printf("the busier the machine); scaled: measured on fewer articles, times 10,000 / articles\n");
}

void PrintSummary() {
    PrintCalls();
    std::printf("\nProcessor time of the process (wall clock varies: the two cores are shared with other work).\n");
    std::printf("%9s | %12s %12s %10s | %12s %12s | %15s\n", "articles", "memory run", "own work", "own us/art",
                "stand-in run", "in stand-in", "peak growth kB");
    for (const long articles : {1'000L, 10'000L, 100'000L}) {
        const auto memory = g_results.find({"memory", articles});
        const auto standin = g_results.find({"standin", articles});
        if (memory == g_results.end() && standin == g_results.end()) {
            continue;
        }
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
    std::printf("own work: the in-memory run less the time the in-memory Selectline alone needs for the same\n");
    std::printf("          calls (recorded, then replayed; fastest of five rounds each)\n");
    std::printf("in stand-in: share of the stand-in run that is not the program's own work\n");
    std::printf("peak growth: highest resident size during the measured runs above the size before them\n");
    std::printf("             (in memory / stand-in); the files are written to disk, not kept\n");
    std::printf("process peak (ru_maxrss, includes the generated sets and call logs): %ld kB\n", MaxRssKilobytes());
}

void RegisterBenchmarks() {
    benchmark::RegisterBenchmark("BM_ExportInMemory", BM_ExportInMemory)
        ->Arg(1'000)
        ->Arg(10'000)
        ->Arg(100'000)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_ExportStandin", BM_ExportStandin)
        ->Arg(1'000)
        ->Arg(10'000)
        ->Arg(100'000)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
    benchmark::RegisterBenchmark("BM_ModelledCallCost", BM_ModelledCallCost)
        ->ArgNames({"articles", "tax_records"})
        ->Args({g_modelledArticles, kTaxRecords})
        ->Args({g_modelledArticles, kManyTaxRecords})
        ->Unit(benchmark::kSecond)
        ->UseRealTime()
        ->Iterations(1);
}

// Takes --modelled_articles=N out of the arguments.
void ReadOwnArguments(int& argc, char** argv) {
    constexpr const char* flag = "--modelled_articles=";
    int kept = 0;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0) {
            g_modelledArticles = std::max(1L, std::stol(argv[i] + std::strlen(flag)));
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
}

}  // namespace
}  // namespace warenkai::bench

int main(int argc, char** argv) {
    // Sleeps of a fraction of a millisecond (the modelled call cost) end as close to their time as the
    // system can.
    prctl(PR_SET_TIMERSLACK, 1UL);
    warenkai::bench::ReadOwnArguments(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    warenkai::bench::RegisterBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    warenkai::bench::PrintSummary();
    std::error_code ec;
    std::filesystem::remove_all(warenkai::bench::BenchFolder(), ec);
    return 0;
}
