#include <filesystem>
#include <string_view>

#include "app/cli/command_line.h"
#include "app/cli/program_folder.h"
#include "app/window_application.h"
#include "platform/desktop.h"

int main(int argc, char** argv) {
    const std::filesystem::path programFolder = warenkai::CurrentProgramFolder(argv[0]);
    // With arguments the program runs a transfer (or answers --help, --version) without a window,
    // before Qt is started, so it needs no display. Qt's own options start with a single "-"
    // ("-session" when the desktop session restores the program, "-platform", "-style"): they go
    // to the window.
    const std::string_view first = argc > 1 ? argv[1] : "";
    const bool qtOption = first.size() > 1 && first[0] == '-' && first[1] != '-' && first != "-h";
    if (argc > 1 && !qtOption) {
        return warenkai::RunCommandLine(argc, argv, programFolder);
    }
    // A console of its own (the program was started from the desktop on Windows) is not left open
    // beside the window.
    warenkai::LeaveConsoleForWindow();
    return warenkai::RunWindow(argc, argv, programFolder);
}
