// PlayListMarks: insert, delete and the time fields, and chapter files in
// three formats (PTS ticks, frame numbers, clock times) counted on the
// playlist's time line across all PlayItems.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/report.h"
#include "playlist/playlist_file.h"

namespace lumora {

inline constexpr std::size_t kMaxMarks = 999;

// Inserts an entry-mark (PlayItem 0, time 0, no entry PID) at `at`; false at
// the 999-mark limit.
bool insertMark(TMPLS& playlist, std::size_t at);
// Deletes marks first..last; returns how many went.
std::size_t deleteMarks(TMPLS& playlist, std::size_t first, std::size_t last);

// A mark grid row: number, "type", "PI", "mark time", "entry PID", "duration".
std::array<std::string, 6> markRowCells(std::size_t index, const TMark& mark);

// The mark time fields: hours (not reduced), minutes, seconds, milliseconds.
struct MarkTimeFields {
    std::int64_t hours = 0, minutes = 0, seconds = 0, milliseconds = 0;
};
MarkTimeFields markTimeFields(std::uint32_t time);
// The clamps of the fields: hours 0..25, minutes and seconds 0..59,
// milliseconds not negative.
MarkTimeFields clampMarkTimeFields(MarkTimeFields fields);
std::uint32_t markTimeFromFields(const MarkTimeFields& fields);

// Where PlayItem k starts on the playlist's time line (the sum of OUT - IN of
// the PlayItems before it).
std::uint64_t playItemStart(const TMPLS& playlist, std::size_t k);

enum class ChapterFormat { Pts = 0, Frame = 1, Time = 2 };

// "chapter_" + entry + "_PTS.txt" / "_frame.txt" / "_time.txt".
std::string chapterFileName(std::string_view entry, ChapterFormat format);

// The frame rate of the first video stream of the first PlayItem as a
// fraction; nothing when there is none or its code has no rate.
struct FrameRateFraction {
    std::uint64_t num = 1, den = 1;
};
std::optional<FrameRateFraction> chapterFrameRate(const TMPLS& playlist);

// Frame numbers are true frame counts at the stream's rate, rounded to the
// nearest frame; both directions use the same fraction, so a mark on a frame
// boundary comes back to the same tick.
std::uint64_t ticksToFrames(std::uint64_t ticks, FrameRateFraction rate);
std::uint64_t framesToTicks(std::uint64_t frames, FrameRateFraction rate);

struct ChapterResult {
    bool ok = true;
    std::string text;   // export: the file's text, CR LF after every line
    std::string error;  // why nothing was done
};

// The chapter file of the playlist's marks.
ChapterResult exportChapters(const TMPLS& playlist, ChapterFormat format);
// Replaces the marks by the file's chapters, keeping the lengths right; the
// walk over the PlayItems is logged.  Chapters past the end of the last
// PlayItem are left out (with a log line).  A line that does not read in the
// format refuses the whole file and leaves the marks as they were.
ChapterResult importChapters(TMPLS& playlist, std::string_view text, ChapterFormat format,
                             Reporter& reporter);

}  // namespace lumora
