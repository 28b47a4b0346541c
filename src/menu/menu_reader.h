// Reading a menu file (.mnu): the IG segments of one display set, each behind
// a 10-byte header "IG" + PTS + DTS, into the menu model.
//
// Segments: 0x14 palette (PDS), 0x15 object (ODS), 0x18 interactive
// composition (ICS), 0x80 end of display set (END).  ICS and ODS payloads may
// be split over several segments (first_in_sequence / last_in_sequence).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/report.h"
#include "menu/menu_model.h"
#include "navigation/read_outcome.h"

namespace lumora {

inline constexpr std::uint8_t kSegmentPDS = 0x14;
inline constexpr std::uint8_t kSegmentODS = 0x15;
inline constexpr std::uint8_t kSegmentICS = 0x18;
inline constexpr std::uint8_t kSegmentEND = 0x80;
inline constexpr std::size_t kSegmentHeaderSize = 10;  // "IG", PTS, DTS

// Reads a menu file's bytes into `menu`, which is replaced completely.
// Reports through the log: errors name the file, the field and the byte
// offset; the last line reads "1 ICS, N OCS, M PCS found." (object-table and
// palette-table lengths).  Progress runs from 80 to 100 over the pages.
//
// Outcome: Good; BadFormat when the file holds no interactive composition (the
// menu is left empty: a .sup subtitle file, for instance); Truncated when the
// file is cut or damaged somewhere (every error is logged; what could be read
// is kept).  A cancel request that is pending after the segments were read
// leaves the menu empty.
ReadOutcome parseMenu(ByteView data, std::string_view name, TIGMenu& menu, Reporter& reporter);
// The same, taking the bytes over as the menu resource (no copy).
ReadOutcome parseMenu(Bytes&& data, std::string_view name, TIGMenu& menu, Reporter& reporter);
// parseMenu of a file.  Throws FileError when it cannot be read.
ReadOutcome loadMNU(const std::string& path, TIGMenu& menu, Reporter& reporter);

// Parses `numberOfPages` pages from the ICS fragments' page data (held in
// menu.resource, concatenated in fragment order) into menu.ics.pages and
// menu.pageButtons.  `fragmentFileOffsets` (the file offset of each
// fragment's page data) lets errors name file offsets; without it they name
// offsets into the page data.  Only pages read completely are kept.
ReadOutcome getIGS(TIGMenu& menu, std::size_t numberOfPages, std::string_view name,
                   Reporter& reporter, const std::vector<std::size_t>& fragmentFileOffsets = {});

}  // namespace lumora
