// The customer and order import over generated shop exports: 1,000 to 10,000 customers (every second
// one with both address blocks) and 5,000 orders with 20,000 lines, once against the SQLite stand-in
// of the automation server and once against the tests' in-memory Selectline, whose key look-ups go
// through a kept index, so that run shows the program's own work. Run on demand:
//
//     cmake --build build --target import_benchmark && build/bin/import_benchmark
//
// Customers/FirstRun enters every customer new; Customers/SecondRun enters the same file again into
// the result of a first run, so every customer, reference and address record is known. The second
// argument picks how the address records are found: 1 the plain walk from the first address record
// per customer, 0 the place list of AddressFinder. The counter "address_steps" is the number of
// First, Next and GetField calls on the address table per customer. Orders/* enter the order file
// into a database holding its customers, each run with a fresh order record (made outside the timed
// part), so every run enters every order.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/quiet_fakes.h"
#include "common/cancel_request.h"
#include "import/customer_import.h"
#include "import/order_import.h"
#include "import/order_record.h"
#include "selectline/selectline_application.h"
#include "selectline/standin/standin_selectline.h"
#include "tests/support/memory_selectline.h"

namespace warenkai::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kOrders = 5000;
constexpr int kLinesPerOrder = 4;
constexpr int kOrderCustomers = 10000;
const char* const kArticles[] = {"10001", "10002", "10003", "10004", "10005"};

// ---------------------------------------------------------------------------------------------
// Generated shop exports (Windows-1252, every field quoted, CR LF).

std::string Quoted(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i == 0 ? "\"" : ",\"") + fields[i] + "\"";
    }
    return line + "\r\n";
}

std::string CustomerNumber(int i) {
    return std::to_string(100000 + i);
}

std::string CustomerFile(int count) {
    std::vector<std::string> header;
    for (int i = 0; i < 25; ++i) {
        header.push_back("spalte" + std::to_string(i));
    }
    std::string file = Quoted(header);
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        const bool blocks = i % 2 == 0;
        const std::string a = blocks ? "Lager " + n : "";
        const std::string b = blocks ? "Rechnung " + n : "";
        file += Quoted({CustomerNumber(i),
                        "M\xFCller " + n,
                        "Zusatz",
                        "Hauptstra\xDF"
                        "e " +
                            n,
                        "12345",
                        "K\xF6ln",
                        "",
                        "Gartenbau",
                        "DE123456789",
                        "123/456/789",
                        "kunde" + n + "@example.de",
                        "0221 1234",
                        "0171 5678",
                        "0221 9999",
                        a,
                        blocks ? "Tor 3" : "",
                        blocks ? "Hafenweg 2" : "",
                        blocks ? "44147" : "",
                        blocks ? "Dortmund" : "",
                        b,
                        blocks ? "Buchhaltung" : "",
                        blocks ? "Postfach 12" : "",
                        blocks ? "97001" : "",
                        blocks ? "W\xFCrzburg" : "",
                        "H\xE4ndler"});
    }
    return file;
}

std::string OrderFile() {
    std::vector<std::string> header;
    for (int i = 0; i < 27; ++i) {
        header.push_back("spalte" + std::to_string(i));
    }
    std::string file = Quoted(header);
    for (int order = 0; order < kOrders; ++order) {
        for (int line = 0; line < kLinesPerOrder; ++line) {
            std::vector<std::string> fields(27);
            fields[0] = std::to_string(500000 + order);
            fields[1] = "2025-03-0" + std::to_string(1 + order % 9);
            fields[2] = CustomerNumber(order * 7 % kOrderCustomers);
            fields[5] = "Position " + std::to_string(line) + " f\xFCr Bestellung";
            fields[6] = kArticles[(order + line) % 5];
            fields[8] = std::to_string(line + 1) + ".95";
            fields[11] = line % 2 == 0 ? "19" : "7";
            fields[14] = std::to_string(2 * line + 2) + ".9";
            fields[18] = std::to_string(line + 1);
            fields[20] = "Bitte bis Freitag";
            fields[21] = "Vorkasse";
            fields[25] = "Kunde " + fields[2];
            file += Quoted(fields);
        }
    }
    return file;
}

