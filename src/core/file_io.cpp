#include "core/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace lumora {
namespace {

std::string reason(int error) {
    return std::strerror(error);
}

FileError openError(const std::string& path, int error) {
    return FileError("Cannot open file \"" + path + "\". " + reason(error), path);
}

FileError createError(const std::string& path, int error) {
    return FileError("Cannot create file \"" + path + "\". " + reason(error), path);
}

// Mode for the new file: the old file's permissions when it exists, so a save
// does not change who may read the user's file.
mode_t modeFor(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    return 0666;
}

}  // namespace

Bytes readFileBytes(const std::string& path, std::uint64_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw openError(path, errno);
    struct stat st {};
    int statusError = 0;
    if (::fstat(fd, &st) != 0) {
        statusError = errno;
    } else if (S_ISDIR(st.st_mode)) {
        statusError = EISDIR;
    } else if (!S_ISREG(st.st_mode)) {
        statusError = EINVAL;  // a device or pipe is no structure file
    }
    if (statusError != 0) {
        ::close(fd);
        throw openError(path, statusError);
    }
    if (static_cast<std::uint64_t>(st.st_size) > limit) {
        ::close(fd);
        throw FileError(
            "File \"" + path + "\" is too large (" + std::to_string(st.st_size) + " bytes).", path);
    }
    Bytes data(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::read(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            throw FileError("Cannot read file \"" + path + "\". " + reason(error), path);
        }
        if (n == 0) break;  // the file shrank while we read it
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    data.resize(done);
    return data;
}

void writeFileSafely(const std::string& path, ByteView bytes) {
    SafeFileWriter writer(path);
    writer.write(bytes);
    writer.commit();
}

SafeFileWriter::SafeFileWriter(std::string path) : path_(std::move(path)) {
    static std::atomic<unsigned> counter{0};
    const mode_t mode = modeFor(path_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath_ =
            path_ + ".lumora-tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd_ >= 0) return;
        if (errno != EEXIST) break;
    }
    const int error = errno;
    tempPath_.clear();
    throw createError(path_, error);
}

SafeFileWriter::~SafeFileWriter() {
    discard();
}

void SafeFileWriter::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    tempPath_.clear();
}

void SafeFileWriter::write(ByteView bytes) {
    if (fd_ < 0) throw FileError("File \"" + path_ + "\" is not open for writing.", path_);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            discard();
            throw FileError("Cannot write file \"" + path_ + "\". " + reason(error), path_);
        }
        done += static_cast<std::size_t>(n);
    }
    written_ += done;
}

void SafeFileWriter::commit() {
    if (fd_ < 0) throw FileError("File \"" + path_ + "\" is not open for writing.", path_);
    if (::fsync(fd_) != 0 || ::close(fd_) != 0) {
        const int error = errno;
        fd_ = -1;
        discard();
        throw FileError("Cannot write file \"" + path_ + "\". " + reason(error), path_);
    }
    fd_ = -1;
    if (::rename(tempPath_.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        discard();
        throw createError(path_, error);
    }
    tempPath_.clear();
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool directoryExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::int64_t fileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

}  // namespace lumora
