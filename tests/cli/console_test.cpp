#include "app/cli/console.h"

#include <sstream>

#include <gtest/gtest.h>

#include "app/cli/console_dialogs.h"
#include "app/cli/console_status_area.h"

namespace warenkai::test {
namespace {

const std::string kEmptyBar = "[" + std::string(30, ' ') + "]   0 %";
const std::string kHalfBar = "[" + std::string(15, '#') + std::string(15, ' ') + "]  50 %";
const std::string kFullBar = "[" + std::string(30, '#') + "] 100 %";
const std::string kErase = "\r" + std::string(kHalfBar.size(), ' ') + "\r";

TEST(ConsoleProgressBar, ShowsTheShareAsBarAndPercentWithinTheRange) {
    const struct {
        int value, maximum;
        std::string text;
    } cases[] = {{0, 100, kEmptyBar}, {50, 100, kHalfBar},
                 {3, 3, kFullBar},    {1, 3, "[" + std::string(10, '#') + std::string(20, ' ') + "]  33 %"},
                 {0, 0, kEmptyBar},  // an export without articles
                 {7, 3, kFullBar},    {-1, 3, kEmptyBar}};
    for (const auto& c : cases) {
        EXPECT_EQ(Console::ProgressBarText(c.value, c.maximum), c.text) << c.value << "/" << c.maximum;
    }
}

struct Terminal {
    std::ostringstream out;
    std::ostringstream err;
    Console console;
    explicit Terminal(bool drawProgress = false) : console(out, err, drawProgress) {}
};

// Status texts on standard output, each new one once; error lines on standard error, the cause
// indented below, line by line; the bar is erased around every line and redrawn below it.
TEST(ConsoleStatusArea, PrintsStatusTextsErrorLinesWithTheirCausesAndTheBarAroundThem) {
    Terminal terminal(true);
    ConsoleStatusArea status(terminal.console);
    status.SetProgressMaximum(100);
    status.SetProgressValue(50);
    status.SetProgressValue(50);
    status.SetStatusText("Übertrage den Artikelstamm1");
    status.SetStatusText("Übertrage den Artikelstamm1");
    status.AddError("Fehler: Artikelstamm1", "550 Permission denied\nzweite Zeile");
    status.SetProgressValue(150);
    terminal.console.EndProgress();

    EXPECT_EQ(terminal.out.str(), "Übertrage den Artikelstamm1\n");
    EXPECT_EQ(terminal.err.str(), "\r" + kEmptyBar + "\r" + kHalfBar + kErase + "\r" + kHalfBar + kErase +
                                      "Fehler: Artikelstamm1\n    550 Permission denied\n    zweite Zeile\n\r" +
                                      kHalfBar + "\r" + kFullBar + kErase);
    EXPECT_EQ(status.ErrorCount(), 1);
    status.ClearErrors();
    EXPECT_EQ(status.ErrorCount(), 0);
}

TEST(ConsolePrintable, ControlCharactersFromTheDataCannotReachTheTerminal) {
    EXPECT_EQ(Console::Printable("Kundennummer: 4711\x1b[2J"), "Kundennummer: 4711?[2J");
    EXPECT_EQ(Console::Printable("a\rb\x07"
                                 "c\x7f"),
              "a?b?c?");
    EXPECT_EQ(Console::Printable("zwei\nZeilen\tmit Tab"), "zwei\nZeilen\tmit Tab");
    // U+009B (a control sequence introducer of its own) and U+0081, which the code page leaves
    // undefined; "ü" and "€" stay.
    EXPECT_EQ(Console::Printable("x\xC2\x9B"
                                 "1m \xC2\x81 \xC3\xBC \xE2\x82\xAC \xC2\xA0"),
              "x?1m ? \xC3\xBC \xE2\x82\xAC \xC2\xA0");
}

TEST(ConsoleDialogs, ConfirmAtOnceAnswerNoAndWaitForEnterOnlyAfterABrowserPage) {
    Terminal terminal;
    std::istringstream in("\nnicht gelesen\n");
    ConsoleDialogs dialogs(terminal.console, in);
    dialogs.ShowMessage("Fertig");
    EXPECT_FALSE(dialogs.AskYesNo("Wollen Sie die Zeile löschen?"));
    EXPECT_EQ(dialogs.AskText("Wert eingeben", "Standardwert", "16"), "");
    dialogs.WaitForEnterAtNextMessage();
    dialogs.ShowMessage("Klicken Sie auf OK wenn die Datei fertig importiert worden ist");
    dialogs.ShowMessage("Fertig");
    EXPECT_EQ(terminal.out.str(),
              "Fertig\n"
              "Wollen Sie die Zeile löschen?\nAntwort: Nein (ohne Fenster)\n"
              "Standardwert: Wert eingeben\nEingabe: leer (ohne Fenster)\n"
              "Klicken Sie auf OK wenn die Datei fertig importiert worden ist\n[Eingabetaste = OK]\nFertig\n");
    std::string unread;
    std::getline(in, unread);
    EXPECT_EQ(unread, "nicht gelesen");

    // An input that has ended does not block.
    dialogs.WaitForEnterAtNextMessage();
    dialogs.ShowMessage("Klicken Sie auf OK wenn die Datei fertig exportiert worden ist");
}

}  // namespace
}  // namespace warenkai::test
