#include "export/output_file.h"

#include <cstdio>

#include "common/text_file.h"
#include "platform/files.h"

namespace warenkai {
namespace {

class DiskFile final : public OutputFile {
public:
    explicit DiskFile(std::FILE* file) : m_file(file) { std::setvbuf(m_file, nullptr, _IOFBF, 1 << 16); }
    ~DiskFile() override {
        if (m_file != nullptr) {
            std::fclose(m_file);
        }
    }
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;

    bool Write(std::string_view bytes) override {
        return m_file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), m_file) == bytes.size();
    }
    bool Close() override {
        if (m_file == nullptr) {
            return false;
        }
        const bool flushed = std::fflush(m_file) == 0 && std::ferror(m_file) == 0;
        const bool closed = std::fclose(m_file) == 0;
        m_file = nullptr;
        return flushed && closed;
    }

private:
    std::FILE* m_file;
};

class DiskFolder final : public OutputFolder {
public:
    std::unique_ptr<OutputFile> Replace(const std::filesystem::path& file) override {
        RemoveFileForced(file);
        // Where the old file could not be deleted but can be written, it is emptied instead; a link left
        // in its place is never written through.
        std::FILE* handle = OpenFileForWriting(file, OpenForWriting::Truncate);
        if (handle == nullptr) {
            return nullptr;
        }
        return std::make_unique<DiskFile>(handle);
    }
};

}  // namespace

OutputFolder& LocalDisk() {
    static DiskFolder disk;
    return disk;
}

}  // namespace warenkai
