#pragma once

#include <cstddef>
#include <string>

namespace warenkai {

class StatusArea;

// The error lines of one stage of a transfer. A broken or huge file, or a database full of values the
// program cannot read, could otherwise fill the window's list with millions of lines: after `limit`
// lines the rest are only counted, and Finish adds one line with their number.
class LimitedErrorList {
public:
    static constexpr std::size_t kDefaultLimit = 1000;

    // `fileName` names the stage in the closing line ("kundenstamm.csv", "Artikel").
    LimitedErrorList(StatusArea& status, std::string fileName, std::size_t limit = kDefaultLimit);

    void Add(const std::string& line);
    // Adds the line that counts the lines left out, if any.
    void Finish();

private:
    StatusArea& m_status;
    std::string m_fileName;
    std::size_t m_limit;
    std::size_t m_added = 0;
    std::size_t m_leftOut = 0;
};

}  // namespace warenkai
