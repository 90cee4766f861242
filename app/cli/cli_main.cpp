// The program where it is built without its window (Windows until a Qt for it is at hand): every
// call is a command-line run, `warenkai articles|pictures|orders`, `--help` or `--version`.
#include "app/cli/command_line.h"
#include "app/cli/program_folder.h"

int main(int argc, char** argv) {
    return warenkai::RunCommandLine(argc, argv, warenkai::CurrentProgramFolder(argc > 0 ? argv[0] : nullptr));
}