// The stand-in commits every post with a flush to disk; on a disk that flush is most of the time. The
// folder therefore lies in /dev/shm where there is one, so the figures show the work of the program
// and of SQLite; BM_Customers_FirstRun_StandinOnDisk shows one size on the disk for comparison.
fs::path MemoryBackedFolder() {
    std::error_code ec;
    return fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
}

class BenchFolder {
public:
    explicit BenchFolder(const fs::path& parent) {
        std::string pattern = (parent / "warenkai-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp");
        }
        path = pattern;
    }
    ~BenchFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path Write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(path / name, std::ios::binary | std::ios::trunc);
        out << bytes;
        return path / name;
    }
    fs::path path;
};

BenchFolder& Folder() {
    static BenchFolder folder(MemoryBackedFolder());
    return folder;
}

BenchFolder& DiskFolder() {
    static BenchFolder folder(fs::temp_directory_path());
    return folder;
}

fs::path CustomerFilePath(int count) {
    static std::map<int, fs::path> files;
    auto& file = files[count];
    if (file.empty()) {
        file = Folder().Write("kunden" + std::to_string(count) + ".csv", CustomerFile(count));
    }
    return file;
}

fs::path OrderFilePath() {
    static const fs::path file = Folder().Write("bestellungen.csv", OrderFile());
    return file;
}

// Counts the walking calls on a table and passes every call on.
class CountingTable final : public SelectlineTable {
public:
    explicit CountingTable(SelectlineTable& table) : m_table(table) {}
    std::int64_t Recordcount() override { return m_table.Recordcount(); }
    void First() override { ++steps, m_table.First(); }
    void Next() override { ++steps, m_table.Next(); }
    Variant GetField(const std::string& name) override { return ++steps, m_table.GetField(name); }
    bool FindKey(const std::string& key) override { return m_table.FindKey(key); }
    bool FindKey2(const std::string& a, const std::string& b) override { return m_table.FindKey2(a, b); }
    bool FindKey3(const std::string& a, const std::string& b, const std::string& c) override {
        return m_table.FindKey3(a, b, c);
    }
    void Insert() override { m_table.Insert(); }
    void PutField(const std::string& name, const std::string& value) override { m_table.PutField(name, value); }
    void Post() override { m_table.Post(); }
    std::int64_t steps = 0;

private:
    SelectlineTable& m_table;
};

// ---------------------------------------------------------------------------------------------
// The two back ends behind one shape: the tests' in-memory Selectline (tests/support/memory_selectline.h),
// whose key look-ups go through a kept index, and the stand-in.

struct MemoryBackend {
    std::shared_ptr<test::MemoryDatabase> database = std::make_shared<test::MemoryDatabase>();
    MemoryBackend() {
        database->Table("KU").columns = {"Nummer",   "Name",     "Zusatz", "Strasse",     "Plz",
                                         "Ort",      "SteueridentNr",      "Steuernummer", "EMail",
                                         "Telefon1", "Telefon2", "Fax",    "FreierText1", "FreierText2",
                                         "RefAdresse"};
        database->Table("AD").columns = {"Adresstyp", "Name", "Zusatz", "Strasse", "Plz", "Ort"};
        for (const char* article : kArticles) {
            database->Table("AR").Add({{"Artikelnummer", article}});
        }
    }
    // A copy of the data of `other`.
    explicit MemoryBackend(const MemoryBackend& other)
        : database(std::make_shared<test::MemoryDatabase>(*other.database)) {}
    std::unique_ptr<SelectlineApplication> Open() { return test::MakeMemorySelectline(database)(); }
    std::size_t Positions() const {
        std::size_t positions = 0;
        for (const auto& document : database->documents) {
            positions += document.positions;
        }
        return positions;
    }
};

struct StandinBackend {
    fs::path file;
    std::unique_ptr<SelectlineApplication> Open() { return MakeStandinSelectline(file)(); }
};

