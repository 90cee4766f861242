#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace warenkai {

// One field of a shop export file as the reader found it.
struct ShopField {
    std::string text;            // the field's bytes as they stand in the file (Windows-1252), trimmed of spaces
    std::size_t line = 0;        // the line of the file (counted from 1) on which the field begins
    bool endsLine = false;       // a line end or the end of the file ended the field
    bool unclosedQuote = false;  // it began with a double quote that nothing closed up to the end of the file
    bool truncated = false;      // it was longer than the reader keeps; the rest was dropped
};

// Reads the shop's export files ("Exportkunde.csv", "Exportbestellung.csv") field by field:
// - spaces before a field are skipped;
// - a field that begins with a double quote runs to the next double quote; commas and line breaks
//   inside belong to it; whatever follows the closing quote up to the next comma or line end is
//   dropped together with that delimiter;
// - any other field runs to the next comma or line end, which is consumed;
// - CR LF, a lone LF and a lone CR each count as one line end;
// - the end of the file ends the last field. After a line end (or at the start) the end of the file
//   means no further field; after a comma it gives one last, empty field.
// Every field is trimmed of leading and trailing spaces.
//
// The reader streams: it holds one buffer of the file and at most `maxFieldBytes` of one field, so a
// huge or broken file does not fill the memory.
class FieldReader {
public:
    static constexpr std::size_t kDefaultMaxFieldBytes = std::size_t{1} << 20;

    explicit FieldReader(std::istream& in, std::size_t maxFieldBytes = kDefaultMaxFieldBytes);

    // The next field; std::nullopt at the end of the file (or when the file cannot be read further).
    std::optional<ShopField> Next();

    // True when reading stopped because of a read error rather than the end of the file.
    bool ReadFailed() const { return m_readFailed; }

private:
    static constexpr int kEnd = -1;

    int Peek() { return m_pos < m_end || Fill() ? static_cast<unsigned char>(m_buffer[m_pos]) : kEnd; }
    int Get() { return m_pos < m_end || Fill() ? static_cast<unsigned char>(m_buffer[m_pos++]) : kEnd; }
    bool Fill();
    // Consumes the LF of a CR LF pair after a CR has been read, and counts the line.
    void FinishLineEnd(int lineEndByte);
    void Append(ShopField& field, char byte) const;

    std::istream& m_in;
    std::size_t m_maxFieldBytes;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::size_t m_line = 1;
    bool m_afterComma = false;
    bool m_atEnd = false;
    bool m_readFailed = false;
};

}  // namespace warenkai
