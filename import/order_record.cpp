#include "import/order_record.h"

#include "common/run_history.h"

#include <charconv>
#include <ctime>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "common/text_file.h"
#include "common/utf8_path.h"
#include "common/windows1252.h"

namespace warenkai {
namespace fs = std::filesystem;
namespace {

constexpr std::array<std::pair<OrderMark, std::string_view>, 3> kMarkWords = {{
    {OrderMark::Begun, "begonnen"},
    {OrderMark::Entered, "eingetragen"},
    {OrderMark::Failed, "fehlgeschlagen"},
}};
constexpr std::size_t kColumns = 6;
constexpr std::size_t kMaxPositionDigits = 9;
constexpr char kHex[] = "0123456789ABCDEF";

bool Escaped(unsigned char byte) {
    return byte < 0x20 || byte == '%' || byte == ';';
}

std::string Encode(const std::string& utf8) {
    std::string encoded;
    for (const char c : Utf8ToWindows1252(utf8)) {
        const auto byte = static_cast<unsigned char>(c);
        if (Escaped(byte)) {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0xF];
        } else {
            encoded += c;
        }
    }
    return encoded;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::optional<std::string> Decode(std::string_view encoded) {
    std::string bytes;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const auto byte = static_cast<unsigned char>(encoded[i]);
        if (byte < 0x20) {
            return std::nullopt;
        }
        if (byte != '%') {
            bytes += encoded[i];
            continue;
        }
        if (encoded.size() - i < 3) {
            return std::nullopt;
        }
        const int first = HexValue(encoded[i + 1]);
        const int second = HexValue(encoded[i + 2]);
        if (first < 0 || second < 0) {
            return std::nullopt;
        }
        bytes += static_cast<char>(first * 16 + second);
        i += 2;
    }
    return Windows1252ToUtf8(bytes);
}

std::vector<std::string_view> Split(std::string_view line) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto end = line.find(';');
        parts.push_back(line.substr(0, end));
        if (end == std::string_view::npos) {
            return parts;
        }
        line.remove_prefix(end + 1);
    }
}

std::runtime_error Unusable(const fs::path& file, const std::string& problem) {
    return std::runtime_error(OrderRecordProblemText(file, problem));
}

}  // namespace

std::string OrderRecordProblemText(const fs::path& file, const std::string& problem) {
    return "Die Bestellungen werden nicht eingetragen: die Datei \"" + PathToUtf8(file) + "\" " + problem +
           ". In ihr steht, welche Bestellungen schon in Selectline eingetragen sind; ohne sie würden "
           "Bestellungen doppelt eingetragen.";
}

std::string FormatOrderRecordLine(const OrderRecordLine& line) {
    std::string text;
    for (const auto& [mark, word] : kMarkWords) {
        if (mark == line.mark) {
            text = word;
        }
    }
    text += ';' + Encode(line.time) + ';' + std::to_string(line.positions);
    for (const auto& part : line.identity) {
        text += ';' + Encode(part);
    }
    return text;
}

std::optional<OrderRecordLine> ParseOrderRecordLine(std::string_view bytes) {
    const auto parts = Split(bytes);
    if (parts.size() != kColumns) {
        return std::nullopt;
    }
    OrderRecordLine line;
    bool known = false;
    for (const auto& [mark, word] : kMarkWords) {
        if (parts[0] == word) {
            line.mark = mark;
            known = true;
        }
    }
    const std::string_view count = parts[2];
    if (!known || count.empty() || count.size() > kMaxPositionDigits) {
        return std::nullopt;
    }
    const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), line.positions);
    if (error != std::errc{} || end != count.data() + count.size()) {
        return std::nullopt;
    }
    auto time = Decode(parts[1]);
    if (!time) {
        return std::nullopt;
    }
    line.time = std::move(*time);
    for (std::size_t i = 0; i < line.identity.size(); ++i) {
        auto part = Decode(parts[3 + i]);
        if (!part) {
            return std::nullopt;
        }
        line.identity[i] = std::move(*part);
    }
    return line;
}

std::string OrderRecord::LocalTime() {
    return LocalTimeText(std::time(nullptr), "%Y-%m-%d %H:%M:%S");
}

