#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace warenkai {

// The record of the orders the order import has entered into Selectline, a text file beside the
// program (Windows-1252, CR LF). It keeps every order from being entered twice, also after a run
// that was cancelled, killed or that failed half-way. Its first line is kOrderRecordHeader; every
// further line is one mark, appended and flushed at once:
//
//     eingetragen;2024-05-03 14:22:06;3;5001;a;20001
//
// mark ("begonnen", "eingetragen", "fehlgeschlagen"), local time, the order's number of positions
// (lines of the order file), then fields 0, 1 and 2 of the order file as the import compares them.
// In the fields and the time the bytes below 20 (hex), "%" and ";" are written as "%" and two hex
// digits ("%0D%0A" for a line break), so every mark is one line and every identity comes back as
// it was.
//
// An order is marked "begonnen" before its document is created and "eingetragen" after the document
// was saved; "fehlgeschlagen" after a failed call takes the "begonnen" back (nothing was saved). An
// order found "begonnen" and neither "eingetragen" nor "fehlgeschlagen" was under way when a run
// died: it is not entered again by itself.
inline constexpr const char* kOrderRecordFileName = "Bestellungen eingetragen.txt";
inline constexpr const char* kOrderRecordHeader =
    "Zustand;Zeitpunkt;Positionen;Bestellung Teil 1;Bestellung Teil 2;Kundennummer";
// A larger file is not read (it would hold millions of orders).
inline constexpr std::uintmax_t kOrderRecordMaxBytes = std::uintmax_t{64} << 20;

// Fields 0, 1 and 2 of an order line as the import compares them (UTF-8; field 0 cleaned).
using OrderIdentity = std::array<std::string, 3>;

enum class OrderMark { Begun, Entered, Failed };

struct OrderRecordLine {
    OrderMark mark = OrderMark::Begun;
    std::string time;
    std::size_t positions = 0;
    OrderIdentity identity;
};

// One mark as it stands in the file (Windows-1252, without the line end).
std::string FormatOrderRecordLine(const OrderRecordLine& line);
// A line of the file (without its line end); std::nullopt when it is no mark.
std::optional<OrderRecordLine> ParseOrderRecordLine(std::string_view bytes);

// The open record of one run. The transfer lock keeps a second run from writing it at the same time.
class OrderRecord {
public:
    // The time written with a mark: "2024-05-03 14:22:06".
    using Clock = std::function<std::string()>;
    static std::string LocalTime();

    // Reads the record at `file`, or creates it with its header line when there is none. A last line
    // without line end (a run died while writing it) is completed when it is a whole mark and cut off
    // otherwise. Throws std::runtime_error with a text for the user when the file cannot be trusted or
    // written: empty, not a record, damaged before its last line, read-only, larger than
    // kOrderRecordMaxBytes, or not readable. Orders must then not be entered.
    explicit OrderRecord(std::filesystem::path file, Clock clock = LocalTime);

    struct Known {
        OrderMark mark;  // Begun or Entered
        std::size_t positions;
    };
    // How the record knows the order: entered, or begun and never finished; std::nullopt when not
    // at all (or only begun and then failed).
    std::optional<Known> Find(const OrderIdentity& identity) const;

    // Appends and flushes one mark; false when it could not be written (the record must then not be
    // relied on for further orders).
    bool Mark(OrderMark mark, const OrderIdentity& identity, std::size_t positions);

    const std::filesystem::path& File() const { return m_file; }

private:
    // Checks and reads an existing record; returns what its last line must be completed with.
    std::string Load(std::filesystem::perms permissions);
    void Apply(const OrderRecordLine& line);

    std::filesystem::path m_file;
    Clock m_clock;
    std::map<OrderIdentity, Known> m_known;
    std::ofstream m_out;
};

// The reason a record cannot be used, as the user reads it ("ist leer") with the file's name.
std::string OrderRecordProblemText(const std::filesystem::path& file, const std::string& problem);

}  // namespace warenkai
