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

TEST(ConsoleProgressBar, ShowsTheShareAsBarAndPercent) {
    EXPECT_EQ(Console::ProgressBarText(0, 100), kEmptyBar);
    EXPECT_EQ(Console::ProgressBarText(50, 100), kHalfBar);
    EXPECT_EQ(Console::ProgressBarText(3, 3), kFullBar);
    EXPECT_EQ(Console::ProgressBarText(1, 3), "[" + std::string(10, '#') + std::string(20, ' ') + "]  33 %");
    // A maximum of 0 (an export without articles) and values outside the range.
    EXPECT_EQ(Console::ProgressBarText(0, 0), kEmptyBar);
    EXPECT_EQ(Console::ProgressBarText(7, 3), kFullBar);
    EXPECT_EQ(Console::ProgressBarText(-1, 3), kEmptyBar);
}

struct ConsoleStreams {
    std::ostringstream out;
    std::ostringstream err;
};

TEST(ConsoleStatusArea, PrintsEachNewStatusTextOnceAndEveryErrorLine) {
    ConsoleStreams streams;
    Console console(streams.out, streams.err, false);
    ConsoleStatusArea status(console);

    status.SetStatusText("Verbinde mit Webserver");
    status.SetStatusText("Verbinde mit Webserver");
    status.SetStatusText("Verbindung erfolgreich");
    status.SetStatusText("");
    status.SetStatusText("Verbinde mit Webserver");
    status.AddError("Fehler: Artikelstamm2");
    status.AddError("Fehler: Artikelstamm2");

    EXPECT_EQ(streams.out.str(), "Verbinde mit Webserver\nVerbindung erfolgreich\nVerbinde mit Webserver\n");
    EXPECT_EQ(streams.err.str(), "Fehler: Artikelstamm2\nFehler: Artikelstamm2\n");
    EXPECT_EQ(status.ErrorCount(), 2);
    status.ClearErrors();
    EXPECT_EQ(status.ErrorCount(), 0);
}

TEST(ConsoleStatusArea, KeepsTheProgressRangeAsTheWindowsBarDoes) {
    ConsoleStreams streams;
    Console console(streams.out, streams.err, false);
    ConsoleStatusArea status(console);
    EXPECT_EQ(status.ProgressMaximum(), 100);
    EXPECT_EQ(status.ProgressValue(), 0);
    status.SetProgressValue(150);
    EXPECT_EQ(status.ProgressValue(), 100);
    status.SetProgressMaximum(10);
    EXPECT_EQ(status.ProgressValue(), 10);
    status.SetProgressMaximum(-5);
    EXPECT_EQ(status.ProgressMaximum(), 0);
    status.SetProgressValue(-1);
    EXPECT_EQ(status.ProgressValue(), 0);
    // Without a terminal nothing is drawn.
    EXPECT_EQ(streams.err.str(), "");
    EXPECT_EQ(streams.out.str(), "");
}

TEST(ConsoleStatusArea, OnATerminalTheBarIsDrawnAndErasedAroundEveryLine) {
    ConsoleStreams streams;
    Console console(streams.out, streams.err, true);
    ConsoleStatusArea status(console);

    status.SetProgressMaximum(100);
    status.SetProgressValue(50);
    status.SetProgressValue(50);  // unchanged: not drawn again
    status.SetStatusText("Übertrage den Artikelstamm1");
    status.AddError("Fehler: Artikelstamm1");
    status.SetProgressValue(100);
    console.EndProgress();

    EXPECT_EQ(streams.out.str(), "Übertrage den Artikelstamm1\n");
    EXPECT_EQ(streams.err.str(), "\r" + kEmptyBar + "\r" + kHalfBar +  // drawn
                                     kErase + "\r" + kHalfBar +       // around the status line
                                     kErase + "Fehler: Artikelstamm1\n" + "\r" + kHalfBar +  // around the error
                                     "\r" + kFullBar +                                       // moved on
                                     kErase);                                                // ended
}

