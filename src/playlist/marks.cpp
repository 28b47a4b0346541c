#include "playlist/marks.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "core/text.h"
#include "playlist/stream_coding.h"

namespace lumora {
namespace {

constexpr std::uint32_t kMarkSize = 14;
constexpr std::uint64_t kTicksPerSecond = 45000;

void marksResized(TMPLS& playlist, std::int64_t delta) {
    playlist.marks.length = static_cast<std::uint32_t>(playlist.marks.length + delta);
    if (playlist.extensionDataStart != 0) {
        playlist.extensionDataStart =
            static_cast<std::uint32_t>(playlist.extensionDataStart + delta);
    }
}

std::vector<std::string_view> chapterLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::optional<std::uint64_t> number(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

// Playlist time of a chapter line.
std::optional<std::uint64_t> lineTime(std::string_view line, ChapterFormat format,
                                      const std::optional<FrameRateFraction>& rate) {
    switch (format) {
        case ChapterFormat::Pts:
            return number(line);
        case ChapterFormat::Frame:
            if (const auto frames = number(line); frames && rate)
                return framesToTicks(*frames, *rate);
            return std::nullopt;
        case ChapterFormat::Time:
            if (const auto ticks = timeTextTo90k(line)) return *ticks / 2;
            return std::nullopt;
    }
    return std::nullopt;
}

std::string lineOf(std::uint64_t t, ChapterFormat format,
                   const std::optional<FrameRateFraction>& rate) {
    switch (format) {
        case ChapterFormat::Pts:
            return std::to_string(t);
        case ChapterFormat::Frame:
            return std::to_string(ticksToFrames(t, *rate));
        case ChapterFormat::Time:
            return timeText45(t);
    }
    return {};
}

}  // namespace

bool insertMark(TMPLS& playlist, std::size_t at) {
    auto& marks = playlist.marks.marks;
    if (marks.size() >= kMaxMarks) return false;
    marks.insert(marks.begin() + static_cast<std::ptrdiff_t>(std::min(at, marks.size())), TMark{});
    marksResized(playlist, kMarkSize);
    return true;
}

std::size_t deleteMarks(TMPLS& playlist, std::size_t first, std::size_t last) {
    auto& marks = playlist.marks.marks;
    if (first > last || first >= marks.size()) return 0;
    last = std::min(last, marks.size() - 1);
    const std::size_t removed = last - first + 1;
    marks.erase(marks.begin() + static_cast<std::ptrdiff_t>(first),
                marks.begin() + static_cast<std::ptrdiff_t>(last + 1));
    marksResized(playlist, -static_cast<std::int64_t>(kMarkSize * removed));
    return removed;
}

std::array<std::string, 6> markRowCells(std::size_t index, const TMark& mark) {
    return {zeroPad(static_cast<std::int64_t>(index), 3),
            markTypeText(mark.type),
            zeroPad(mark.playItemId, 3),
            timeText45(mark.time),
            hexText(mark.entryPid, 4),
            std::to_string(mark.duration)};
}

MarkTimeFields markTimeFields(std::uint32_t time) {
    const std::int64_t total = time / 45;
    MarkTimeFields f;
    f.milliseconds = total % 1000;
    const std::int64_t seconds = total / 1000;
    f.seconds = seconds % 60;
    f.minutes = seconds / 60 % 60;
    f.hours = seconds / 3600;
    return f;
}

MarkTimeFields clampMarkTimeFields(MarkTimeFields f) {
    f.hours = std::clamp<std::int64_t>(f.hours, 0, 25);
    f.minutes = std::clamp<std::int64_t>(f.minutes, 0, 59);
    f.seconds = std::clamp<std::int64_t>(f.seconds, 0, 59);
    f.milliseconds = std::max<std::int64_t>(f.milliseconds, 0);
    return f;
}

std::uint32_t markTimeFromFields(const MarkTimeFields& fields) {
    const MarkTimeFields f = clampMarkTimeFields(fields);
    const auto ticks = static_cast<std::uint64_t>(f.hours * 162000000 + f.minutes * 2700000 +
                                                  f.seconds * 45000 + f.milliseconds * 45);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(ticks, 0xFFFFFFFFu));
}

std::uint64_t playItemStart(const TMPLS& playlist, std::size_t k) {
    std::uint64_t start = 0;
    const auto& items = playlist.playList.playItems;
    for (std::size_t i = 0; i < k && i < items.size(); ++i) {
        // A PlayItem whose OUT lies before its IN adds nothing.
        if (items[i].outTime > items[i].inTime) start += items[i].outTime - items[i].inTime;
    }
    return start;
}

std::string chapterFileName(std::string_view entry, ChapterFormat format) {
    static constexpr const char* kSuffix[] = {"_PTS.txt", "_frame.txt", "_time.txt"};
    return "chapter_" + std::string(entry) + kSuffix[static_cast<int>(format)];
}

std::optional<FrameRateFraction> chapterFrameRate(const TMPLS& playlist) {
    const auto& items = playlist.playList.playItems;
    if (items.empty() || items[0].stn.video.empty()) return std::nullopt;
    switch (items[0].stn.video[0].frameRate) {
        case 1:
            return FrameRateFraction{24000, 1001};
        case 2:
            return FrameRateFraction{24000, 1000};
        case 3:
            return FrameRateFraction{25000, 1000};
        case 4:
            return FrameRateFraction{30000, 1001};
        case 6:
            return FrameRateFraction{50000, 1000};
        case 7:
            return FrameRateFraction{60000, 1001};
        default:
            return std::nullopt;
    }
}

std::uint64_t ticksToFrames(std::uint64_t ticks, FrameRateFraction rate) {
    const std::uint64_t scale = kTicksPerSecond * rate.den;
    return (ticks * rate.num + scale / 2) / scale;
}

std::uint64_t framesToTicks(std::uint64_t frames, FrameRateFraction rate) {
    return (frames * kTicksPerSecond * rate.den + rate.num / 2) / rate.num;
}

ChapterResult exportChapters(const TMPLS& playlist, ChapterFormat format) {
    ChapterResult result;
    const auto rate = chapterFrameRate(playlist);
    if (format == ChapterFormat::Frame && !rate) {
        return {false, {}, "The first PlayItem has no video stream with a known frame rate."};
    }
    const auto& items = playlist.playList.playItems;
    for (const TMark& mark : playlist.marks.marks) {
        const std::size_t k = mark.playItemId;
        const std::uint64_t in = k < items.size() ? items[k].inTime : 0;
        const std::uint64_t start = playItemStart(playlist, k);
        const std::uint64_t t = mark.time >= in ? start + mark.time - in : start;
        result.text += lineOf(t, format, rate) + "\r\n";
    }
    return result;
}

ChapterResult importChapters(TMPLS& playlist, std::string_view text, ChapterFormat format,
                             Reporter& reporter) {
    const auto lines = chapterLines(text);
    if (lines.empty()) return {};
    const auto rate = chapterFrameRate(playlist);
    if (format == ChapterFormat::Frame && !rate) {
        return {false, {}, "The first PlayItem has no video stream with a known frame rate."};
    }
    std::vector<std::uint64_t> times;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto t = lineTime(lines[i], format, rate);
        if (!t)
            return {
                false,
                {},
                "Line " + std::to_string(i + 1) + " is not a chapter: " + std::string(lines[i])};
        times.push_back(*t);
    }
    const auto& items = playlist.playList.playItems;
    if (items.empty()) return {false, {}, "The playlist has no PlayItem."};

