#pragma once

#include <filesystem>
#include <string>

namespace warenkai::test {

// A fresh folder below the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

    // Writes `bytes` to the file `name` in the folder (creating folders on the way) and returns its path.
    std::filesystem::path Write(const std::string& name, const std::string& bytes) const;
    // The bytes of the file `name`, or "<missing>" when it is no regular file or cannot be read.
    std::string Read(const std::string& name) const;

private:
    std::filesystem::path m_path;
};

}  // namespace warenkai::test
