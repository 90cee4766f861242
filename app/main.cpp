#include <filesystem>
#include <string_view>

#include <QApplication>

#include "app/cli/command_line.h"
#include "app/cli/program_folder.h"
#include "app/main_window.h"

namespace {

int RunWindow(int argc, char** argv, const std::filesystem::path& programFolder) {
    QApplication application(argc, argv);
    warenkai::Main window(programFolder);
    window.show();
    return application.exec();
}

}  // namespace

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
    return RunWindow(argc, argv, programFolder);
}
