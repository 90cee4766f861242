#pragma once

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/status_area.h"
#include "common/transfer_guard.h"

namespace warenkai {

// The history of the runs in the program folder: one entry per transfer, from the window or the
// command line, in Windows-1252 with CR LF like the program's other files, oldest first:
//
//   === 07.12.2026 19:30:12 bis 07.12.2026 19:31:40 | Artikel zum Webshop | fertig, mit Fehlern
//     Ergebnis: 55 Artikel in 1 Datei, 12 Gruppenzeilen; 1 Datei übertragen, 1 Fehler
//     Fehler: Artikelgruppen
//         Ursache: 550 Permission denied
//
// Every line of an entry but its first begins with blanks, so a text from the shop or from Selectline
// can never begin an entry of its own.
inline constexpr const char* kRunHistoryFileName = "Protokoll.txt";
// The file never grows past this: the oldest entries give way.
inline constexpr std::size_t kRunHistoryLimit = std::size_t{2} << 20;
// Error lines kept in one entry; the rest are counted.
inline constexpr std::size_t kRunHistoryErrorLines = 5000;

// "07.12.2026 19:30:12" in the computer's time zone.
std::string LocalTimeText(std::time_t time, const char* format = "%d.%m.%Y %H:%M:%S");

// A status area that passes everything on and keeps what one run showed for its history entry. Used
// on the transfer's thread only.
class RunRecorder final : public ForwardingStatusArea {
public:
    // `transfer` names the transfer in the entry ("Artikel zum Webshop").
    RunRecorder(StatusArea& shown, std::string transfer, std::time_t start);

    // The entry as UTF-8 text, lines ended by "\n".
    std::string Entry(TransferOutcome outcome, std::time_t end) const;
    // Adds the entry, ending now, to the history in `programFolder`; a history that cannot be written
    // gets a line in the error list.
    void Record(TransferOutcome outcome, const std::filesystem::path& programFolder);

    using StatusArea::AddError;
    void ClearErrors() override;
    void AddError(const std::string& line, const std::string& cause) override;
    void SetResult(const std::string& line) override;

private:
    std::string m_transfer;
    std::time_t m_start;
    std::vector<std::pair<std::string, std::string>> m_errors;  // line, cause
    std::size_t m_errorsLeftOut = 0;
    std::string m_result;
};

// Adds `entry` (UTF-8, as RunRecorder::Entry gives it) to the history file `file`, dropping the oldest
// entries as far as needed to stay within `limit` bytes. The file is replaced as a whole, so a crash
// leaves the old history or the new one. False when it cannot be written.
bool AppendRunHistory(const std::filesystem::path& file, std::string_view entry, std::size_t limit = kRunHistoryLimit);

// The history file's bytes as UTF-8 text with "\n", newest entry first.
std::string RunHistoryNewestFirst(std::string_view fileBytes);

}  // namespace warenkai
