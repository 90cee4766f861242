#include "common/run_history.h"

#include <mutex>

#include "common/cancel_request.h"
#include "common/text_file.h"
#include "common/windows1252.h"

namespace warenkai {
namespace {

constexpr std::string_view kEntryStart = "=== ";
constexpr std::string_view kCrLf = "\r\n";

// A text as one line of the entry: line breaks and other control characters become blanks.
std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    return line;
}

const char* Ending(TransferOutcome outcome, bool errors) {
    switch (outcome) {
        case TransferOutcome::Cancelled:
            return "abgebrochen";
        case TransferOutcome::Stopped:
            return "wegen eines Fehlers beendet";
        case TransferOutcome::Completed:
            break;
    }
    return errors ? "fertig, mit Fehlern" : "fertig";
}

// The file's entries, each with its line ends; text before the first entry counts as one.
std::vector<std::string_view> Entries(std::string_view bytes) {
    std::vector<std::string_view> entries;
    std::size_t begin = 0;
    std::size_t lineStart = 0;
    while (lineStart < bytes.size()) {
        if (lineStart != begin && bytes.substr(lineStart, kEntryStart.size()) == kEntryStart) {
            entries.push_back(bytes.substr(begin, lineStart - begin));
            begin = lineStart;
        }
        const std::size_t end = bytes.find('\n', lineStart);
        lineStart = end == std::string_view::npos ? bytes.size() : end + 1;
    }
    if (begin < bytes.size()) {
        entries.push_back(bytes.substr(begin));
    }
    return entries;
}

}  // namespace

std::string LocalTimeText(std::time_t time, const char* format) {
    std::tm parts{};
    {
        // std::localtime hands out one buffer for the whole program.
        static std::mutex mutex;
        const std::lock_guard lock(mutex);
        const std::tm* local = std::localtime(&time);
        if (local == nullptr) {
            return "?";
        }
        parts = *local;
    }
    char text[64] = {};
    return std::strftime(text, sizeof text, format, &parts) == 0 ? std::string("?") : std::string(text);
}

RunRecorder::RunRecorder(StatusArea& shown, std::string transfer, std::time_t start)
    : ForwardingStatusArea(shown), m_transfer(std::move(transfer)), m_start(start) {}

void RunRecorder::ClearErrors() {
    // The entry holds the error list as it stands at the run's end, as the window shows it.
    m_errors.clear();
    m_errorsLeftOut = 0;
    ForwardingStatusArea::ClearErrors();
}

void RunRecorder::AddError(const std::string& line, const std::string& cause) {
    if (m_errors.size() < kRunHistoryErrorLines) {
        m_errors.emplace_back(line, cause);
    } else {
        ++m_errorsLeftOut;
    }
    ForwardingStatusArea::AddError(line, cause);
}

void RunRecorder::SetResult(const std::string& line) {
    m_result = line;
    ForwardingStatusArea::SetResult(line);
}

std::string RunRecorder::Entry(TransferOutcome outcome, std::time_t end) const {
    const bool errors = !m_errors.empty() || m_errorsLeftOut > 0;
    std::string text = std::string(kEntryStart) + LocalTimeText(m_start) + " bis " + LocalTimeText(end) + " | " +
                       OneLine(m_transfer) + " | " + Ending(outcome, errors) + "\n";
    if (!m_result.empty()) {
        text += "  Ergebnis: " + OneLine(m_result) + "\n";
    }
    for (const auto& [line, cause] : m_errors) {
        text += "  " + OneLine(line) + "\n";
        if (!cause.empty()) {
            text += "      Ursache: " + OneLine(cause) + "\n";
        }
    }
    if (m_errorsLeftOut > 0) {
        text += "  " +
                CountOf(static_cast<std::int64_t>(m_errorsLeftOut), "weitere Fehlerzeile", "weitere Fehlerzeilen") +
                " nicht aufgeführt\n";
    }
    return text;
}

void RunRecorder::Record(TransferOutcome outcome, const std::filesystem::path& programFolder) {
    const std::filesystem::path file = programFolder / kRunHistoryFileName;
    if (!AppendRunHistory(file, Entry(outcome, std::time(nullptr)))) {
        AddError(std::string("Fehler: Das Protokoll \"") + kRunHistoryFileName + "\" kann nicht geschrieben werden");
    }
}

bool AppendRunHistory(const std::filesystem::path& file, std::string_view entry, std::size_t limit) {
    std::string added;
    for (std::size_t begin = 0; begin < entry.size();) {
        const std::size_t end = std::min(entry.find('\n', begin), entry.size());
        added += Utf8ToWindows1252(entry.substr(begin, end - begin));
        added += kCrLf;
        begin = end + 1;
    }
    // A history that cannot be read (none yet, or far too large to be ours) begins anew.
    const std::string old = ReadWholeFile(file, 2 * limit).value_or(std::string());
    const std::vector<std::string_view> entries = Entries(old);
    std::size_t kept = entries.size();
    std::size_t size = added.size();
    while (kept > 0 && size + entries[kept - 1].size() <= limit) {
        size += entries[kept - 1].size();
        --kept;
    }
    std::string bytes;
    bytes.reserve(size);
    for (std::size_t i = kept; i < entries.size(); ++i) {
        bytes.append(entries[i]);
        if (bytes.back() != '\n') {
            bytes.append(kCrLf);  // an entry cut short by hand
        }
    }
    bytes += added;
    return WriteFileAtomically(file, bytes);
}

std::string RunHistoryNewestFirst(std::string_view fileBytes) {
    const std::vector<std::string_view> entries = Entries(fileBytes);
    std::string text;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        for (const char c : Windows1252ToUtf8(*entry)) {
            if (c != '\r') {
                text += c;
            }
        }
        if (!text.empty() && text.back() != '\n') {
            text += '\n';
        }
    }
    return text;
}

}  // namespace warenkai