    std::vector<TMark> marks;
    for (const std::uint64_t t : times) {
        // The PlayItem k with B(k) <= t < B(k + 1); for clock times the
        // boundaries are taken at whole milliseconds, as the text holds them.
        std::size_t k = 0;
        std::uint64_t sum = 0;
        const auto boundary = [format](std::uint64_t s) {
            return format == ChapterFormat::Time ? s - s % 45 : s;
        };
        while (k < items.size()) {
            const std::uint64_t next =
                sum + (items[k].outTime > items[k].inTime ? items[k].outTime - items[k].inTime : 0);
            reporter.log(std::to_string(k) + ": " + timeText45(t) + " " + timeText45(next) + "   " +
                         hexText(t, 8) + " " + hexText(next, 8));
            if (t < boundary(next)) break;
            sum = next;
            ++k;
        }
        if (k == items.size()) {
            reporter.log("  " + timeText45(t) + " lies beyond the last PlayItem: left out");
            continue;
        }
        reporter.log(std::to_string(k) + ", " + timeText45(sum));
        TMark mark;
        mark.playItemId = static_cast<std::uint16_t>(k);
        mark.time = static_cast<std::uint32_t>(
            std::max<std::uint64_t>(items[k].inTime + t - sum, items[k].inTime));
        marks.push_back(mark);
        if (marks.size() == kMaxMarks) break;
    }
    const auto oldCount = static_cast<std::int64_t>(playlist.marks.marks.size());
    if (playlist.extensionDataStart != 0) {
        playlist.extensionDataStart = static_cast<std::uint32_t>(
            playlist.extensionDataStart +
            kMarkSize * (static_cast<std::int64_t>(marks.size()) - oldCount));
    }
    playlist.marks.marks = std::move(marks);
    playlist.marks.length = static_cast<std::uint32_t>(kMarkSize * playlist.marks.marks.size() + 2 +
                                                       playlist.marks.tail.size());
    return {};
}

}  // namespace lumora
