#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include <string_view>
#include "common/utf8_path.h"

namespace warenkai {

// One file the article transfer writes, open for writing. Writes may be buffered.
class OutputFile {
public:
    virtual ~OutputFile() = default;

    // Appends `bytes`; false when they could not be stored.
    virtual bool Write(std::string_view bytes) = 0;
    // Stores what is buffered and closes the file; false when any of it could not be stored. Nothing
    // is written after Close. A file that is destroyed without Close is closed quietly.
    virtual bool Close() = 0;
};

// Where the article transfer puts its files: the program folder on disk, or a fake in tests.
class OutputFolder {
public:
    virtual ~OutputFolder() = default;

    // Replaces `file` by a new empty file: a read-only mark is cleared and the old file deleted, with
    // failures ignored; then the file is created. nullptr when it cannot be created.
    virtual std::unique_ptr<OutputFile> Replace(const std::filesystem::path& file) = 0;
};

// The real file system.
OutputFolder& LocalDisk();

// A file of the transfer could not be written; ends the transfer with its text.
class FileWriteError : public std::runtime_error {
public:
    explicit FileWriteError(const std::filesystem::path& file)
        : std::runtime_error("Die Datei " + PathToUtf8(file) + " konnte nicht geschrieben werden") {}
};

}  // namespace warenkai