OrderRecord::OrderRecord(fs::path file, Clock clock) : m_file(std::move(file)), m_clock(std::move(clock)) {
    std::error_code ec;
    const auto status = fs::status(m_file, ec);
    std::string completion;
    if (status.type() == fs::file_type::not_found) {
        if (!WriteFileAtomically(m_file, std::string(kOrderRecordHeader) + "\r\n")) {
            throw Unusable(m_file, "kann nicht angelegt werden");
        }
    } else if (ec || status.type() != fs::file_type::regular) {
        throw Unusable(m_file, "ist keine Datei");
    } else {
        completion = Load(status.permissions());
    }
    m_out.open(m_file, std::ios::binary | std::ios::app);
    if (m_out && !completion.empty()) {
        m_out << completion;
        m_out.flush();
    }
    if (!m_out) {
        throw Unusable(m_file, "kann nicht geschrieben werden");
    }
}

std::string OrderRecord::Load(fs::perms permissions) {
    // Asked of the file itself, so that an administrator's run honours it as well.
    if ((permissions & fs::perms::owner_write) == fs::perms::none) {
        throw Unusable(m_file, "ist schreibgeschützt");
    }
    std::error_code ec;
    const auto size = fs::file_size(m_file, ec);
    if (ec) {
        throw Unusable(m_file, "kann nicht gelesen werden");
    }
    if (size > kOrderRecordMaxBytes) {
        throw Unusable(m_file, "ist größer als " + std::to_string(kOrderRecordMaxBytes >> 20) + " MB");
    }
    if (size == 0) {
        throw Unusable(m_file, "ist leer");
    }
    const auto bytes = ReadWholeFile(m_file, kOrderRecordMaxBytes);
    if (!bytes) {
        throw Unusable(m_file, "kann nicht gelesen werden");
    }
    std::string_view rest = *bytes;
    std::size_t lineNumber = 0;
    std::string completion;  // what a last line without line end is completed with
    while (!rest.empty()) {
        ++lineNumber;
        const auto end = rest.find('\n');
        const bool torn = end == std::string_view::npos;
        const auto offset = static_cast<std::uintmax_t>(bytes->size() - rest.size());
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(torn ? rest.size() : end + 1);
        const bool carriageReturn = !line.empty() && line.back() == '\r';
        if (carriageReturn) {
            line.remove_suffix(1);
        }
        if (lineNumber == 1) {
            if (line != kOrderRecordHeader) {
                throw Unusable(
                    m_file, std::string("ist keine Liste eingetragener Bestellungen (ihre erste Zeile ist nicht \"") +
                                kOrderRecordHeader + "\")");
            }
        } else if (line.empty() && !torn) {
            continue;  // an empty line left by an editor
        } else if (const auto mark = ParseOrderRecordLine(line)) {
            Apply(*mark);
        } else if (torn) {
            // The rest of a mark that a run was writing when it died: cut off.
            fs::resize_file(m_file, offset, ec);
            if (ec) {
                throw Unusable(m_file, "kann nicht geschrieben werden");
            }
            return {};
        } else {
            throw Unusable(m_file, "ist beschädigt: Zeile " + std::to_string(lineNumber) + " ist keine Eintragung");
        }
        if (torn) {
            completion = carriageReturn ? "\n" : "\r\n";
        }
    }
    return completion;
}

void OrderRecord::Apply(const OrderRecordLine& line) {
    const auto found = m_known.find(line.identity);
    const bool entered = found != m_known.end() && found->second.mark == OrderMark::Entered;
    switch (line.mark) {
        case OrderMark::Entered:
            m_known.insert_or_assign(line.identity, Known{OrderMark::Entered, line.positions});
            break;
        case OrderMark::Begun:
            if (!entered) {
                m_known.insert_or_assign(line.identity, Known{OrderMark::Begun, line.positions});
            }
            break;
        case OrderMark::Failed:
            if (found != m_known.end() && !entered) {
                m_known.erase(found);
            }
            break;
    }
}

std::optional<OrderRecord::Known> OrderRecord::Find(const OrderIdentity& identity) const {
    const auto found = m_known.find(identity);
    if (found == m_known.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool OrderRecord::Mark(OrderMark mark, const OrderIdentity& identity, std::size_t positions) {
    const OrderRecordLine line{mark, m_clock(), positions, identity};
    if (!m_out) {
        return false;
    }
    // One write of the whole line, then to the system at once: a crash of the program afterwards
    // loses nothing, one during it leaves at most a torn last line.
    const std::string bytes = FormatOrderRecordLine(line) + "\r\n";
    m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    m_out.flush();
    if (!m_out) {
        return false;
    }
    Apply(line);
    return true;
}

}  // namespace warenkai
