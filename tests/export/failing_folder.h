#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "export/output_file.h"

namespace warenkai::test {

// An output folder in memory whose files can be made to fail: at creation, after some writes, or at
// closing. Logs "replace <file name>", "write <bytes>", "close"; `contents` holds what each file received.
class FailingFolder final : public OutputFolder {
public:
    std::unique_ptr<OutputFile> Replace(const std::filesystem::path& file) override {
        log.push_back("replace " + file.filename().string());
        if (failCreateOf && file.filename() == failCreateOf.value()) {
            return nullptr;
        }
        return std::make_unique<File>(*this, file.filename().string());
    }

    std::optional<std::string> failCreateOf;  // only this file name cannot be created
    int failWritesAfter = -1;                 // writes that succeed before every further one fails
    bool failClose = false;
    std::vector<std::string> log;
    std::map<std::string, std::string> contents;  // by file name

private:
    class File final : public OutputFile {
    public:
        File(FailingFolder& folder, std::string name) : m_folder(folder), m_name(std::move(name)) {}
        ~File() override {
            if (!m_closed) {
                m_folder.log.push_back("close");
            }
        }
        bool Write(std::string_view bytes) override {
            m_folder.log.push_back("write " + std::string(bytes));
            if (m_folder.failWritesAfter == 0) {
                return false;
            }
            if (m_folder.failWritesAfter > 0) {
                --m_folder.failWritesAfter;
            }
            m_folder.contents[m_name] += bytes;
            return true;
        }
        bool Close() override {
            m_closed = true;
            m_folder.log.push_back("close");
            return !m_folder.failClose;
        }

    private:
        FailingFolder& m_folder;
        std::string m_name;
        bool m_closed = false;
    };
};

}  // namespace warenkai::test
