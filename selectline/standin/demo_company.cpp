#include "selectline/standin/demo_company.h"

#include <atomic>
#include <cmath>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <unistd.h>

#include "selectline/selectline_error.h"

namespace warenkai::standin {
namespace {

// The stand-in's tables. Operators fill them with the sqlite3 command line; the layout is part of
// docs/selectline-standin.md and must stay as it is.
const char* const kSchema[] = {
    R"(CREATE TABLE "AR" (
        "Artikelnummer" TEXT, "EANnummer" TEXT, "Bezeichnung" TEXT, "Zusatz" TEXT, "Matchcode" TEXT,
        "Artikelgruppe" TEXT, "Mengeneinheit" TEXT, "Gewicht" REAL, "Losgroesse" REAL, "Hersteller" TEXT,
        "HstArtikelnummer" TEXT, "Lieferant" TEXT, "FreierText1" TEXT, "FreierText2" TEXT,
        "FreieZahl1" REAL, "FreieZahl2" REAL, "FreieZahl3" REAL, "FreieZahl4" REAL,
        "FreiesDatum1" DATE, "FreiesDatum2" DATE,
        "FreiesKennzeichen1" BOOLEAN, "FreiesKennzeichen2" BOOLEAN, "FreiesKennzeichen3" BOOLEAN,
        "FreiesKennzeichen4" BOOLEAN,
        "ShopAktiv" BOOLEAN, "SSVerkauf" INTEGER, "Listenpreis" REAL))",
    R"(CREATE INDEX "AR_Artikelnummer" ON "AR" ("Artikelnummer"))",
    R"(CREATE TABLE "AG" ("Nummer" TEXT, "Bezeichnung" TEXT, "Parent" TEXT))",
    R"(CREATE INDEX "AG_Nummer" ON "AG" ("Nummer"))",
    R"(CREATE TABLE "TE" ("Schluessel" TEXT, "TEXT" TEXT))",
    R"(CREATE INDEX "TE_Schluessel" ON "TE" ("Schluessel"))",
    R"(CREATE TABLE "AP" ("Artikelnummer" TEXT, "Preisart" TEXT, "Preisnummer" TEXT, "Preis" REAL,
        "VonDatum" DATE, "BisDatum" DATE))",
    R"(CREATE INDEX "AP_Schluessel" ON "AP" ("Artikelnummer", "Preisart", "Preisnummer"))",
    R"(CREATE TABLE "UD" ("Steuercode" INTEGER, "GueltigAb" DATE, "Steuer" REAL))",
    R"(CREATE TABLE "KU" ("Nummer" TEXT, "Name" TEXT, "Zusatz" TEXT, "Strasse" TEXT, "Plz" TEXT, "Ort" TEXT,
        "SteueridentNr" TEXT, "Steuernummer" TEXT, "EMail" TEXT, "Telefon1" TEXT, "Telefon2" TEXT, "Fax" TEXT,
        "FreierText1" TEXT, "FreierText2" TEXT, "RefAdresse" TEXT))",
    R"(CREATE INDEX "KU_Nummer" ON "KU" ("Nummer"))",
    R"(CREATE TABLE "AD" ("Adresstyp" TEXT, "Name" TEXT, "Zusatz" TEXT, "Strasse" TEXT, "Plz" TEXT, "Ort" TEXT))",
    R"(CREATE TABLE "BELEG" ("Belegnummer" INTEGER PRIMARY KEY, "Belegart" TEXT, "Adresse" TEXT,
        "FreierText1" TEXT, "FreierText2" TEXT))",
    R"(CREATE TABLE "BELEGPOS" ("Belegnummer" INTEGER, "Position" INTEGER, "Positionsart" TEXT, "Menge" REAL,
        "Artikelnummer" TEXT, "Einzelpreis" REAL, "SteuerProzent" TEXT, "Bezeichnung" TEXT, "Gesamtpreis" TEXT))",
    R"(CREATE INDEX "BELEGPOS_Belegnummer" ON "BELEGPOS" ("Belegnummer"))",
};

using Row = std::vector<std::pair<const char*, StoredValue>>;

