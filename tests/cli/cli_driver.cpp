// Starts the command line exactly as the program's main() does when it is given arguments, without
// the window's libraries, so the tests run it as a user would.
#include "app/cli/command_line.h"
#include "app/cli/program_folder.h"

int main(int argc, char** argv) {
    return warenkai::RunCommandLine(argc, argv, warenkai::CurrentProgramFolder(argc > 0 ? argv[0] : nullptr));
}
