#pragma once

#include <string>
#include <vector>

namespace warenkai {

// Asks the desktop to show `address` in the default browser (the shell's "open" on Windows, the
// program `opener` elsewhere, started directly without a shell). Returns an empty text when it was
// handed over, else the reason it could not be.
std::string OpenInBrowser(const std::string& address, const std::string& opener);

// The browser opener of this desktop where it is a program ("xdg-open"); unused on Windows.
inline constexpr const char* kDesktopOpener = "xdg-open";

// Console output: UTF-8 on the console (Windows), a reader that goes away does not end the program
// (POSIX: SIGPIPE ignored).
void PrepareConsole();
// The window is about to open: a console window that only this program uses (Windows starts a
// console program from the desktop with one) is given up, so none stays open beside the window. A
// console the program shares, with the command prompt it was started from, stays.
void LeaveConsoleForWindow();

// Whether standard error is a terminal (the progress bar is drawn there only then).
bool ErrorOutputIsTerminal();

// The program's arguments, the program's own name first, in UTF-8 (Windows hands them over in
// UTF-16; `argv` there is in the ANSI code page and loses characters outside it).
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace warenkai
