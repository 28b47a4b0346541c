// The run-length code of IG objects, the palette colour conversions and the
// RGBA pictures of objects.
//
// Code (whole bytes): C (C != 0) one pixel of colour C; 00 0L L pixels of
// colour 0 (L 1..63); 00 4L LL the same for L 64..16383; 00 8L CC and 00 CL LL
// CC runs of colour C; 00 00 end of line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/bytes.h"
#include "core/report.h"
#include "menu/menu_model.h"

namespace lumora {

// Called for every line inside the bitmap that ended before its last pixel:
// the pixels written and the line number.
using ShortLineNotice = std::function<void(std::uint32_t x, std::uint32_t line)>;

// Decodes RLE data into `bitmap` (width x height bytes, zero on entry).
// Bytes past the end of the data read as 0; a run of length 0 fills the rest
// of its line and ends it; a run reaching past the line's end is cut there and
// ends the line; single pixels past the end of a line are dropped; lines below
// the bitmap are not written.  Never writes outside the bitmap.
void decodeRle(ByteView rle, std::uint32_t width, std::uint32_t height, std::uint8_t* bitmap,
               const ShortLineNotice& notice = {});
// Encodes a width x height index bitmap (rows top to bottom).  Colour 0 always
// takes the escape, other colours take literal bytes for runs of 1 and 2.
// Runs longer than 16383 pixels are split, since the code cannot hold their
// length.  A bitmap without pixels gives no bytes.
Bytes encodeRle(const std::uint8_t* bitmap, std::uint32_t width, std::uint32_t height);

// Y, Cr, Cb to R + G x 256 + B x 65536 (integer conversion, each channel
// clamped to 0..255).
std::uint32_t ycrcbToRgb(std::uint8_t y, std::uint8_t cr, std::uint8_t cb);
TYCrCb rgbToYcrcb(std::uint8_t r, std::uint8_t g, std::uint8_t b);
// The RGBA entry of a palette colour: RGB from Y, Cr, Cb and A = T.
TRGBA paletteColour(TYCrCb colour, std::uint8_t t);

// The object's RLE data, gathered from its fragments in the menu resource
// (never more than its data length; missing bytes stay 0).
Bytes objectRleData(const TIGMenu& menu, std::size_t object);
// (Re)creates the object's index bitmap from its RLE data, fragment by
// fragment as they lie in the menu resource.  Short lines are logged
// ("700,12") when a reporter is given.  An object that cannot be decoded
// (TIGobject::problem, or larger than 4096 x 4096) or a slot beyond the table
// gets no bitmap.
void rle_decode(TIGMenu& menu, std::size_t object, Reporter* reporter = nullptr);
// The RLE bytes of the object's index bitmap (decoded first when absent).
// Objects without a bitmap that cannot be decoded give the RLE bytes they
// were read with.
Bytes rle_encode(TIGMenu& menu, std::size_t object, Reporter* reporter = nullptr);

// The RGBA picture of an object under a palette, from the object's cache when
// present.  Objects that are empty, missing or undecodable give an empty
// picture.  With a reporter, "Decoding RLE pixel data and build bitmaps..."
// shows while a picture is made (unless progress mode is on).
std::shared_ptr<const Picture> Obj2Pic(TIGMenu& menu, std::size_t object, std::size_t palette,
                                       Reporter* reporter = nullptr);
// The part of the picture from (left, top) inclusive to (right, bottom)
// exclusive.  The part of that rectangle outside the object is cut off, so
// the result is never larger than the object and is drawn at the same place.
Picture Obj2PicCr(TIGMenu& menu, std::size_t object, std::size_t palette, std::uint32_t left,
                  std::uint32_t top, std::uint32_t right, std::uint32_t bottom,
                  Reporter* reporter = nullptr);
// The picture of an index bitmap under 256 colours.
Picture makePicture(const Bytes& bitmap, std::uint32_t width, std::uint32_t height,
                    const TRGBApalettes& colours);

}  // namespace lumora
