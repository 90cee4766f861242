#include "import/field_reader.h"

namespace warenkai {
namespace {

constexpr std::size_t kBufferBytes = std::size_t{64} << 10;

void TrimSpaces(std::string& text) {
    const auto last = text.find_last_not_of(' ');
    text.erase(last == std::string::npos ? 0 : last + 1);
    text.erase(0, text.find_first_not_of(' '));
}

}  // namespace

FieldReader::FieldReader(std::istream& in, std::size_t maxFieldBytes)
    : m_in(in), m_maxFieldBytes(maxFieldBytes), m_buffer(kBufferBytes) {}

bool FieldReader::Fill() {
    if (m_atEnd) {
        return false;
    }
    m_in.read(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    m_pos = 0;
    m_end = static_cast<std::size_t>(m_in.gcount());
    if (m_in.bad()) {
        m_readFailed = true;
    }
    if (m_end == 0) {
        m_atEnd = true;
        return false;
    }
    return true;
}

void FieldReader::FinishLineEnd(int lineEndByte) {
    if (lineEndByte == '\r' && Peek() == '\n') {
        Get();
    }
    ++m_line;
}

void FieldReader::Append(ShopField& field, char byte) const {
    if (field.text.size() < m_maxFieldBytes) {
        field.text += byte;
    } else {
        field.truncated = true;
    }
}

std::optional<ShopField> FieldReader::Next() {
    while (Peek() == ' ') {
        Get();
    }
    ShopField field;
    field.line = m_line;
    if (Peek() == kEnd) {
        if (!m_afterComma) {
            return std::nullopt;
        }
        // "a,b," at the end of the file: the comma promised one more field.
        m_afterComma = false;
        field.endsLine = true;
        return field;
    }

    bool inValue = true;
    if (Peek() == '"') {
        Get();
        for (;;) {
            const int c = Get();
            if (c == kEnd) {
                field.unclosedQuote = true;
                inValue = false;
                break;
            }
            if (c == '"') {
                // Whatever stands between the closing quote and the delimiter is dropped.
                inValue = false;
                break;
            }
            Append(field, static_cast<char>(c));
            if (c == '\r' || c == '\n') {
                if (c == '\r' && Peek() == '\n') {
                    Append(field, static_cast<char>(Get()));
                }
                ++m_line;
            }
        }
    }

    m_afterComma = false;
    for (;;) {
        const int c = Get();
        if (c == kEnd) {
            field.endsLine = true;
            break;
        }
        if (c == ',') {
            m_afterComma = true;
            break;
        }
        if (c == '\r' || c == '\n') {
            FinishLineEnd(c);
            field.endsLine = true;
            break;
        }
        if (inValue) {
            Append(field, static_cast<char>(c));
        }
    }
    TrimSpaces(field.text);
    return field;
}

}  // namespace warenkai