// A fresh stand-in database with the demo company (created by the first open).
fs::path FreshStandin(const std::string& name, const BenchFolder& folder = Folder()) {
    const fs::path file = folder.path / name;
    std::error_code ec;
    fs::remove(file, ec);
    MakeStandinSelectline(file)();
    return file;
}

void Import(SelectlineApplication& application, const fs::path& customerFile, bool naive, QuietStatus& status,
            std::int64_t* addressSteps = nullptr) {
    QuietDialogs dialogs;
    const CancelRequest cancel;
    auto customers = application.CreateTable("KU");
    auto addresses = application.CreateTable("AD");
    CountingTable counted(*addresses);
    ImportCustomers(customerFile, *customers, counted, status, dialogs, cancel, {.naiveAddressWalk = naive});
    if (dialogs.messageCount > 0) {
        throw std::runtime_error(dialogs.lastMessage);
    }
    if (addressSteps != nullptr) {
        *addressSteps += counted.steps;
    }
}

void Report(benchmark::State& state, int customers, std::int64_t steps, const QuietStatus& status) {
    state.SetItemsProcessed(state.iterations() * customers);
    state.counters["address_steps"] =
        benchmark::Counter(static_cast<double>(steps) / static_cast<double>(state.iterations() * customers));
    if (status.errorCount > 0) {
        state.SkipWithError(("error lines: " + status.errors.front()).c_str());
    }
}

// ---------------------------------------------------------------------------------------------

void BM_Customers_FirstRun_Memory(benchmark::State& state) {
    const int customers = static_cast<int>(state.range(0));
    const bool naive = state.range(1) != 0;
    const auto file = CustomerFilePath(customers);
    QuietStatus status;
    std::int64_t steps = 0;
    std::unique_ptr<MemoryBackend> backend;
    for (auto _ : state) {
        state.PauseTiming();
        backend = std::make_unique<MemoryBackend>();  // the one before is let go outside the timing
        auto application = backend->Open();
        state.ResumeTiming();
        Import(*application, file, naive, status, &steps);
    }
    Report(state, customers, steps, status);
}

void BM_Customers_SecondRun_Memory(benchmark::State& state) {
    const int customers = static_cast<int>(state.range(0));
    const bool naive = state.range(1) != 0;
    const auto file = CustomerFilePath(customers);
    QuietStatus status;
    MemoryBackend prepared;
    Import(*prepared.Open(), file, false, status);
    std::int64_t steps = 0;
    std::unique_ptr<MemoryBackend> backend;
    for (auto _ : state) {
        state.PauseTiming();
        backend = std::make_unique<MemoryBackend>(prepared);  // the one before is let go outside the timing
        auto application = backend->Open();
        state.ResumeTiming();
        Import(*application, file, naive, status, &steps);
    }
    Report(state, customers, steps, status);
}

void BM_Customers_FirstRun_Standin(benchmark::State& state) {
    const int customers = static_cast<int>(state.range(0));
    const bool naive = state.range(1) != 0;
    const auto file = CustomerFilePath(customers);
    const auto empty = FreshStandin("leer.sqlite");
    QuietStatus status;
    std::int64_t steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        StandinBackend backend{Folder().path / "lauf.sqlite"};
        fs::copy_file(empty, backend.file, fs::copy_options::overwrite_existing);
        auto application = backend.Open();
        state.ResumeTiming();
        Import(*application, file, naive, status, &steps);
    }
    Report(state, customers, steps, status);
}

void BM_Customers_FirstRun_StandinOnDisk(benchmark::State& state) {
    const int customers = static_cast<int>(state.range(0));
    const auto file = CustomerFilePath(customers);
    const auto empty = FreshStandin("leer.sqlite", DiskFolder());
    QuietStatus status;
    std::int64_t steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        StandinBackend backend{DiskFolder().path / "lauf.sqlite"};
        fs::copy_file(empty, backend.file, fs::copy_options::overwrite_existing);
        auto application = backend.Open();
        state.ResumeTiming();
        Import(*application, file, false, status, &steps);
    }
    Report(state, customers, steps, status);
}

