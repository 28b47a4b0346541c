#include "menu/menu_resource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/file_io.h"

namespace lumora {

// An open file descriptor with the file's size at opening.
class MenuResource::File {
public:
    File(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    ~File() { ::close(fd_); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    std::uint64_t size() const { return size_; }

    std::size_t read(std::uint64_t position, std::uint8_t* out, std::size_t length) const {
        std::size_t done = 0;
        while (done < length) {
            const ssize_t n =
                ::pread(fd_, out + done, length - done, static_cast<off_t>(position + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;  // the file ended or became unreadable: the rest reads short
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

private:
    int fd_;
    std::uint64_t size_;
};

MenuResource::MenuResource(Bytes bytes) : bytes_(std::make_shared<const Bytes>(std::move(bytes))) {}

MenuResource MenuResource::openFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw FileError("Cannot open file \"" + path + "\". " + std::strerror(errno), path);
    }
    struct stat st {};
    int error = 0;
    if (::fstat(fd, &st) != 0) {
        error = errno;
    } else if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    }
    if (error != 0) {
        ::close(fd);
        throw FileError("Cannot open file \"" + path + "\". " + std::strerror(error), path);
    }
    MenuResource resource;
    resource.file_ = std::make_shared<const File>(fd, static_cast<std::uint64_t>(st.st_size));
    return resource;
}

std::uint64_t MenuResource::size() const {
    if (bytes_) return bytes_->size();
    return file_ ? file_->size() : 0;
}

std::size_t MenuResource::read(std::uint64_t position, std::uint8_t* out,
                               std::size_t length) const {
    if (position >= size()) return 0;
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(length, size() - position));
    if (count == 0) return 0;
    if (bytes_) {
        std::memcpy(out, bytes_->data() + position, count);
        return count;
    }
    return file_->read(position, out, count);
}

Bytes MenuResource::read(std::uint64_t position, std::size_t length) const {
    const std::uint64_t available = position < size() ? size() - position : 0;
    Bytes out(static_cast<std::size_t>(std::min<std::uint64_t>(length, available)));
    out.resize(read(position, out.data(), out.size()));
    return out;
}

}  // namespace lumora
