#include "common/run_history.h"

#include <gtest/gtest.h>

#include "tests/support/fake_ui.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

constexpr std::time_t kStart = 1796650212;  // a December evening
constexpr std::time_t kEnd = kStart + 88;

std::string Times() {
    return LocalTimeText(kStart) + " bis " + LocalTimeText(kEnd);
}

TEST(RunHistory, EntriesAreAddedInWindows1252WithCrLfAndShownNewestFirst) {
    TempFolder folder;
    Journal journal;
    RecordingStatusArea shown(journal);

    RunRecorder articles(shown, "Artikel zum Webshop", kStart);
    articles.AddError("Fehler: Artikelgruppen", "550 Zugriff verweigert\r\n=== gefälscht");
    articles.SetResult("55 Artikel in 1 Datei, 12 Gruppenzeilen; 1 Datei übertragen, 1 Fehler");
    ASSERT_TRUE(AppendRunHistory(folder / kRunHistoryFileName, articles.Entry(TransferOutcome::Completed, kEnd)));
    RunRecorder pictures(shown, "Bilder zum Webshop", kStart);
    pictures.SetResult("Abgebrochen nach 3 von 7 Bildern");
    ASSERT_TRUE(AppendRunHistory(folder / kRunHistoryFileName, pictures.Entry(TransferOutcome::Cancelled, kEnd)));

    // What the recorder saw went on to the status area unchanged.
    EXPECT_EQ(shown.causes, (std::vector<std::string>{"550 Zugriff verweigert\r\n=== gefälscht"}));
    const std::string bytes = folder.Read(kRunHistoryFileName);
    EXPECT_EQ(bytes, "=== " + Times() + " | Artikel zum Webshop | fertig, mit Fehlern\r\n"
                     "  Ergebnis: 55 Artikel in 1 Datei, 12 Gruppenzeilen; 1 Datei \xFC" "bertragen, 1 Fehler\r\n"
                     "  Fehler: Artikelgruppen\r\n"
                     "      Ursache: 550 Zugriff verweigert  === gef\xE4lscht\r\n"
                     "=== " + Times() + " | Bilder zum Webshop | abgebrochen\r\n"
                     "  Ergebnis: Abgebrochen nach 3 von 7 Bildern\r\n");
    EXPECT_EQ(RunHistoryNewestFirst(bytes),
              "=== " + Times() + " | Bilder zum Webshop | abgebrochen\n"
              "  Ergebnis: Abgebrochen nach 3 von 7 Bildern\n"
              "=== " + Times() + " | Artikel zum Webshop | fertig, mit Fehlern\n"
              "  Ergebnis: 55 Artikel in 1 Datei, 12 Gruppenzeilen; 1 Datei übertragen, 1 Fehler\n"
              "  Fehler: Artikelgruppen\n"
              "      Ursache: 550 Zugriff verweigert  === gefälscht\n");
}

TEST(RunHistory, TheOldestEntriesGiveWayAtTheLimit) {
    TempFolder folder;
    const auto file = folder / kRunHistoryFileName;
    constexpr std::size_t kLimit = 1000;
    for (int run = 1; run <= 40; ++run) {
        const std::string entry = "=== Lauf " + std::to_string(run) + "\n  " + std::string(60, 'x') + "\n";
        ASSERT_TRUE(AppendRunHistory(file, entry, kLimit));
        EXPECT_LE(std::filesystem::file_size(file), kLimit);
    }
    const std::string bytes = folder.Read(kRunHistoryFileName);
    EXPECT_TRUE(bytes.starts_with("=== Lauf 29\r\n")) << bytes.substr(0, 20);
    EXPECT_TRUE(bytes.ends_with("=== Lauf 40\r\n  " + std::string(60, 'x') + "\r\n"));
}

}  // namespace
}  // namespace warenkai::test