void BM_Customers_SecondRun_Standin(benchmark::State& state) {
    const int customers = static_cast<int>(state.range(0));
    const bool naive = state.range(1) != 0;
    const auto file = CustomerFilePath(customers);
    const auto prepared = FreshStandin("erster-lauf.sqlite");
    QuietStatus status;
    Import(*StandinBackend{prepared}.Open(), file, false, status);
    std::int64_t steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        StandinBackend backend{Folder().path / "lauf.sqlite"};
        fs::copy_file(prepared, backend.file, fs::copy_options::overwrite_existing);
        auto application = backend.Open();
        state.ResumeTiming();
        Import(*application, file, naive, status, &steps);
    }
    Report(state, customers, steps, status);
}

void OrderRun(benchmark::State& state, SelectlineApplication& application) {
    QuietStatus status;
    QuietDialogs dialogs;
    const CancelRequest cancel;
    auto customers = application.CreateTable("KU");
    auto articles = application.CreateTable("AR");
    const OrderImportTables selectline{application, *customers, *articles};
    std::unique_ptr<BenchFolder> recordFolder;
    std::optional<OrderRecord> record;
    std::size_t entered = 0;
    std::size_t positions = 0;
    for (auto _ : state) {
        state.PauseTiming();
        record.reset();
        recordFolder = std::make_unique<BenchFolder>(MemoryBackedFolder());
        record.emplace(recordFolder->path / kOrderRecordFileName);
        state.ResumeTiming();
        const auto result = ImportOrders(OrderFilePath(), selectline, *record, status, dialogs, cancel);
        entered += result.entered;
        positions += result.positions;
    }
    state.SetItemsProcessed(state.iterations() * kOrders * kLinesPerOrder);
    state.counters["orders_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kOrders), benchmark::Counter::kIsRate);
    if (entered != static_cast<std::size_t>(state.iterations() * kOrders) ||
        positions != static_cast<std::size_t>(state.iterations() * kOrders * kLinesPerOrder)) {
        state.SkipWithError("orders or positions missing");
    }
    if (status.errorCount > 0) {
        state.SkipWithError(("error lines: " + status.errors.front()).c_str());
    }
    if (dialogs.messageCount > 0) {
        state.SkipWithError(("message: " + dialogs.lastMessage).c_str());
    }
}

void BM_Orders_Memory(benchmark::State& state) {
    MemoryBackend backend;
    QuietStatus status;
    Import(*backend.Open(), CustomerFilePath(kOrderCustomers), false, status);
    auto application = backend.Open();
    OrderRun(state, *application);
    if (backend.Positions() != static_cast<std::size_t>(state.iterations() * kOrders * kLinesPerOrder)) {
        state.SkipWithError("positions not saved");
    }
}

void BM_Orders_Standin(benchmark::State& state) {
    const auto file = FreshStandin("bestellungen.sqlite");
    QuietStatus status;
    Import(*StandinBackend{file}.Open(), CustomerFilePath(kOrderCustomers), false, status);
    auto application = StandinBackend{file}.Open();
    OrderRun(state, *application);
}

void CustomerSizes(benchmark::internal::Benchmark* benchmark) {
    for (const int naive : {1, 0}) {
        for (const int customers : {1000, 2000, 5000, 10000}) {
            benchmark->Args({customers, naive});
        }
    }
    benchmark->ArgNames({"customers", "naive"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Customers_FirstRun_Memory)->Apply(CustomerSizes);
BENCHMARK(BM_Customers_SecondRun_Memory)->Apply(CustomerSizes);
BENCHMARK(BM_Customers_FirstRun_Standin)->Apply(CustomerSizes)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Customers_SecondRun_Standin)->Apply(CustomerSizes)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Customers_FirstRun_StandinOnDisk)
    ->Args({1000})
    ->ArgNames({"customers"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_Orders_Memory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Orders_Standin)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace warenkai::bench

BENCHMARK_MAIN();