TEST(ConsolePrintable, ControlCharactersFromTheDataCannotReachTheTerminal) {
    EXPECT_EQ(Console::Printable("Kundennummer: 4711\x1b[2J"), "Kundennummer: 4711?[2J");
    EXPECT_EQ(Console::Printable("a\rb\x07" "c\x7f"), "a?b?c?");
    EXPECT_EQ(Console::Printable("zwei\nZeilen\tmit Tab"), "zwei\nZeilen\tmit Tab");
    // U+009B (a control sequence introducer of its own) and U+0081, which the code page leaves
    // undefined; "ü" and "€" stay.
    EXPECT_EQ(Console::Printable("x\xC2\x9B" "1m \xC2\x81 \xC3\xBC \xE2\x82\xAC \xC2\xA0"),
              "x?1m ? \xC3\xBC \xE2\x82\xAC \xC2\xA0");

    ConsoleStreams streams;
    Console console(streams.out, streams.err, false);
    console.PrintLine("Kundennummer: \x1b]0;x\x07");
    console.PrintErrorLine("Fehler: \x1b[31m");
    EXPECT_EQ(streams.out.str(), "Kundennummer: ?]0;x?\n");
    EXPECT_EQ(streams.err.str(), "Fehler: ?[31m\n");
}

TEST(ConsoleDialogs, ConfirmAtOnceAndAnswerQuestionsWithNo) {
    ConsoleStreams streams;
    std::istringstream in("nicht gelesen\n");
    Console console(streams.out, streams.err, false);
    ConsoleDialogs dialogs(console, in);

    dialogs.ShowMessage("Fertig");
    EXPECT_FALSE(dialogs.AskYesNo("Wollen Sie die Zeile löschen?"));
    EXPECT_EQ(dialogs.AskText("Wert eingeben", "Standardwert", "16"), "");
    EXPECT_EQ(dialogs.AskText("Wert eingeben", "", "16"), "");

    EXPECT_EQ(streams.out.str(),
              "Fertig\n"
              "Wollen Sie die Zeile löschen?\nAntwort: Nein (ohne Fenster)\n"
              "Standardwert: Wert eingeben\nEingabe: leer (ohne Fenster)\n"
              "Wert eingeben\nEingabe: leer (ohne Fenster)\n");
    std::string unread;
    std::getline(in, unread);
    EXPECT_EQ(unread, "nicht gelesen");
}

TEST(ConsoleDialogs, WaitForEnterOnlyAtTheMessageAfterABrowserPage) {
    ConsoleStreams streams;
    std::istringstream in("\nzweite Zeile\n");
    Console console(streams.out, streams.err, false);
    ConsoleDialogs dialogs(console, in);

    dialogs.WaitForEnterAtNextMessage();
    dialogs.ShowMessage("Klicken Sie auf OK wenn die Datei fertig importiert worden ist");
    dialogs.ShowMessage("Fertig");

    EXPECT_EQ(streams.out.str(),
              "Klicken Sie auf OK wenn die Datei fertig importiert worden ist\n[Eingabetaste = OK]\nFertig\n");
    std::string unread;
    std::getline(in, unread);
    EXPECT_EQ(unread, "zweite Zeile");
}

TEST(ConsoleDialogs, AnInputThatHasEndedDoesNotBlock) {
    ConsoleStreams streams;
    std::istringstream in("");
    Console console(streams.out, streams.err, false);
    ConsoleDialogs dialogs(console, in);
    dialogs.WaitForEnterAtNextMessage();
    dialogs.ShowMessage("Klicken Sie auf OK wenn die Datei fertig exportiert worden ist");
    EXPECT_EQ(streams.out.str(), "Klicken Sie auf OK wenn die Datei fertig exportiert worden ist\n[Eingabetaste = OK]\n");
}

}  // namespace
}  // namespace warenkai::test
