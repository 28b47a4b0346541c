#include "stream/stream_menu.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "menu/menu_reader.h"
#include "stream/source_packet.h"

namespace lumora {

std::string streamMenuTempPath() {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) folder = "/tmp";
    return (folder / "Lumora_MENU.tmp").string();
}

bool hasStreamExtension(std::string_view path) {
    const auto dot = path.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view extension = path.substr(dot);
    return extension == ".m2ts" || extension == ".M2TS" || extension == ".MTS" ||
           extension == ".mts";
}

bool startsWithSourcePackets(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::uint8_t head[kSourcePacketSize + kExtraHeaderSize + 1] = {};
    std::size_t have = 0;
    while (have < sizeof head) {
        const ssize_t n = ::read(fd, head + have, sizeof head - have);
        if (n <= 0) break;
        have += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (have < kSourcePacketSize) return false;
    const bool first = head[kExtraHeaderSize] == kSyncByte;
    const bool second = have <= kSourcePacketSize + kExtraHeaderSize ||
                        head[kSourcePacketSize + kExtraHeaderSize] == kSyncByte;
    return first && second;
}

DemuxResult extractMenuFile(const std::string& streamPath, std::uint16_t pid, Reporter& reporter,
                            const std::string& menuPath) {
    return Demux(streamPath, menuPath, pid, DemuxMode::Menu, reporter);
}

StreamMenuResult loadMenuFromStream(const std::string& streamPath, std::uint16_t pid, TIGMenu& menu,
                                    Reporter& reporter, const std::string& menuPath) {
    StreamMenuResult result;
    result.demux = extractMenuFile(streamPath, pid, reporter, menuPath);
    if (result.demux.cancelled) return result;
    result.outcome = loadMNU(menuPath, menu, reporter);
    return result;
}

}  // namespace lumora
