#pragma once

#include <filesystem>

class QApplication;

namespace warenkai {

// Qt's own texts (standard buttons, context menus) in German from the translation built into the
// program, and "Warenkai" as the application's display name (the title of a box without one).
void PrepareGermanApplication(QApplication& application);

// Runs the window over `programFolder` until it is closed; returns the program's exit status.
int RunWindow(int argc, char** argv, const std::filesystem::path& programFolder);

}  // namespace warenkai