void InsertRow(Connection& connection, const char* table, const Row& row) {
    std::string names;
    std::string values;
    for (std::size_t i = 0; i < row.size(); ++i) {
        names += (i == 0 ? "" : ", ") + QuoteIdentifier(row[i].first);
        values += (i == 0 ? "?" : ", ?") + std::to_string(i + 1);
    }
    Statement& insert = connection.Cached(
        "INSERT INTO " + QuoteIdentifier(table) + " (" + names + ") VALUES (" + values + ")", "Anlegen der Demodaten");
    StatementUse use(insert);
    for (std::size_t i = 0; i < row.size(); ++i) {
        insert.Bind(static_cast<int>(i + 1), row[i].second);
    }
    insert.Step();
}

StoredValue Text(const char* text) {
    return text == nullptr ? StoredValue(std::monostate{}) : StoredValue(std::string(text));
}

StoredValue Whole(std::int64_t number) {
    return number;
}

double Cents(double amount) {
    return std::round(amount * 100.0) / 100.0;
}

// EAN-13 from the company prefix 4012345 and the article number's last five digits.
std::string Ean(const std::string& articleNumber) {
    std::string digits = "4012345" + articleNumber.substr(articleNumber.size() - 5);
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        sum += (digits[i] - '0') * (i % 2 == 0 ? 1 : 3);
    }
    return digits + static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string Matchcode(const std::string& name) {
    std::string code;
    for (const char c : name) {
        if (c == ' ' || code.size() >= 12) {
            break;
        }
        code += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return code;
}

struct Group {
    const char* number;
    const char* name;
    const char* parent;
};

const Group kGroups[] = {
    {"100", "Garten", nullptr},
    {"110", "Gartengeräte", "100"},
    {"120", "Bewässerung", "100"},
    {"130", "Saatgut & Pflanzen", "100"},
    {"200", "Technik", nullptr},
    {"210", "Netzwerk", "200"},
    {"220", "Zubehör", "200"},
    {"230", "19\" Schränke", "200"},
    {"300", "Werkzeug", nullptr},
    {"400", "Beleuchtung", nullptr},
    {"410", "Außenleuchten", "400"},
    {"500", "Bücher", ""},
};

struct Article {
    const char* number;
    const char* name;
    const char* addition;
    const char* group;  // nullptr: no group
    const char* unit;
    double weight;
    double price;  // price 1, net
    bool shopActive;
    int taxCode;  // 1 standard rate, 2 reduced rate
    const char* maker;
    const char* makerNumber;
    const char* supplier;
};

const Article kArticles[] = {
    {"10001", "Spaten \"Profi\"", "Eschenstiel 110 cm", "110", "Stk", 2.1, 34.9, true, 1, "Gartenwerk Sauerland", "SP-110", "70001"},
    {"10002", "Grabegabel 4 Zinken", "", "110", "Stk", 1.9, 29.9, true, 1, "Gartenwerk Sauerland", "GG-4", "70001"},
    {"10003", "Rosenschere Bypass", "mit Saftrille", "110", "Stk", 0.25, 14.95, true, 1, "Schnittgut", "RS-20", "70002"},
    {"10004", "Heckenschere elektrisch 600 W", "Schnittlänge 55 cm", "110", "Stk", 3.4, 89.0, true, 1, "Voltgarten", "HE-600", "70003"},
    {"10005", "Laubrechen verzinkt", "", "110", "Stk", 0.8, 12.5, true, 1, "Gartenwerk Sauerland", "LR-22", "70001"},
    {"10006", "Schubkarre 100 l", "Luftbereifung", "110", "Stk", 14.5, 79.0, true, 1, "Karrenbau Nord", "SK-100", "70004"},
    {"10007", "Gartenschlauch 1/2\" 20 m", "", "120", "Rolle", 2.3, 24.9, true, 1, "Aquaflex", "GS12-20", "70005"},
    {"10008", "Gartenschlauch 1/2\" 30 m", "", "120", "Rolle", 3.4, 32.9, true, 1, "Aquaflex", "GS12-30", "70005"},
    {"10009", "Gartenschlauch 3/4\" 50 m", "knickfest", "120", "Rolle", 7.9, 69.0, true, 1, "Aquaflex", "GS34-50", "70005"},
    {"10010", "Schlauchwagen mit Kurbel", "für 60 m 1/2\"", "120", "Stk", 5.2, 44.9, true, 1, "Aquaflex", "SW-60", "70005"},
    {"10011", "Rasensprenger Viereck", "bis 250 m²", "120", "Stk", 0.9, 19.9, true, 1, "Aquaflex", "RV-250", "70005"},
    {"10012", "Tropfbewässerung Set", "für 30 Pflanzen", "120", "Set", 1.2, 39.0, true, 1, "Aquaflex", "TB-30", "70005"},
    {"10013", "Regentonne 300 l grün", "mit Deckel", "120", "Stk", 9.0, 59.0, true, 1, "Karrenbau Nord", "RT-300", "70004"},
    {"10014", "Gießkanne Klassik 10 l", "verzinkt", "120", "Stk", 1.6, 27.5, true, 1, "Gartenwerk Sauerland", "GK-10", "70001"},
    {"10015", "Rasensamen Sport & Spiel", "1 kg für 40 m²", "130", "Pkg", 1.0, 11.9, true, 2, "Grünland Saaten", "RS-1", "70006"},
    {"10016", "Tomatensamen 'Harzfeuer'", "Portion ca. 30 Korn", "130", "Btl", 0.01, 2.49, true, 2, "Grünland Saaten", "TS-HF", "70006"},
    {"10017", "Blumenerde torffrei 40 l", "", "130", "Sack", 18.0, 8.99, true, 1, "Grünland Saaten", "BE-40", "70006"},
    {"10018", "Lavendel im Topf", "Ø 12 cm", "130", "Stk", 0.6, 4.95, true, 2, "Staudengärtnerei Weiß", "LV-12", "70007"},
    {"10019", "Kräuter-Set Küche", "6 Pflanzen", "130", "Set", 2.4, 17.5, false, 2, "Staudengärtnerei Weiß", "KS-6", "70007"},
    {"10020", "Rasenmäher Akku 36 V", "Schnittbreite 42 cm", "110", "Stk", 21.0, 299.0, true, 1, "Voltgarten", "RM-36", "70003"},
    {"10021", "Patchkabel Cat.6 0,5 m", "grau", "210", "Stk", 0.03, 1.99, true, 1, "NetzPro", "PK6-05G", "70008"},
    {"10022", "Patchkabel Cat.6 1 m", "grau", "210", "Stk", 0.05, 2.49, true, 1, "NetzPro", "PK6-1G", "70008"},
    {"10023", "Patchkabel Cat.6 2 m", "grau", "210", "Stk", 0.08, 3.29, true, 1, "NetzPro", "PK6-2G", "70008"},
    {"10024", "Patchkabel Cat.6 5 m", "grau", "210", "Stk", 0.18, 5.9, true, 1, "NetzPro", "PK6-5G", "70008"},
    {"10025", "Patchkabel Cat.6 0,5 m", "blau", "210", "Stk", 0.03, 1.99, true, 1, "NetzPro", "PK6-05B", "70008"},
    {"10026", "Patchkabel Cat.6 1 m", "blau", "210", "Stk", 0.05, 2.49, true, 1, "NetzPro", "PK6-1B", "70008"},
    {"10027", "Patchkabel Cat.6 2 m", "blau", "210", "Stk", 0.08, 3.29, true, 1, "NetzPro", "PK6-2B", "70008"},
    {"10028", "Patchkabel Cat.6 5 m", "blau", "210", "Stk", 0.18, 5.9, true, 1, "NetzPro", "PK6-5B", "70008"},
    {"10029", "Switch 8 Port Gigabit", "lüfterlos", "210", "Stk", 0.4, 24.9, true, 1, "NetzPro", "SW-8G", "70008"},
    {"10030", "Switch 24 Port managed", "19\" montierbar", "210", "Stk", 2.6, 189.0, true, 1, "NetzPro", "SW-24M", "70008"},
    {"10031", "WLAN-Router AX3000", "Wi-Fi 6", "210", "Stk", 0.7, 119.0, true, 1, "NetzPro", "WR-AX3", "70008"},
    {"10032", "Netzwerkdose Cat.6 2-fach", "Aufputz, reinweiß", "210", "Stk", 0.1, 9.9, true, 1, "NetzPro", "ND6-2", "70008"},
    {"10033", "USB-C Ladegerät 65 W", "GaN", "220", "Stk", 0.13, 34.9, true, 1, "Stromfix", "LG-65", "70009"},
    {"10034", "HDMI-Kabel 2 m", "4K, 60 Hz", "220", "Stk", 0.12, 7.99, true, 1, "Stromfix", "HD-2", "70009"},
    {"10035", "Steckdosenleiste 6-fach", "mit Schalter, 1,5 m", "220", "Stk", 0.6, 14.9, true, 1, "Stromfix", "SL-6", "70009"},
    {"10036", "Kabelbinder 200 mm", "100 Stück, schwarz", "220", "Pack", 0.15, 3.49, true, 1, "Stromfix", "KB-200", "70009"},
    {"10037", "19\" Schrank 12 HE", "600 x 450 mm, Glastür", "230", "Stk", 24.0, 249.0, true, 1, "Rackwerk", "WS-12", "70010"},
    {"10038", "19\" Schrank 42 HE", "800 x 1000 mm", "230", "Stk", 98.0, 899.0, false, 1, "Rackwerk", "SS-42", "70010"},
    {"10039", "19\" Fachboden 1 HE", "Tiefe 350 mm", "230", "Stk", 1.8, 19.9, true, 1, "Rackwerk", "FB-1", "70010"},
    {"10040", "19\" Patchpanel 24 Port", "Cat.6, geschirmt", "230", "Stk", 1.1, 39.9, true, 1, "Rackwerk", "PP-24", "70010"},
    {"10041", "Akku-Bohrschrauber 18 V", "2 Akkus, Koffer", "300", "Stk", 1.7, 129.0, true, 1, "Voltgarten", "BS-18", "70003"},
    {"10042", "Schraubendreher-Set", "12-tlg.", "300", "Set", 0.9, 19.9, true, 1, "Schnittgut", "SD-12", "70002"},
    {"10043", "Wasserwaage 60 cm", "", "300", "Stk", 0.5, 16.5, true, 1, "Schnittgut", "WW-60", "70002"},
    {"10044", "Zollstock 2 m", "Buche", "300", "Stk", 0.2, 6.9, true, 1, "Schnittgut", "ZS-2", "70002"},
    {"10045", "Werkzeugkoffer leer", "Aluminium", "300", "Stk", 3.2, 49.0, false, 1, "Schnittgut", "WK-A", "70002"},
    {"10046", "Hammer 500 g", "Hickorystiel", "300", "Stk", 0.75, 12.9, true, 1, "Schnittgut", "HA-500", "70002"},
    {"10047", "Solarleuchte Kugel", "Ø 20 cm", "410", "Stk", 0.6, 17.9, true, 1, "Lichtblick", "SK-20", "70011"},
    {"10048", "Wandleuchte außen", "mit Bewegungsmelder", "410", "Stk", 0.9, 39.9, true, 1, "Lichtblick", "WA-BM", "70011"},
    {"10049", "LED-Strahler 30 W", "IP65, 2700 lm", "410", "Stk", 0.8, 29.9, true, 1, "Lichtblick", "ST-30", "70011"},
    {"10050", "Lichterkette 10 m", "warmweiß, 100 LED", "400", "Stk", 0.4, 19.9, true, 1, "Lichtblick", "LK-10", "70011"},
    {"10051", "LED-Leuchtmittel E27 9 W", "entspricht 60 W", "400", "Stk", 0.05, 3.99, true, 1, "Lichtblick", "LM-E27", "70011"},
    {"10052", "Das große Gartenbuch", "Gebunden, 320 Seiten", "500", "Stk", 1.3, 29.95, true, 2, "Verlag Grünes Blatt", "ISBN 978-3-00-000001-1", "70012"},
    {"10053", "Gärtner's Jahreskalender 2025", "", "500", "Stk", 0.4, 14.95, true, 2, "Verlag Grünes Blatt", "ISBN 978-3-00-000002-8", "70012"},
    {"10054", "Netzwerke für Einsteiger", "3. Auflage", "500", "Stk", 0.6, 24.9, true, 2, "Verlag Grünes Blatt", "ISBN 978-3-00-000003-5", "70012"},
    {"10055", "Geschenkgutschein 25 €", "", nullptr, "Stk", 0.0, 25.0, true, 1, "", "", ""},
    {"10056", "Vogelhaus Kiefer", "mit Ständer", "100", "Stk", 4.5, 49.9, true, 1, "Karrenbau Nord", "VH-K", "70004"},
    {"10057", "Insektenhotel groß", "", "100", "Stk", 2.2, 34.9, true, 1, "Karrenbau Nord", "IH-G", "70004"},
    {"10058", "Gartenbank Akazie 3-Sitzer", "geölt", "100", "Stk", 28.0, 199.0, true, 1, "Karrenbau Nord", "GB-3", "70004"},
    {"10059", "Kompostbeschleuniger 2,5 kg", "", "130", "Eimer", 2.6, 9.95, true, 1, "Grünland Saaten", "KB-25", "70006"},
    {"10060", "Gartenschlauch 15 m", "Auslaufmodell", "120", "Rolle", 1.8, 14.9, false, 1, "Aquaflex", "GS12-15", "70005"},
};

struct ArticleText {
    const char* key;
    const char* text;
};

// Long texts ("AR"), dimensions ("AT"), notes ("AI") and ordering notes ("AS"); further long texts
// are built from the article data below.
const ArticleText kTexts[] = {
    {"AR10001", "Robuster Spaten mit \"Profi\"-Blatt aus gehärtetem Stahl.\r\nStiel aus heimischer Esche, 110 cm.\r\nIdeal für schwere, lehmige Böden."},
    {"AR10004", "Leichte Heckenschere mit 600 W Motor.\r\nDoppelseitig geschliffene Messer, Schnittstärke bis 24 mm.\r\nMit Schnittgutsammler."},
    {"AR10007", "Gartenschlauch 1/2\" (13 mm), 20 m, UV-beständig.\r\nFrei von Phthalaten, Cadmium und Barium."},
    {"AR10014", "Die Gießkanne, wie sie schon Großvater kannte: feuerverzinkt, 10 l, mit Messingbrause.\r\nSeit 1965 unverändert im Sortiment."},
    {"AR10016", "Samen der Sorte 'Harzfeuer': früh reifend, aromatisch, platzfest.\r\nAussaat ab März im Haus, ab Mitte Mai ins Freiland."},
    {"AR10020", "Akku-Rasenmäher mit 36 V (2 x 18 V).\r\nSchnitthöhe 25 - 75 mm in 6 Stufen, Grasfangkorb 50 l.\r\nFür Rasenflächen bis ca. 500 m²."},
    {"AR10031", "Dualband-Router mit Wi-Fi 6 (bis 3000 Mbit/s), 4 Gigabit-Ports.\r\nEinfache Einrichtung per App."},
    {"AR10037", "19\" Wandschrank mit Glastür, abschließbar.\r\nTragkraft 60 kg, Schutzart IP20.\r\nLieferung zerlegt."},
    {"AR10038", "19\" Serverschrank 42 HE, 800 x 1000 mm.\r\nPerforierte Türen vorn und hinten, Tragkraft 1000 kg."},
    {"AR10053", "Der Jahreskalender für Gärtner's Praxis: Aussaat, Pflege & Ernte - Monat für Monat.\r\n128 Seiten, durchgehend farbig."},
    {"AR10055", "Gutschein über 25 €, einlösbar im ganzen Sortiment.\r\nKeine Barauszahlung."},
    {"AR10058", "Massive Gartenbank aus FSC-zertifiziertem Akazienholz.\r\nFür 3 Personen, wetterfest geölt."},
    {"AT10006", "Länge 145 cm\r\nBreite 62 cm\r\nHöhe 70 cm"},
    {"AT10037", "Breite 600 mm\r\nTiefe 450 mm\r\nHöhe 635 mm"},
    {"AT10058", "Breite 158 cm\r\nTiefe 64 cm\r\nHöhe 90 cm"},
    {"AI10004", "Nicht für den gewerblichen Dauereinsatz."},
    {"AI10020", "Akku und Ladegerät sind nicht im Lieferumfang enthalten."},
    {"AI10047", "Akku austauschbar (AA NiMH 1,2 V)."},
    {"AS10038", "Nur auf Bestellung, Lieferzeit ca. 3 Wochen.\r\nLieferung per Spedition frei Bordsteinkante."},
    {"AS10058", "Lieferung per Spedition, bitte Telefonnummer angeben."},
};

struct SpecialPrice {
    const char* article;
    double factor;
    const char* from;
    const char* to;
};

const SpecialPrice kSpecialPrices[] = {
    {"10004", 0.85, "2025-03-01", "2025-03-31"},
    {"10011", 0.8, "2025-05-01", "2025-08-31"},
    {"10020", 0.9, "2025-04-01", "2025-04-30"},
    {"10031", 0.85, "2024-11-25", "2024-12-02"},
    {"10047", 0.75, "2025-06-01", "2039-12-31"},
    {"10052", 0.8, "2025-01-01", nullptr},
};

struct TaxRate {
    int code;
    const char* validFrom;
    double rate;
};

// Not in date order on purpose: the latest valid-from date counts, not the table order.
const TaxRate kTaxRates[] = {
    {1, "2007-01-01", 19.0}, {1, "1968-07-01", 11.0}, {1, "2021-01-01", 19.0}, {1, "1998-04-01", 16.0},
    {1, "2020-07-01", 16.0}, {2, "1968-07-01", 5.5},  {2, "2021-01-01", 7.0},  {2, "1983-07-01", 7.0},
    {2, "2020-07-01", 5.0},
};

struct Customer {
    const char* number;
    const char* name;
    const char* addition;
    const char* street;
    const char* postcode;
    const char* town;
    const char* vatId;
    const char* taxNumber;
    const char* mail;
    const char* phone1;
    const char* phone2;
    const char* fax;
    const char* text1;
    const char* text2;
    const char* reference;
};

const Customer kCustomers[] = {
    {"10001", "Gärtnerei Sonnenschein GmbH", "z. Hd. Frau Weiß", "Blumenstraße 12", "34117", "Kassel", "DE123456789",
     "026 123 45678", "info@sonnenschein-gaertnerei.de", "0561 123456", "", "0561 123457", "Branche: Gartenbau",
     "Kundenart: Händler", nullptr},
    {"10002", "Jürgen Müller", "", "Am Bach 3", "79098", "Freiburg im Breisgau", "", "", "j.mueller@example.de",
     "0761 55443", "0171 2345678", "", "Branche: ", "Kundenart: Privat", "R10002"},
    {"R10002", "Jürgen Müller", "Lieferadresse Gartenhaus", "Waldweg 7", "79100", "Freiburg im Breisgau", nullptr,
     nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {"10003", "Elektro Weiß & Söhne KG", "", "Industriestraße 45", "44137", "Dortmund", "DE987654321", "",
     "einkauf@weiss-soehne.de", "0231 998877", "", "0231 998878", "Branche: Elektroinstallation",
     "Kundenart: Gewerbe", nullptr},
    {"10004", "Café Blütenzauber", "Inh. Petra O'Connor", "Marktplatz 1", "97070", "Würzburg", "", "257/123/45678",
     "hallo@bluetenzauber.de", "0931 445566", "", "", "Branche: Gastronomie", "Kundenart: Gewerbe", nullptr},
    {"10005", "Landschaftsbau Groß", "", "Lindenallee 88", "01067", "Dresden", "DE111222333", "", "post@gross-gala.de",
     "0351 7654321", "0160 9988776", "", "Branche: Garten- und Landschaftsbau", "Kundenart: Händler", nullptr},
};

struct Address {
    const char* type;
    const char* name;
    const char* addition;
    const char* street;
    const char* postcode;
    const char* town;
};

const Address kAddresses[] = {
    {"LIE70001", "Gartenwerk Sauerland GmbH", "", "Hammerweg 5", "59872", "Meschede"},
    {"KUL10003", "Elektro Weiß & Söhne KG", "Lager, Tor 3", "Hafenweg 2", "44147", "Dortmund"},
    {"LIE70008", "NetzPro Vertriebs GmbH", "Auftragsannahme", "Am Funkturm 1", "30855", "Langenhagen"},
    {"KUL10004", "Café Blütenzauber", "Rechnungsanschrift", "Postfach 12 34", "97001", "Würzburg"},
};

void FillArticles(Connection& connection) {
    int index = 0;
    for (const auto& article : kArticles) {
        ++index;
        const std::string number = article.number;
        // A few articles carry the free fields, with dates far in the past and future.
        StoredValue firstDate = std::monostate{};
        StoredValue secondDate = std::monostate{};
        if (number == "10014") {
            firstDate = std::string("1965-04-01");
        } else if (number == "10047") {
            firstDate = std::string("2024-03-15");
            secondDate = std::string("2040-12-31");
        } else if (index % 7 == 0) {
            firstDate = std::string("2023-0") + std::to_string(index % 9 + 1) + "-01";
        }
        const bool bulky = article.weight >= 20.0;
        InsertRow(connection, "AR",
                  {
                      {"Artikelnummer", number},
                      {"EANnummer", number == "10055" ? StoredValue(std::monostate{}) : StoredValue(Ean(number))},
                      {"Bezeichnung", Text(article.name)},
                      {"Zusatz", Text(article.addition)},
                      {"Matchcode", Matchcode(article.name)},
                      {"Artikelgruppe", Text(article.group)},
                      {"Mengeneinheit", Text(article.unit)},
                      {"Gewicht", article.weight},
                      {"Losgroesse", number == "10036" ? 10.0 : 1.0},
                      {"Hersteller", Text(article.maker)},
                      {"HstArtikelnummer", Text(article.makerNumber)},
                      {"Lieferant", Text(article.supplier)},
                      {"FreierText1", std::string("Lagerplatz ") + static_cast<char>('A' + index % 4) + "-" +
                                          std::to_string(index % 20 + 1)},
                      {"FreierText2", bulky ? StoredValue(std::string("Versand per Spedition")) : StoredValue(std::monostate{})},
                      {"FreieZahl1", static_cast<double>(index % 5 * 5)},
                      {"FreieZahl2", index % 3 == 0 ? StoredValue(Cents(article.price * 0.55)) : StoredValue(std::monostate{})},
                      {"FreieZahl3", std::monostate{}},
                      {"FreieZahl4", number == "10021" ? StoredValue(-2.5) : StoredValue(std::monostate{})},
                      {"FreiesDatum1", firstDate},
                      {"FreiesDatum2", secondDate},
                      {"FreiesKennzeichen1", Whole(bulky ? 1 : 0)},
                      {"FreiesKennzeichen2", Whole(article.taxCode == 2 ? 1 : 0)},
                      {"FreiesKennzeichen3", Whole(0)},
                      {"FreiesKennzeichen4", std::monostate{}},
                      {"ShopAktiv", Whole(article.shopActive ? 1 : 0)},
                      {"SSVerkauf", Whole(article.taxCode)},
                      {"Listenpreis", Cents(article.price * 1.19 * 1.1)},
                  });
    }
}

void FillTexts(Connection& connection) {
    for (const auto& text : kTexts) {
        InsertRow(connection, "TE", {{"Schluessel", Text(text.key)}, {"TEXT", Text(text.text)}});
    }
    // A plain long text for most other articles; every fifth article has none.
    int index = 0;
    for (const auto& article : kArticles) {
        ++index;
        const std::string key = std::string("AR") + article.number;
        bool written = false;
        for (const auto& text : kTexts) {
            written = written || key == text.key;
        }
        if (written || index % 5 == 0) {
            continue;
        }
        std::string text = std::string(article.name) + "\r\n";
        if (article.addition[0] != '\0') {
            text += std::string(article.addition) + "\r\n";
        }
        text += "Hersteller: " + std::string(article.maker) + ", Art.-Nr. " + article.makerNumber;
        InsertRow(connection, "TE", {{"Schluessel", key}, {"TEXT", text}});
    }
}

void FillPrices(Connection& connection) {
    int index = 0;
    for (const auto& article : kArticles) {
        ++index;
        const std::string number = article.number;
        if (number == "10060") {
            continue;  // an article without any price
        }
        const StoredValue validFrom = number == "10044"   ? StoredValue(std::monostate{})
                                      : number == "10014" ? StoredValue(std::string("1968-07-01"))
                                                          : StoredValue(std::string("2024-01-01"));
        const Row first = {{"Artikelnummer", number}, {"Preisart", Text("G")}, {"Preisnummer", Text("1")},
                           {"Preis", article.price}, {"VonDatum", validFrom}};
        const Row second = {{"Artikelnummer", number}, {"Preisart", Text("G")}, {"Preisnummer", Text("2")},
                            {"Preis", Cents(article.price * 0.8)}, {"VonDatum", std::string("2024-01-01")}};
        // Table order is not key order everywhere: some articles have price 2 before price 1.
        if (index % 4 == 0) {
            InsertRow(connection, "AP", second);
            InsertRow(connection, "AP", first);
        } else {
            InsertRow(connection, "AP", first);
            InsertRow(connection, "AP", second);
        }
        if (index % 3 == 0) {
            InsertRow(connection, "AP",
                      {{"Artikelnummer", number}, {"Preisart", Text("G")}, {"Preisnummer", Text("3")},
                       {"Preis", Cents(article.price * 0.7)}, {"VonDatum", std::string("2025-01-01")}});
        }
    }
    for (const auto& special : kSpecialPrices) {
        double price = 0.0;
        for (const auto& article : kArticles) {
            if (std::string(article.number) == special.article) {
                price = Cents(article.price * special.factor);
            }
        }
        InsertRow(connection, "AP",
                  {{"Artikelnummer", Text(special.article)}, {"Preisart", Text("A")}, {"Preisnummer", std::monostate{}},
                   {"Preis", price}, {"VonDatum", Text(special.from)}, {"BisDatum", Text(special.to)}});
    }
}

void FillRest(Connection& connection) {
    for (const auto& group : kGroups) {
        InsertRow(connection, "AG",
                  {{"Nummer", Text(group.number)}, {"Bezeichnung", Text(group.name)}, {"Parent", Text(group.parent)}});
    }
    for (const auto& tax : kTaxRates) {
        InsertRow(connection, "UD",
                  {{"Steuercode", Whole(tax.code)}, {"GueltigAb", Text(tax.validFrom)}, {"Steuer", tax.rate}});
    }
    for (const auto& customer : kCustomers) {
        InsertRow(connection, "KU",
                  {{"Nummer", Text(customer.number)},       {"Name", Text(customer.name)},
                   {"Zusatz", Text(customer.addition)},     {"Strasse", Text(customer.street)},
                   {"Plz", Text(customer.postcode)},        {"Ort", Text(customer.town)},
                   {"SteueridentNr", Text(customer.vatId)}, {"Steuernummer", Text(customer.taxNumber)},
                   {"EMail", Text(customer.mail)},          {"Telefon1", Text(customer.phone1)},
                   {"Telefon2", Text(customer.phone2)},     {"Fax", Text(customer.fax)},
                   {"FreierText1", Text(customer.text1)},   {"FreierText2", Text(customer.text2)},
                   {"RefAdresse", Text(customer.reference)}});
    }
    for (const auto& address : kAddresses) {
        InsertRow(connection, "AD",
                  {{"Adresstyp", Text(address.type)},
                   {"Name", Text(address.name)},
                   {"Zusatz", Text(address.addition)},
                   {"Strasse", Text(address.street)},
                   {"Plz", Text(address.postcode)},
                   {"Ort", Text(address.town)}});
    }
}

std::filesystem::path TemporaryFileBeside(const std::filesystem::path& file) {
    static std::atomic<unsigned> counter{0};
    auto name = file.filename();
    name += ".neu-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    return file.parent_path() / name;
}

void RemoveQuietly(const std::filesystem::path& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    for (const char* companion : {"-journal", "-wal", "-shm"}) {
        auto path = file;
        path += companion;
        std::filesystem::remove(path, ignored);
    }
}

}  // namespace

void CreateStandinSchema(Connection& connection) {
    for (const char* statement : kSchema) {
        connection.Execute(statement, "Anlegen der Tabellen");
    }
}

void FillDemoCompany(Connection& connection) {
    FillArticles(connection);
    FillTexts(connection);
    FillPrices(connection);
    FillRest(connection);
}

void EnsureStandinDatabase(const std::filesystem::path& file, std::chrono::milliseconds busyTimeout) {
    std::error_code error;
    if (std::filesystem::exists(file, error) || error) {
        return;  // an existing file is used as it is (a file that cannot be looked at fails at opening)
    }
    const auto temporary = TemporaryFileBeside(file);
    try {
        {
            auto connection = Connection::Open(temporary, busyTimeout, true);
            InTransaction(*connection, "Anlegen der Demodaten", [&] {
                CreateStandinSchema(*connection);
                FillDemoCompany(*connection);
            });
        }
        // Publish the finished file without replacing one that appeared meanwhile.
        std::filesystem::create_hard_link(temporary, file, error);
        if (error && !std::filesystem::exists(file)) {
            error.clear();
            std::filesystem::rename(temporary, file, error);
            if (error) {
                throw SelectlineError("Die Datei kann nicht umbenannt werden: " + error.message());
            }
        }
    } catch (const SelectlineError& failure) {
        RemoveQuietly(temporary);
        throw SelectlineError("Die Selectline-Datenbank \"" + PathText(file) + "\" kann nicht angelegt werden. " +
                              failure.what());
    } catch (...) {
        RemoveQuietly(temporary);
        throw;
    }
    RemoveQuietly(temporary);
}

}  // namespace warenkai::standin
