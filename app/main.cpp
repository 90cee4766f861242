#include <filesystem>

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
    // before Qt is started, so it needs no display.
    if (argc > 1) {
        return warenkai::RunCommandLine(argc, argv, programFolder);
    }
    return RunWindow(argc, argv, programFolder);
}
