// The stand-in's table operations on a generated company of 100,000 articles.
// Targets: a field read under 1 µs once the record is current, a keyed look-up under 20 µs.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "selectline/selectline_application.h"
#include "selectline/standin/demo_company.h"
#include "selectline/standin/sqlite_connection.h"
#include "selectline/standin/standin_selectline.h"

namespace {

using namespace warenkai;

constexpr int kArticles = 100'000;
constexpr int kGroups = 1'000;

const char* const kArticleFields[] = {
    "Artikelnummer",      "EANnummer",          "Bezeichnung",        "Zusatz",
    "Matchcode",          "Artikelgruppe",      "Mengeneinheit",      "Gewicht",
    "Losgroesse",         "Hersteller",         "HstArtikelnummer",   "Lieferant",
    "FreierText1",        "FreierText2",        "FreieZahl1",         "FreieZahl2",
    "FreieZahl3",         "FreieZahl4",         "FreiesDatum1",       "FreiesDatum2",
    "FreiesKennzeichen1", "FreiesKennzeichen2", "FreiesKennzeichen3", "FreiesKennzeichen4",
    "ShopAktiv",          "SSVerkauf",          "Listenpreis"};

// The generated company: built once per run in a temporary folder, removed at the end.
class GeneratedCompany {
public:
    GeneratedCompany() {
        m_folder = std::filesystem::temp_directory_path() / ("warenkai-bench-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        m_file = m_folder / kStandinDatabaseFileName;
        auto connection = standin::Connection::Open(m_file, std::chrono::seconds(3), true);
        standin::InTransaction(*connection, "Anlegen", [&] {
            standin::CreateStandinSchema(*connection);
            const std::string numbers = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                                        std::to_string(kArticles) + ") ";
            connection->Execute(
                numbers +
                    "INSERT INTO AR SELECT 100000 + i, '40' || (1000000000 + i), 'Artikel ' || i || ' aus dem Garten', "
                    "'Zusatz ' || i, 'ARTIKEL' || i, 1000 + i % " +
                    std::to_string(kGroups) +
                    ", 'Stk', i % 50 / 10.0, 1, 'Hersteller ' || i % 97, 'H-' || i, 70000 + i % 13, "
                    "'Lagerplatz ' || i % 20, NULL, i % 7, i * 0.5, NULL, -1.25, '2024-01-01', '1965-04-01', 0, 1, "
                    "NULL, 0, i % 10 <> 0, 1 + i % 2, round(i % 300 * 1.19, 2) FROM n",
                "Anlegen");
            connection->Execute(
                numbers +
                    "INSERT INTO AG SELECT 1000 + i, 'Gruppe ' || i, CASE WHEN i % 10 = 0 THEN NULL ELSE "
                    "1000 + i - i % 10 END FROM n WHERE i <= " +
                    std::to_string(kGroups),
                "Anlegen");
            for (const char* number : {"1", "2", "3"}) {
                connection->Execute(numbers + "INSERT INTO AP SELECT 100000 + i, 'G', '" + number +
                                        "', i % 300 + 0.99, '2024-01-01', NULL FROM n",
                                    "Anlegen");
            }
            connection->Execute("INSERT INTO UD VALUES (1, '2007-01-01', 19), (2, '2007-01-01', 7)", "Anlegen");
        });
        connection.reset();
        application = MakeStandinSelectline(m_file)();

        std::mt19937 random(4711);
        std::uniform_int_distribution<int> article(1, kArticles);
        std::uniform_int_distribution<int> group(1, kGroups);
        for (int i = 0; i < 4096; ++i) {
            articleKeys.push_back(std::to_string(100000 + article(random)));
            groupKeys.push_back(std::to_string(1000 + group(random)));
        }
    }
    ~GeneratedCompany() {
        application.reset();
        std::filesystem::remove_all(m_folder);
    }

    std::unique_ptr<SelectlineApplication> application;
    std::vector<std::string> articleKeys;
    std::vector<std::string> groupKeys;

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_file;
};

GeneratedCompany& Company() {
    static GeneratedCompany company;
    return company;
}

// Moves to the next article, back to the first after the last.
void Advance(SelectlineTable& table, std::int64_t& position, std::int64_t count) {
    if (++position >= count) {
        table.First();
        position = 0;
    } else {
        table.Next();
    }
}

void BM_GetFieldOfCurrentRecord(benchmark::State& state) {
    auto table = Company().application->CreateTable("AR");
    for (auto _ : state) {
        benchmark::DoNotOptimize(table->GetField("Bezeichnung"));
    }
}
BENCHMARK(BM_GetFieldOfCurrentRecord);

void BM_GetFieldEveryArticleField(benchmark::State& state) {
    auto table = Company().application->CreateTable("AR");
    for (auto _ : state) {
        for (const char* field : kArticleFields) {
            benchmark::DoNotOptimize(table->GetField(field));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(std::size(kArticleFields)));
}
BENCHMARK(BM_GetFieldEveryArticleField);

void BM_Next(benchmark::State& state) {
    auto table = Company().application->CreateTable("AR");
    const auto count = table->Recordcount();
    std::int64_t position = 0;
    for (auto _ : state) {
        Advance(*table, position, count);
    }
}
BENCHMARK(BM_Next);

// One pass of the article walk: move on, then read every plain article field as text.
void BM_NextAndGetFieldPerField(benchmark::State& state) {
    auto table = Company().application->CreateTable("AR");
    const auto count = table->Recordcount();
    std::int64_t position = 0;
    for (auto _ : state) {
        Advance(*table, position, count);
        for (const char* field : kArticleFields) {
            benchmark::DoNotOptimize(table->GetField(field).ToText());
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NextAndGetFieldPerField);

void BM_FindKeyAR(benchmark::State& state) {
    auto& company = Company();
    auto table = company.application->CreateTable("AR");
    std::size_t i = 0;
    for (auto _ : state) {
        if (!table->FindKey(company.articleKeys[i++ % company.articleKeys.size()])) {
            state.SkipWithError("article not found");
        }
    }
}
BENCHMARK(BM_FindKeyAR);

void BM_FindKeyARMissing(benchmark::State& state) {
    auto table = Company().application->CreateTable("AR");
    for (auto _ : state) {
        benchmark::DoNotOptimize(table->FindKey("999999"));
    }
}
BENCHMARK(BM_FindKeyARMissing);

void BM_FindKeyAG(benchmark::State& state) {
    auto& company = Company();
    auto table = company.application->CreateTable("AG");
    std::size_t i = 0;
    for (auto _ : state) {
        if (!table->FindKey(company.groupKeys[i++ % company.groupKeys.size()])) {
            state.SkipWithError("group not found");
        }
    }
}
BENCHMARK(BM_FindKeyAG);

void BM_FindKey3AP(benchmark::State& state) {
    auto& company = Company();
    auto table = company.application->CreateTable("AP");
    std::size_t i = 0;
    const char* numbers[] = {"1", "2", "3"};
    for (auto _ : state) {
        if (!table->FindKey3(company.articleKeys[i % company.articleKeys.size()], "G", numbers[i % 3])) {
            state.SkipWithError("price not found");
        }
        ++i;
    }
}
BENCHMARK(BM_FindKey3AP);

void BM_Listenpreis(benchmark::State& state) {
    auto& company = Company();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            company.application->Listenpreis(company.articleKeys[i++ % company.articleKeys.size()]));
    }
}
BENCHMARK(BM_Listenpreis);

void BM_Recordcount(benchmark::State& state) {
    auto table = Company().application->CreateTable("AR");
    for (auto _ : state) {
        benchmark::DoNotOptimize(table->Recordcount());
    }
}
BENCHMARK(BM_Recordcount);

// One customer of the customer import: look-up, insert, put the fields, post (one transaction each).
void BM_InsertAndPostCustomer(benchmark::State& state) {
    auto table = Company().application->CreateTable("KU");
    static int next = 0;
    for (auto _ : state) {
        const std::string number = std::to_string(500000 + next++);
        benchmark::DoNotOptimize(table->FindKey(number));
        table->Insert();
        table->PutField("Nummer", number);
        for (const char* field : {"Name", "Zusatz", "Strasse", "Plz", "Ort", "EMail", "Telefon1"}) {
            table->PutField(field, "Wert");
        }
        table->Post();
    }
}
BENCHMARK(BM_InsertAndPostCustomer)->Iterations(200);

}  // namespace

BENCHMARK_MAIN();
