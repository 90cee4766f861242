#include "app/cli/console.h"

#include <sstream>

#include <gtest/gtest.h>

#include "app/cli/console_dialogs.h"
#include "app/cli/console_status_area.h"
#include "tests/support/test_data.h"

namespace warenkai::test {
namespace {

std::string Bar(int filled, const char* percent) {
    return "[" + std::string(filled, '#') + std::string(30 - filled, ' ') + "] " + percent + " %";
}

TEST(Console, ShowsTheProgressAsBarAndPercentWithinTheRange) {
    for (const auto& [range, bar] : Cases("cli/progress_bar.txt")) {
        int value = 0, maximum = 0;
        std::istringstream(range) >> value >> maximum;
        EXPECT_EQ(Console::ProgressBarText(value, maximum), bar.at(0)) << range;
    }
}

TEST(Console, ControlCharactersFromTheDataCannotReachTheTerminal) {
    for (const auto& [text, printable] : Cases("cli/printable.txt")) {
        EXPECT_EQ(Console::Printable(text), printable.at(0));
    }
}

// Status texts on standard output, each new one once; error lines on standard error, the cause
// indented below, line by line; the bar is erased around every line and redrawn below it.
TEST(Console, PrintsStatusTextsErrorLinesWithTheirCausesAndTheBarAroundThem) {
    std::ostringstream out, err;
    Console console(out, err, true);
    ConsoleStatusArea status(console);
    status.SetProgressMaximum(100);
    status.SetProgressValue(50);
    status.SetProgressValue(50);
    status.SetStatusText("Übertrage den Artikelstamm1");
    status.SetStatusText("Übertrage den Artikelstamm1");
    status.AddError("Fehler: Artikelstamm1", "550 Permission denied\nzweite Zeile");
    status.SetProgressValue(150);
    console.EndProgress();

    const std::string half = Bar(15, " 50"), erase = "\r" + std::string(half.size(), ' ') + "\r";
    EXPECT_EQ(out.str(), "Übertrage den Artikelstamm1\n");
    EXPECT_EQ(err.str(), "\r" + Bar(0, "  0") + "\r" + half + erase + "\r" + half + erase +
                             "Fehler: Artikelstamm1\n    550 Permission denied\n    zweite Zeile\n\r" + half + "\r" +
                             Bar(30, "100") + erase);
    EXPECT_EQ(status.ErrorCount(), 1);
    status.ClearErrors();
    EXPECT_EQ(status.ErrorCount(), 0);
}

// Message boxes are confirmed at once, questions answered No, input boxes empty; only after a browser
// page does the next message wait for Enter, and an input that has ended does not block.
TEST(Console, DialogsConfirmAtOnceAnswerNoAndWaitForEnterOnlyAfterABrowserPage) {
    std::ostringstream out, err;
    Console console(out, err, false);
    std::istringstream in("\nnicht gelesen\n");
    ConsoleDialogs dialogs(console, in);
    dialogs.ShowMessage("Fertig");
    EXPECT_FALSE(dialogs.AskYesNo("Wollen Sie die Zeile löschen?"));
    EXPECT_EQ(dialogs.AskText("Wert eingeben", "Standardwert", "16"), "");
    dialogs.WaitForEnterAtNextMessage();
    dialogs.ShowMessage("Klicken Sie auf OK wenn die Datei fertig importiert worden ist");
    dialogs.ShowMessage("Fertig");
    EXPECT_EQ(out.str(),
              "Fertig\n"
              "Wollen Sie die Zeile löschen?\nAntwort: Nein (ohne Fenster)\n"
              "Standardwert: Wert eingeben\nEingabe: leer (ohne Fenster)\n"
              "Klicken Sie auf OK wenn die Datei fertig importiert worden ist\n[Eingabetaste = OK]\nFertig\n");
    std::string unread;
    std::getline(in, unread);
    EXPECT_EQ(unread, "nicht gelesen");
    dialogs.WaitForEnterAtNextMessage();
    dialogs.ShowMessage("Klicken Sie auf OK wenn die Datei fertig exportiert worden ist");
}

}  // namespace
}  // namespace warenkai::test
