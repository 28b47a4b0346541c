// Writing the menu as one display set of IG segments: the interactive
// composition (split into fragments when large), one palette segment per
// palette, the objects (split when large) in write order, and END.
//
// Two forms: the menu file (.mnu), each segment behind "IG" + PTS + DTS, and
// the PES form the multiplexer cuts into transport packets, each segment the
// payload of one PES packet of stream id 0xBD.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "core/report.h"
#include "menu/menu_model.h"

namespace lumora {

enum class IGSForm { MenuFile = 0, Pes = 1 };

// Largest segment payload: with the 3 type and length bytes and a PES header
// carrying PTS and DTS this makes the largest PES packet.
inline constexpr std::size_t kMaxSegmentLength = 65519;

// Ticks of 90 kHz that `bytes` of object data take to decode at 6,000,000
// bytes per second (d x 9 / 600, truncated).
std::uint32_t decodeTime(std::uint64_t bytes);

// The serialised page() of the composition.
Bytes pageBytes(const TPage& page);

// The order in which the objects are written: first those page 0 shows (its
// in-effects; the normal, then selected, then activated animations of the
// BOGs whose default valid button is a slot of its button table; then every
// state of its other BOGs), then every other object by id.  Slots that hold
// no object are left out.  Sets each object's writeOrder.
std::vector<std::uint16_t> objectWriteOrder(TIGMenu& menu);

// Why the menu cannot be written (a count or size that its stream field
// cannot hold), or nothing.
std::optional<std::string> menuWriteProblem(const TIGMenu& menu);

// Builds the display set.  Every object is re-encoded from its index bitmap
// (decoded first when absent; objects that could not be decoded keep the RLE
// bytes they were read with).  The model changes as a save changes it: write
// order, composition length, ICS and object fragment records, object data
// lengths, missing YCrCb values of palette entries; the menu resource then
// holds the page data and the written RLE data, where the new fragment records
// point.  Returns nothing (after an error report) when the menu cannot be
// written.
std::optional<Bytes> igsBytes(TIGMenu& menu, IGSForm form, Reporter& reporter);

// igsBytes written to `path` through a temporary file.  The menu file form
// logs "Saving IGS menu...".  Returns false when nothing was written; throws
// FileError when the file cannot be written.
bool saveIGS(TIGMenu& menu, IGSForm form, const std::string& path, Reporter& reporter);

}  // namespace lumora
