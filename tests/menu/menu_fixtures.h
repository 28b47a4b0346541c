// Menus for the tests: hand-made segments and a small complete menu model.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/bytes.h"
#include "menu/menu_model.h"

namespace lumora::test {

// One segment of a menu file: "IG", PTS, DTS, type, length, payload.
Bytes segment(std::uint8_t type, ByteView payload, std::uint32_t pts = 180000,
              std::uint32_t dts = 0);
Bytes concat(std::initializer_list<Bytes> parts);

// An ICS payload: composition header (first fragment, stream_model 1 unless
// `timeOuts`) and the page data.
Bytes icsPayload(std::uint8_t pages, ByteView pageData, bool timeOuts = false,
                 std::uint8_t flags = 0xC0);
// An ICS continuation fragment's payload.
Bytes icsContinuation(ByteView pageData, std::uint8_t flags);
// An ODS payload; first fragments carry the data length, width and height.
Bytes odsPayload(std::uint16_t id, std::uint8_t flags, ByteView rle, std::uint16_t width = 0,
                 std::uint16_t height = 0, std::uint32_t dataLength = 0);
// A PDS payload with entries {id, Y, Cr, Cb, T}.
Bytes pdsPayload(std::uint8_t id, const std::vector<std::array<std::uint8_t, 5>>& entries);

// A page with one BOG of the given buttons (default valid = the first).
TPage simplePage(std::uint8_t id, std::vector<TIGbutton> buttons);

// A bitmap whose RLE code is exactly `length` bytes long (53 lines of
// alternating literal colours, made one byte longer per isolated 0 pixel).
TIGobject objectOfEncodedLength(std::uint16_t id, std::size_t length);
// A palette whose entries 1..count are opaque grey levels.
TIGpalette greyPalette(std::uint16_t id, int count);

// A menu of two pages with animated buttons, in- and out-effects (one object
// cropped), three palettes and objects 0..7; the button table is built.
TIGMenu sampleMenu();
// Rebuilds every page's button table from its BOGs.
void rebuildButtonTables(TIGMenu& menu);

}  // namespace lumora::test
