#include "cli/menu_source.h"

#include <unistd.h>

#include <atomic>
#include <cctype>
#include <filesystem>

#include "core/file_io.h"
#include "core/text.h"
#include "menu/menu_reader.h"
#include "stream/stream_menu.h"

namespace lumora::cli {
namespace {

// The menu file a stream's IG stream is saved to: in a folder of this process
// (command lines may run side by side with each other and with the GUI, which
// uses "Lumora_MENU.tmp"), named after the stream and the PID so the reader's
// messages say where the menu came from.
class TemporaryMenuFile {
public:
    TemporaryMenuFile(const std::string& streamPath, std::uint16_t pid) {
        static std::atomic<unsigned> counter{0};
        std::error_code error;
        std::filesystem::path folder = std::filesystem::temp_directory_path(error);
        if (error) folder = "/tmp";
        folder_ =
            folder / ("Lumora_cli_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::create_directory(folder_, error);
        if (error) {
            throw FileError("Cannot create folder \"" + folder_.string() + "\". " + error.message(),
                            folder_.string());
        }
        path_ = (folder_ / (std::filesystem::path(streamPath).stem().string() + "_PID" +
                            hexText(pid, 4) + ".mnu"))
                    .string();
    }
    // The menu keeps its file open as its resource; the names can go.
    ~TemporaryMenuFile() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    TemporaryMenuFile(const TemporaryMenuFile&) = delete;
    TemporaryMenuFile& operator=(const TemporaryMenuFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::filesystem::path folder_;
    std::string path_;
};

}  // namespace

std::optional<std::uint16_t> parsePidArgument(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty() || text.size() > 5) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        int digit = -1;
        if (std::isdigit(u)) digit = c - '0';
        if (base == 16 && std::isxdigit(u) && !std::isdigit(u)) digit = std::toupper(u) - 'A' + 10;
        if (digit < 0) return std::nullopt;
        value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
    }
    if (value > 0x1FFF) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::optional<std::uint32_t> parseHexArgument(std::string_view text, std::size_t digits) {
    if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
    if (text.starts_with('$')) text.remove_prefix(1);
    if (text.empty() || text.size() > digits) return std::nullopt;
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    return static_cast<std::uint32_t>(hexToNumber(text));
}

bool isStreamFileArgument(const std::string& path) {
    return hasStreamExtension(path) || startsWithSourcePackets(path);
}

ReadOutcome loadMenuArgument(const std::string& path, std::optional<std::uint16_t> pid,
                             TIGMenu& menu, Reporter& reporter) {
    if (!isStreamFileArgument(path)) return loadMNU(path, menu, reporter);
    const std::uint16_t streamPid = pid.value_or(kDefaultMenuPid);
    const TemporaryMenuFile menuFile(path, streamPid);
    const StreamMenuResult result =
        loadMenuFromStream(path, streamPid, menu, reporter, menuFile.path());
    return result.outcome;
}

}  // namespace lumora::cli
