#include "export/article_transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <tuple>

#include "tests/export/export_fixture.h"

namespace warenkai::test {
namespace {

// An output folder in memory whose files can be made to fail: at creation, after some writes, or at
// closing. Logs "replace <file name>", "write", and "close" when the file is let go.
struct FailingFolder final : OutputFolder {
    struct File final : OutputFile {
        explicit File(FailingFolder& folder) : of(folder) {}
        ~File() override { of.log.push_back("close"); }
        bool Write(std::string_view) override {
            of.log.push_back("write");
            return of.failWritesAfter < 0 || (of.failWritesAfter > 0 && of.failWritesAfter-- > 0);
        }
        bool Close() override { return !of.failClose; }
        FailingFolder& of;
    };
    std::unique_ptr<OutputFile> Replace(const std::filesystem::path& file) override {
        log.push_back("replace " + file.filename().string());
        return file.filename() == failCreateOf ? nullptr : std::make_unique<File>(*this);
    }
    std::string failCreateOf;  // only this file name cannot be created
    int failWritesAfter = -1;  // writes that succeed before every further one fails
    bool failClose = false;
    Lines log;
};

// What differs from a transfer of tests/data/export/transfer (the articles 4711 and 4712 of the group
// "Technik", five mapping rows), the shop at https://shop.example and the passive mode ticked (which
// the article upload does not read); the second field tells whether the files go through a
// FailingFolder.
const std::tuple<const char*, bool, void (*)(ExportWorld&, FailingFolder&)> kTransferCases[] = {
    {"Läuft durch, Fehler des letzten Laufs gelöscht", false,
     [](ExportWorld& world, FailingFolder&) { world.status.errors = {"vom letzten Lauf"}; }},
    {"Serverfehler beim Listenpreis von 4712", false,
     [](ExportWorld& world, FailingFolder&) {
         world.database->onCall = [](const std::string& call) {
             if (call == "Listenpreis 4712") {
                 throw SelectlineError("Preisberechnung für Artikel 4712 fehlgeschlagen");
             }
         };
     }},
    {"Unbekanntes Feld in der Zuordnung", false,
     [](ExportWorld& world, FailingFolder&) { world.Map("hersteller", "Farbe"); }},
    {"Artikeldatei nach der Kopfzeile nicht schreibbar", true,
     [](ExportWorld&, FailingFolder& files) { files.failWritesAfter = 1; }},
    {"Gruppendatei nicht anzulegen", true,
     [](ExportWorld&, FailingFolder& files) { files.failCreateOf = "artikelgruppe.csv"; }},
    {"Artikeldatei nicht ganz zu schließen", true, [](ExportWorld&, FailingFolder& files) { files.failClose = true; }},
    {"Gruppendatei ohne Zeilen nicht anzulegen, erst der Upload merkt es", false,
     [](ExportWorld& world, FailingFolder&) {
         for (auto& row : world.database->Table("AR").rows) {
             row["Artikelgruppe"] = Variant("");
         }
         world.Map("obergruppe", "", "Alles");
         std::filesystem::create_directory(world.folder / "artikelgruppe.csv");
         world.ftp.uploadSucceeds = [](const std::string& remote) { return !remote.ends_with("artikelgruppe.csv"); };
     }},
    {"Kein Artikel geschrieben, nur die Gruppendatei geht hoch", false,
     [](ExportWorld& world, FailingFolder&) { world.Map("artikelnummer", ""); }},
    {"Abbruch beim Artikel 4712 von 3", false,
     [](ExportWorld& world, FailingFolder&) {
         world.database->Table("AR").Add({{"Artikelnummer", "4713"}, {"Bezeichnung", "Dose"}, {"Artikelgruppe", "1"}});
         world.status.onStatus = [&world](const std::string& text) {
             if (text == "Auslesen des Artikels: 4712") {
                 world.cancel.Request();
             }
         };
     }},
};

// tests/data/export/transfer/cases.txt: per case what the user sees (runs of equal lines written once),
// the outcome and the result line, then the FailingFolder's log or the two files in the program
// folder.
TEST(ArticleTransferTest, WholeTransfersAndWhereTheyEnd) {
    const auto cases = Cases("export/transfer/cases.txt");
    ASSERT_EQ(cases.size(), std::size(kTransferCases));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& [name, failing, setUp] = kTransferCases[i];
        ASSERT_EQ(cases[i].first, name);
        ExportWorld world;
        FailingFolder files;
        SetShopAccess(world.settings, {.shopLink = "https://shop.example"});
        world.settings.passiveMode = true;
        AddRecords(*world.database, "export/transfer/selectline.txt");
        UseMapping(world.settings, "export/transfer/mapping.txt");
        setUp(world, files);
        const auto outcome = failing ? RunArticleTransfer(world.settings, world.context, files)
                                     : RunArticleTransfer(world.settings, world.context);
        std::string seen = Runs(world.journal.Entries(), world.folder.path()) +
                           std::to_string(static_cast<int>(outcome)) + " " + world.status.result + "\n" +
                           Text(files.log);
        for (const std::string file : {"artikelstamm1.csv", "artikelgruppe.csv"}) {
            seen += failing ? "" : "-- " + file + "\n" + world.folder.Read(file) + "\n";
        }
        EXPECT_EQ(seen, Text(cases[i].second)) << name;
    }
}

}  // namespace
}  // namespace warenkai::test
