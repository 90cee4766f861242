#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace warenkai {

// The transfer a command line asks for.
enum class CommandLineTransfer {
    Articles,  // "articles": the article transfer
    Pictures,  // "pictures": the picture upload
    Orders,    // "orders": the customer and order import
};

struct CommandLineRequest {
    enum class Kind { Run, Help, Version, UsageError };
    Kind kind = Kind::UsageError;
    CommandLineTransfer transfer = CommandLineTransfer::Articles;
    // --settings FILE; none: "Einstellungen.ini" in the program folder.
    std::optional<std::filesystem::path> settingsFile;
    // --browser: the shop's pages in the desktop's browser, confirmed with Enter.
    bool browser = false;
    // For UsageError: what is wrong, in German ("Unbekannter Befehl: foo").
    std::string problem;
};

// Reads the words after the program name. "--help" (or "-h") and "--version" win over everything
// else; otherwise exactly one transfer word is needed, and options may stand before or after it.
CommandLineRequest ParseCommandLine(const std::vector<std::string>& arguments);

// The help text (German), ending with a line end.
std::string CommandLineUsage();

}  // namespace warenkai
