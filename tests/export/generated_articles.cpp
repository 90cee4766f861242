#include "tests/export/generated_articles.h"

#include <array>
#include <cstddef>

namespace warenkai::test {
namespace {

struct GroupRow {
    const char* key;
    const char* name;
    const char* parent;
};

constexpr GroupRow kGroups[] = {
    {"T", "Technik", ""},
    {"Z", "Zubehör", "T"},
    {"K", "19\" Kabel's", "T"},
    {"W", "  Werkzeug  ", ""},
    {"O", "Ohne Eltern", "X"},  // parent missing
    {"S ", "Mit Blank", "T"},   // the key with a trailing blank is a group of its own
    {"S", "Ohne Blank", "W"},
    {"L", "Zeile\r\nZwei", "W"},              // line break: kept in the group file, a blank in the article file
    {"E", "", ""},                            // empty name
    {"N", " ", "T"},                          // blank name
    {"P", "Eltern mit Blank", "T "},          // parent key with a trailing blank
    {"U", "\xCE\xA9mega \xE2\x82\xAC", "Z"},  // a grandparent; a character Windows-1252 lacks
    {"1", "Eins", ""},
    {"10", "Zehn", "1"},
    {"R", "Rund", "R"},         // its own parent
    {"Q", "Leer-Eltern", "E"},  // parent with an empty name
};

const std::array<Variant, 21> kArticleGroups = {"T", "Z", "K",  "W",   "O",   "S ", "S", "L", "E",  "N",        "P",
                                                "U", "1", "10", "10 ", " 10", "R",  "Q", "",  "X9", Variant(10)};

struct TaxRow {
    Variant code, validFrom, rate;
};

// clang-format off
const TaxRow kTaxes[] = {
    {1, Date{2007, 1, 1}, 16},
    {2, Date{2007, 1, 1}, 7},
    {1, Date{2020, 7, 1}, 19},
    {1, Date{2020, 7, 1}, 19.5},    // same date: the first in the table wins
    {1.0, Date{2020, 7, 1}, 18},    // the same code as a value, the same date
    {2, Variant(), 5},              // without date after a dated record
    {3, Variant(), 8},
    {3, "unbekannt", 9},            // only undated records: the last one wins
    {"4", "01.01.2099", 21},        // future date, code as a text
    {4, Date{2020, 1, 1}, 20},
    {"A", Date{2020, 1, 1}, 10},
    {"a", Date{2021, 1, 1}, 11},
    {5, "31.12.2019", 15},
    {5, "01.07.2020", 17},          // compared as dates, not as texts
    {6, Date{2020, 1, 1}, 19.9},
    {Variant(), Date{2020, 1, 1}, 0},
    {7, "2020-01-01", 3},
    {7, Variant(), 4},
    {"", Date{2019, 1, 1}, 1},
};
// clang-format on

const std::array<Variant, 17> kSalesTaxCodes = {1,         2,  3, "4", 4,   "A",  "a", 5, 6,
                                                Variant(), "", 7, 9,   "1", " 1", 1.0, 8};

const char* const kTextCodes[] = {"AR", "AT", "AI", "AS"};
const char* const kTexts[] = {"Text\r\nzwei\r\n", "it's \"gut\"", "   ", "\xCE\xA9 und \xE2\x82\xAC \xE2\x80\x93 ok"};

Variant PriceDate(int i) {
    if (i % 5 == 0) {
        return {};
    }
    if (i % 11 == 0) {
        return "1.3.25";
    }
    if (i % 13 == 0) {
        return "2025/03/01";  // cannot be rewritten: the row's default value and an error line
    }
    if (i % 17 == 0) {
        return "01.02.2003.04";
    }
    return Date{2024, 1 + i % 12, 1 + i % 28};
}

void AddPrices(MemoryTable& prices, const std::string& number, int i) {
    auto price = [&](const char* kind, const std::string& priceNumber, Variant amount, Variant from, Variant to) {
        prices.Add({{"Artikelnummer", number},
                    {"Preisart", kind},
                    {"Preisnummer", priceNumber},
                    {"Preis", std::move(amount)},
                    {"VonDatum", std::move(from)},
                    {"BisDatum", std::move(to)}});
    };
    if (i % 3 != 0) {
        price("G", "1", (i % 100) / 4.0 + 0.05, PriceDate(i), {});
    }
    if (i % 2 == 0) {
        price("G", "2", i % 50, {}, {});
    }
    if (i % 4 == 1) {
        price("G", "3", "12,50", Date{2025, 1, 1 + i % 28}, {});
    }
    if (i % 6 == 0) {
        for (int n = 4; n <= 9; ++n) {
            price("G", std::to_string(n), n * 1.5 + i, Date{2025, n, 1 + i % 28}, {});
        }
    }
    if (i % 4 == 0) {
        price("A", "", i * 0.1, Date{2025, 6, 1 + i % 28}, Date{2025, 6, 30});
    } else if (i % 4 == 1) {
        price("A", "", 9.99, Date{2025, 7, 1}, {});
    } else if (i % 8 == 2) {
        price("A", "", {}, "", "31.12.2025");
    }
}

Variant ShopActive(int i) {
    switch (i % 5) {
        case 0:
            return true;
        case 1:
            return false;
        case 2:
            return "Ja";
        case 3:
            return 0;
        default:
            return {};
    }
}

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

}  // namespace

void AddBenchmarkArticles(MemoryDatabase& database, long articleCount, int taxRecords) {
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
        for (const char* code : kTextCodes) {
            database.Table("TE").Add(
                {{"Schluessel", code + number},
                 {"TEXT", std::string("Text ") + code + " zu Artikel " + std::to_string(i) + "\r\nzweite Zeile"}});
        }
        MemoryTable& prices = database.Table("AP");
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

void AddGeneratedArticles(MemoryDatabase& database, int articleCount) {
    for (const GroupRow& group : kGroups) {
        database.Table("AG").Add({{"Nummer", group.key}, {"Bezeichnung", group.name}, {"Parent", group.parent}});
    }
    for (const TaxRow& tax : kTaxes) {
        database.Table("UD").Add({{"Steuercode", tax.code}, {"GueltigAb", tax.validFrom}, {"Steuer", tax.rate}});
    }
    MemoryTable& articles = database.Table("AR");
    for (int i = 0; i < articleCount; ++i) {
        const std::string number = "A" + std::to_string(1000 + i);
        Variant key = number;
        if (i % 23 == 5) {
            key = "";
        } else if (i % 23 == 6) {
            key = "   ";
        } else if (i % 19 == 3) {
            key = "  " + number + " ";
        }
        Variant name = "Artikel " + std::to_string(i);
        if (i % 9 == 0) {
            name = "   ";
        } else if (i % 9 == 1) {
            name = Variant();
        } else if (i % 9 == 2) {
            name = "O'Brien, \"S\xC3\xB6hne\"";
        }
        articles.Add({{"Artikelnummer", key},
                      {"Bezeichnung", name},
                      {"Matchcode", i % 10 == 7 ? Variant("") : Variant("M" + std::to_string(i))},
                      {"Artikelgruppe", kArticleGroups[static_cast<std::size_t>(i) % kArticleGroups.size()]},
                      {"SSVerkauf", kSalesTaxCodes[static_cast<std::size_t>(i) % kSalesTaxCodes.size()]},
                      {"ShopAktiv", ShopActive(i)},
                      {"Listenpreis", i % 3 == 0   ? Variant(19.9)
                                      : i % 3 == 1 ? Variant()
                                                   : Variant(100)},
                      {"Gewicht", 0.25 * (i % 7)}});
        for (std::size_t code = 0; code < 4; ++code) {
            if ((static_cast<std::size_t>(i) + code) % 3 != 0) {
                database.Table("TE").Add({{"Schluessel", kTextCodes[code] + number}, {"TEXT", kTexts[(i + code) % 4]}});
            }
        }
        AddPrices(database.Table("AP"), number, i);
    }
}

void UseGeneratedMapping(Settings& settings, const std::string& name) {
    struct Row {
        const char* field;
        const char* defaultValue;
        const char* prefix;
    };
    // In the order of the built-in shop columns.
    // clang-format off
    static const Row repeated[kMappingRowCount] = {
        {"Artikelnummer", "", ""}, {"Bezeichnung", "ohne Namen", ""}, {"Langtext", "", ""},
        {"Artikelnummer", "", " L- "}, {"", " kein.jpg ", "img/"}, {"Preis1", "0", ""},
        {"Listenpreis", "0", ""}, {"Gewicht", "", ""}, {"Dimension", "", ""},
        {"Info", "Stk", ""}, {"Aktionspreis", "0", ""}, {"Aktionspreis", "", "\""},
        {"Aktionspreis ab", "", ""}, {"Aktionspreis bis", "", ""}, {"Artikelgruppe Parent", "", ""},
        {"Artikelgruppe", "", ""}, {"Artikelgruppe", "-", ""}, {"MwSt-Satz", "16", ""},
        {"Bestell", "", ""}, {"Langtext", "", "pdf:"}, {"Preis1 ab", "offen", ""},
        {"", "Ab Lager", ""}, {"Artikelgruppe Parent", "", ""}, {"Bezeichnung", "", ""},
        {"Preis2", "", ""}, {"Preis2 ab", "offen", ""}, {"MwSt-Satz", "", "% "},
        {"Preis3", "", ""}, {"Preis1 ab", "", ""}, {"Preis9 ab", "", ""},
    };
    static const Row matchcode[kMappingRowCount] = {
        {"Matchcode", "", ""}, {"Bezeichnung", "", ""}, {"Info", "", ""},
        {"Artikelnummer", "", ""}, {"", "x.jpg", ""}, {"Preis4", "", ""},
        {"Preis5", "", ""}, {"Preis6 ab", "", ""}, {"Preis7", "", ""},
        {"Preis8 ab", "", ""}, {"Aktionspreis bis", "", ""}, {"Aktionspreis bis", "", ""},
        {"Aktionspreis ab", "", ""}, {"", "2099-12-31", ""}, {"Artikelgruppe", "", ""},
        {"Artikelgruppe Parent", "", ""}, {"ShopAktiv", "", ""}, {"MwSt-Satz", "", ""},
        {"Dimension", "", ""}, {"Dimension", "", ""}, {"SSVerkauf", "", ""},
        {"Listenpreis", "", ""}, {"Listenpreis", "", ""}, {"Preis9", "", ""},
        {"Preis9 ab", "", ""}, {"Preis4 ab", "", ""}, {"Preis5 ab", "", ""},
        {"Preis6", "", ""}, {"Preis7 ab", "", ""}, {"Preis8", "", ""},
    };
    static const Row benchmark[kMappingRowCount] = {
        {"Artikelnummer", "", ""}, {"Bezeichnung", "", "Shop: "}, {"Langtext", "", ""},
        {"Preis1", "", ""}, {"Preis1 ab", "", ""}, {"Preis2", "", ""},
        {"Preis2 ab", "", ""}, {"Preis3", "", ""}, {"Preis3 ab", "", ""},
        {"Preis4", "", ""}, {"Aktionspreis", "", ""}, {"Preis4 ab", "", ""},
        {"Aktionspreis ab", "", ""}, {"Aktionspreis bis", "", ""}, {"Artikelgruppe Parent", "", ""},
        {"Artikelgruppe", "", ""}, {"Preis5", "", ""}, {"MwSt-Satz", "", ""},
        {"Dimension", "", ""}, {"Info", "", ""}, {"Bestell", "", ""},
        {"Preis5 ab", "", ""}, {"Preis6", "", ""}, {"Preis6 ab", "", ""},
        {"Preis7", "", ""}, {"Preis7 ab", "", ""}, {"Preis8", "", ""},
        {"Preis8 ab", "", ""}, {"Preis9", "", ""}, {"Preis9 ab", "", ""},
    };
    // clang-format on
    const Row* rows = name == "repeated" ? repeated : name == "matchcode" ? matchcode : benchmark;
    settings.onlyShopActive = name == "matchcode";
    for (std::size_t row = 0; row < kMappingRowCount; ++row) {
        settings.mapping[row].selectlineField = rows[row].field;
        if (rows != benchmark) {  // the benchmark keeps the built-in default values
            settings.mapping[row].defaultValue = rows[row].defaultValue;
        }
        settings.mapping[row].prefix = rows[row].prefix;
    }
}

std::vector<std::string> CompressedJournal(const std::vector<std::string>& entries) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < entries.size();) {
        std::size_t run = 1;
        while (i + run < entries.size() && entries[i + run] == entries[i]) {
            ++run;
        }
        lines.push_back(run == 1 ? entries[i] : entries[i] + " (x" + std::to_string(run) + ")");
        i += run;
    }
    return lines;
}

}  // namespace warenkai::test
