// File access shared by every reader and writer.
//
// Readers take a structure file whole into memory and parse it through a
// ByteReader.  Writers never write over a user's file in place: SafeFileWriter
// writes a temporary file beside the target and renames it over the target only
// after the last byte reached the disk, so a failed or interrupted save leaves
// the old file as it was.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/bytes.h"

namespace lumora {

// A file that cannot be opened, created, read or written.  The message names
// the file and the system's reason; it is what the user sees.
class FileError : public std::runtime_error {
public:
    FileError(const std::string& message, std::string path)
        : std::runtime_error(message), path_(std::move(path)) {}
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Structure files are small; anything larger than this is not one and is not
// taken into memory.
inline constexpr std::uint64_t kStructureFileLimit = 256u * 1024u * 1024u;

// Reads a whole file.  Throws FileError when it cannot be read or is larger
// than `limit` bytes.
Bytes readFileBytes(const std::string& path, std::uint64_t limit = kStructureFileLimit);

// Writes a file through a temporary file beside it.  Throws FileError.
void writeFileSafely(const std::string& path, ByteView bytes);

class SafeFileWriter {
public:
    // Creates the temporary file beside `path`; throws FileError.
    explicit SafeFileWriter(std::string path);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    void write(ByteView bytes);
    std::uint64_t written() const { return written_; }
    // Flushes and renames the temporary file over the target.  Without a
    // commit the destructor removes the temporary file and the target stays.
    void commit();

    const std::string& path() const { return path_; }

private:
    void discard();

    std::string path_;
    std::string tempPath_;
    int fd_ = -1;
    std::uint64_t written_ = 0;
};

bool fileExists(const std::string& path);
bool directoryExists(const std::string& path);
// File size in bytes, or -1 when the file does not exist.
std::int64_t fileSize(const std::string& path);

}  // namespace lumora
