#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/cli/program_run.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {

// The command-line program installed alone in a fresh program folder, as a user has it: its
// settings, its lock, its Selectline database and its files all live beside it.
class InstalledProgram {
public:
    InstalledProgram();

    const std::filesystem::path& Folder() const { return m_folder.path(); }
    const TempFolder& Files() const { return m_folder; }
    // Writes "Einstellungen.ini" as the window would.
    void WriteSettings(const Settings& settings) const;
    // Runs the program with `arguments` in its folder; bounded in time.
    ProgramResult Run(const std::vector<std::string>& arguments,
                      std::chrono::milliseconds timeout = std::chrono::seconds(180),
                      const std::string& interruptOn = {}) const;

private:
    TempFolder m_folder;
    std::filesystem::path m_program;
};

// Whether `lines` appear in `text` in this order (each as a whole line; others may stand between).
::testing::AssertionResult HasLinesInOrder(const std::string& text, const std::vector<std::string>& lines);

// A port of 127.0.0.1 on which nobody listens.
int ClosedLocalPort();

}  // namespace warenkai::test
