#pragma once

#include <memory>
#include <string>
#include <vector>

#include "export/output_file.h"

namespace warenkai::test {

// An output folder in memory whose files can be made to fail: at creation, after some writes, or at
// closing. Logs "replace <file name>", "write <bytes>", and "close" when the file is let go.
class FailingFolder final : public OutputFolder {
public:
    std::unique_ptr<OutputFile> Replace(const std::filesystem::path& file) override {
        log.push_back("replace " + file.filename().string());
        return file.filename() == failCreateOf ? nullptr : std::make_unique<File>(*this);
    }

    std::string failCreateOf;  // only this file name cannot be created
    int failWritesAfter = -1;  // writes that succeed before every further one fails
    bool failClose = false;
    std::vector<std::string> log;

private:
    class File final : public OutputFile {
    public:
        explicit File(FailingFolder& folder) : m_folder(folder) {}
        ~File() override { m_folder.log.push_back("close"); }
        bool Write(std::string_view bytes) override {
            m_folder.log.push_back("write " + std::string(bytes));
            return m_folder.failWritesAfter < 0 || (m_folder.failWritesAfter > 0 && m_folder.failWritesAfter-- > 0);
        }
        bool Close() override { return !m_folder.failClose; }

    private:
        FailingFolder& m_folder;
    };
};

}  // namespace warenkai::test
