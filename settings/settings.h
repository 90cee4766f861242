#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "mapping/field_mapping.h"

namespace warenkai {

inline constexpr const char* kSettingsFileName = "Einstellungen.ini";

// Everything kept in "Einstellungen.ini": the six text fields Text1(0) to Text1(5), the three switches
// and the editable fields of the article mapping.
struct Settings {
    std::string ftpServer;      // Text1(0)
    std::string ftpUser;        // Text1(1)
    std::string ftpPassword;    // Text1(2)
    std::string shopRoot;       // Text1(3)
    std::string shopLink;       // Text1(4)
    std::string pictureFolder;  // Text1(5)
    bool onlyShopActive = false;       // Check1(0)
    bool synchronousTransfer = false;  // Check2(0)
    bool passiveMode = false;          // Check2(1)
    FieldMapping mapping = BuildDefaultMapping();

    // The text field Text1(element), element 0 to 5.
    std::string& Text(int element);
    const std::string& Text(int element) const;

    bool operator==(const Settings&) const = default;
};

inline constexpr int kTextFieldCount = 6;

// Reads the settings file into `settings`. Lines of the file overwrite what `settings` holds; keys
// missing from the file leave it unchanged. A missing or unreadable file changes nothing. Silent.
void LoadSettings(const std::filesystem::path& file, Settings& settings);

// Writes the settings file anew (99 lines, Windows-1252, CR LF). The old file is replaced only when
// the new one is complete; on failure it stays as it was. Silent; returns whether it worked.
bool SaveSettings(const std::filesystem::path& file, const Settings& settings);

// The bytes SaveSettings writes.
std::string FormatSettingsFile(const Settings& settings);

// Applies the bytes of a settings file (Windows-1252) as LoadSettings does.
void ApplySettingsFile(std::string_view bytes, Settings& settings);

}  // namespace warenkai
