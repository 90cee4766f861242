#include "export/article_transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "tests/export/export_fixture.h"

namespace warenkai::test {
namespace {

// An output folder in memory that logs every step, "replace <file name>", "write", "close" and
// "let go" (the file object destroyed), and fails the step numbered `failAt` (from 1).
struct FailingFolder final : OutputFolder {
    struct File final : OutputFile {
        explicit File(FailingFolder& folder) : of(folder) {}
        ~File() override { of.Step("let go"); }
        bool Write(std::string_view) override { return of.Step("write"); }
        bool Close() override { return of.Step("close"); }
        FailingFolder& of;
    };
    std::unique_ptr<OutputFile> Replace(const std::filesystem::path& file) override {
        return Step("replace " + file.filename().string()) ? std::make_unique<File>(*this) : nullptr;
    }
    bool Step(const std::string& step) { return log.push_back(step), log.size() != failAt; }
    Lines log;
    std::size_t failAt = 0;  // 0: the transfer writes to the program folder on disk
};

// The world of a transfer, with a FailingFolder beside the program folder.
struct World : ExportWorld {
    FailingFolder files;
};

// What differs from a transfer of tests/data/export/transfer (the articles 4711 and 4712 of the group
// "Technik", five mapping rows) to the shop at https://shop.example, with an error of the last run
// in the list and the passive mode ticked (which the article upload does not read). A successful
// transfer as a whole is shown by the command-line program's run against the demo shop.
const std::pair<const char*, void (*)(World&)> kTransferCases[] = {
    {"Serverfehler beim Listenpreis von 4712",
     [](World& world) {
         world.database->onCall = [](const std::string& call) {
             if (call == "Listenpreis 4712") {
                 throw SelectlineError("Preisberechnung für Artikel 4712 fehlgeschlagen");
             }
         };
     }},
    // The shop column "hersteller".
    {"Unbekanntes Feld in der Zuordnung", [](World& world) { world.settings.mapping[22].selectlineField = "Farbe"; }},
    {"Artikeldatei nach der Kopfzeile nicht schreibbar", [](World& world) { world.files.failAt = 3; }},
    {"Gruppendatei nicht anzulegen", [](World& world) { world.files.failAt = 7; }},
    {"Artikeldatei nicht ganz zu schließen", [](World& world) { world.files.failAt = 5; }},
    {"Gruppendatei ohne Zeilen nicht anzulegen, erst der Upload merkt es",
     [](World& world) {
         for (auto& row : world.database->Table("AR").rows) {
             row["Artikelgruppe"] = Variant("");
         }
         world.settings.mapping[14] = {"obergruppe", "", "Alles", ""};
         std::filesystem::create_directory(world.folder / "artikelgruppe.csv");
         world.ftp.uploadSucceeds = [](const std::string& remote) { return !remote.ends_with("artikelgruppe.csv"); };
     }},
    // The shop column "artikelnummer".
    {"Kein Artikel geschrieben, nur die Gruppendatei geht hoch",
     [](World& world) { world.settings.mapping[0].selectlineField = ""; }},
    {"Abbruch beim Artikel 4712 von 3",
     [](World& world) {
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
TEST(ArticleTransferTest, TransfersThatStopOrFailAndWhereTheyEnd) {
    const auto cases = Cases("export/transfer/cases.txt");
    ASSERT_EQ(cases.size(), std::size(kTransferCases));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& [name, setUp] = kTransferCases[i];
        ASSERT_EQ(cases[i].first, name);
        World world;
        SetShopAccess(world.settings, {.shopLink = "https://shop.example"});
        world.settings.passiveMode = true;
        world.status.errors = {"vom letzten Lauf"};
        AddRecords(*world.database, Cases("export/transfer/selectline.txt").at(0).second);
        UseMapping(world.settings, "export/transfer/mapping.txt");
        setUp(world);
        const auto outcome = world.files.failAt ? RunArticleTransfer(world.settings, world.context, world.files)
                                                : RunArticleTransfer(world.settings, world.context);
        std::string seen = Runs(world.journal.Entries(), world.folder.path()) +
                           std::to_string(static_cast<int>(outcome)) + " " + world.status.result + "\n" +
                           Text(world.files.log);
        for (const std::string file : {"artikelstamm1.csv", "artikelgruppe.csv"}) {
            seen += world.files.failAt ? "" : "-- " + file + "\n" + world.folder.Read(file) + "\n";
        }
        EXPECT_EQ(seen, Text(cases[i].second)) << name;
    }
}

}  // namespace
}  // namespace warenkai::test
