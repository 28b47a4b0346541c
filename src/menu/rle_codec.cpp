#include "menu/rle_codec.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace lumora {
namespace {

constexpr std::uint32_t kMaxRun = 16383;  // 14 bits of run length

// Decoder state over one bitmap.  Pixel writes are clipped to the current
// line and nothing is written below the last line, so hostile data can only
// waste time, never memory.
class RleDecoder {
public:
    RleDecoder(std::uint32_t width, std::uint32_t height, std::uint8_t* bitmap,
               const ShortLineNotice& notice)
        : width_(width), height_(height), bitmap_(bitmap), notice_(notice) {
        row_ = height_ > 0 ? bitmap_ : nullptr;
    }

    // Decodes the codes of `rle`; returns the bytes taken.  Unless `last`,
    // an escape code that the data cuts off is left for the caller to
    // complete with the next fragment's bytes; in the last data, bytes past
    // the end read as 0.
    std::size_t run(ByteView rle, bool last) {
        const std::uint8_t* data = rle.data();
        const std::size_t size = rle.size();
        std::size_t i = 0;
        while (i < size) {
            const std::uint8_t first = data[i];
            if (first != 0) {
                // A lone literal between escapes is the commonest code of
                // anti-aliased edges; it skips the stretch search.
                if (i + 1 < size && data[i + 1] == 0) {
                    pixel(first);
                    ++i;
                } else {
                    i += literals(data + i, size - i);
                }
                continue;
            }
            std::uint32_t code[3];
            if (i + 4 <= size) {
                // A short transparent run inside the line needs no writing:
                // the bitmap is 0 already.
                const std::uint32_t second = data[i + 1];
                if (second != 0 && second < 0x40 && x_ + second <= width_) {
                    x_ += second;
                    i += 2;
                    continue;
                }
                code[0] = second;
                code[1] = data[i + 2];
                code[2] = data[i + 3];
            } else {
                for (std::size_t k = 0; k < 3; ++k)
                    code[k] = i + 1 + k < size ? data[i + 1 + k] : 0;
                if (!last && (i + 1 >= size || i + escapeLength(code[0]) > size)) return i;
            }
            i += escape(code);
        }
        return size;
    }

private:
    // A stretch of literal pixels (non-zero bytes) maps byte for byte onto
    // the line; returns the bytes taken.
    std::size_t literals(const std::uint8_t* p, std::size_t left) {
        std::size_t count = 1;
        if (left > 1 && p[1] != 0) {
            const void* zero = std::memchr(p + 1, 0, left - 1);
            count =
                zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - p) : left;
        }
        if (row_ != nullptr && x_ < width_) {
            const std::size_t fits = std::min<std::size_t>(count, width_ - x_);
            std::memcpy(row_ + x_, p, fits);
        }
        x_ += count;
        return count;
    }

    // Bytes of the escape code whose second byte is `code`.
    static std::size_t escapeLength(std::uint32_t code) {
        const std::uint32_t form = code >> 6;
        return form == 0 ? 2 : form == 3 ? 4 : 3;
    }

    // Decodes the escape code after a 00 byte; returns the bytes it took.
    std::size_t escape(const std::uint32_t* code) {
        switch (code[0] >> 6) {
            case 0:
                if (code[0] == 0) {
                    endOfLine();
                } else {
                    fill(code[0], 0);
                }
                return 2;
            case 1:
                fill(((code[0] & 0x3F) << 8) | code[1], 0);
                return 3;
            case 2:
                fill(code[0] & 0x3F, static_cast<std::uint8_t>(code[1]));
                return 3;
            default:
                fill(((code[0] & 0x3F) << 8) | code[1], static_cast<std::uint8_t>(code[2]));
                return 4;
        }
    }

    void pixel(std::uint8_t colour) {
        if (row_ != nullptr && x_ < width_) row_[x_] = colour;
        ++x_;
    }

    void fill(std::uint32_t length, std::uint8_t colour) {
        const std::size_t room = x_ < width_ ? width_ - x_ : 0;
        const bool endsLine = length == 0 || length > room;
        const std::size_t count = endsLine ? room : length;
        // The bitmap starts all 0, so runs of colour 0 need no writing.
        if (row_ != nullptr && colour != 0 && count > 0) std::memset(row_ + x_, colour, count);
        if (endsLine) {
            nextLine();
        } else {
            x_ += count;
        }
    }

    void endOfLine() {
        if (row_ != nullptr && x_ < width_ && notice_)
            notice_(static_cast<std::uint32_t>(x_), line_);
        nextLine();
    }

    void nextLine() {
        x_ = 0;
        if (line_ < height_) ++line_;
        row_ = line_ < height_ ? bitmap_ + static_cast<std::size_t>(line_) * width_ : nullptr;
    }

    std::uint32_t width_;
    std::uint32_t height_;
    std::uint8_t* bitmap_;
    const ShortLineNotice& notice_;
    std::uint8_t* row_ = nullptr;
    std::size_t x_ = 0;
    std::uint32_t line_ = 0;
};

void appendRun(Bytes& out, std::uint8_t colour, std::uint32_t length) {
    if (colour != 0 && length <= 2) {
        out.insert(out.end(), length, colour);
        return;
    }
    const bool longRun = length > 63;
    out.push_back(0);
    const std::uint32_t head = (colour != 0 ? 0x80u : 0u) | (longRun ? 0x40u : 0u);
    if (longRun) {
        out.push_back(static_cast<std::uint8_t>(head | (length >> 8)));
        out.push_back(static_cast<std::uint8_t>(length & 0xFF));
    } else {
        out.push_back(static_cast<std::uint8_t>(head | length));
    }
    if (colour != 0) out.push_back(colour);
}

// Whether the object's RLE data may be decoded: a size from the stream is
// only trusted up to the largest menu plane.
bool decodable(const TIGobject& o) {
    return o.problem.empty() && o.width <= kIgMaxObjectSide && o.height <= kIgMaxObjectSide;
}

// The object's bitmap when it has one of its size.
const Bytes* bitmapOf(const TIGobject& o) {
    const bool fits = o.bitmap && o.bitmap->size() == static_cast<std::size_t>(o.width) * o.height;
    return fits ? &*o.bitmap : nullptr;
}

// The object's RLE data fragment by fragment: never beyond the resource,
// never more than the data length.  Data held in memory is taken where it
// lies; data in a file is read into `buffer`.
std::vector<ByteView> rleParts(const TIGMenu& menu, const TIGobject& object, Bytes& buffer) {
    struct Piece {
        std::uint64_t position;
        std::size_t length;
    };
    std::vector<Piece> pieces;
    std::size_t left = object.dataLength;
    const std::uint64_t size = menu.resource.size();
    for (const TFragment& fragment : object.fragments) {
        if (left == 0) break;
        if (fragment.position >= size) continue;
        const std::size_t length = static_cast<std::size_t>(
            std::min<std::uint64_t>({fragment.length, size - fragment.position, left}));
        pieces.push_back({fragment.position, length});
        left -= length;
    }
    std::vector<ByteView> parts;
    if (const Bytes* memory = menu.resource.memory()) {
        for (const Piece& piece : pieces)
            parts.push_back(ByteView(*memory).subspan(piece.position, piece.length));
        return parts;
    }
    std::size_t total = 0;
    for (const Piece& piece : pieces)
        total += piece.length;
    buffer.resize(total);
    std::size_t done = 0;
    for (const Piece& piece : pieces)
        done += menu.resource.read(piece.position, buffer.data() + done, piece.length);
    buffer.resize(done);  // a file that shrank since loading reads short
    if (done > 0) parts.push_back(buffer);
    return parts;
}

// Decodes the parts in place, without joining them: a code cut by a fragment
// boundary is completed in a small buffer with the next part's first bytes.
void decodeParts(const std::vector<ByteView>& parts, RleDecoder& decoder) {
    std::array<std::uint8_t, 8> joint{};
    std::size_t pending = 0;  // carried bytes of a cut code, at most 3
    for (std::size_t k = 0; k < parts.size(); ++k) {
        ByteView part = parts[k];
        const bool last = k + 1 == parts.size();
        if (pending > 0) {
            const std::size_t added = std::min<std::size_t>(3, part.size());
            std::copy_n(part.begin(), added, joint.begin() + static_cast<std::ptrdiff_t>(pending));
            const std::size_t joined = pending + added;
            const std::size_t used =
                decoder.run(ByteView(joint).first(joined), last && added == part.size());
            if (used < pending) {  // still cut: this part was shorter than the code
                pending = joined;
                continue;
            }
            part = part.subspan(used - pending);
            pending = 0;
        }
        const std::size_t used = decoder.run(part, last);
        pending = part.size() - used;
        std::copy_n(part.begin() + static_cast<std::ptrdiff_t>(used), pending, joint.begin());
    }
    if (pending > 0) decoder.run(ByteView(joint).first(pending), true);
}

}  // namespace

void decodeRle(ByteView rle, std::uint32_t width, std::uint32_t height, std::uint8_t* bitmap,
               const ShortLineNotice& notice) {
    RleDecoder(width, height, bitmap, notice).run(rle, true);
}

Bytes encodeRle(const std::uint8_t* bitmap, std::uint32_t width, std::uint32_t height) {
    Bytes out;
    if (width == 0 || height == 0) return out;
    // Roughly what menu graphics compress to; the vector grows when not.
    out.reserve(static_cast<std::size_t>(width) * height / 4 + 2u * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = bitmap + static_cast<std::size_t>(y) * width;
        std::uint32_t x = 0;
        while (x < width) {
            const std::uint8_t colour = row[x];
            std::uint32_t end = x + 1;
            while (end < width && row[end] == colour)
                ++end;
            for (std::uint32_t left = end - x; left > 0;) {
                const std::uint32_t piece = std::min(left, kMaxRun);
                appendRun(out, colour, piece);
                left -= piece;
            }
            x = end;
        }
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

std::uint32_t ycrcbToRgb(std::uint8_t y, std::uint8_t cr, std::uint8_t cb) {
    const std::int32_t luma = (static_cast<std::int32_t>(y) - 16) * 1164;
    const std::int32_t r = static_cast<std::int32_t>(cr) - 128;
    const std::int32_t b = static_cast<std::int32_t>(cb) - 128;
    const auto channel = [](std::int32_t value) {
        return static_cast<std::uint32_t>(std::max(std::min(value, 255), 0));
    };
    const std::uint32_t red = channel((luma + 1596 * r + 500) / 1000);
    const std::uint32_t green = channel((luma - 813 * r - 391 * b + 500) / 1000);
    const std::uint32_t blue = channel((luma + 2018 * b + 500) / 1000);
    return red + green * 256 + blue * 65536;
}

TYCrCb rgbToYcrcb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const std::uint32_t y = (257u * r + 504u * g + 98u * b + 500u) / 1000u + 16u;
    const std::int32_t sr = r;
    const std::int32_t sg = g;
    const std::int32_t sb = b;
    const std::int32_t cr = (439 * sr - 368 * sg - 71 * sb + 500) / 1000 + 128;
    const std::int32_t cb = (-148 * sr - 291 * sg + 439 * sb + 500) / 1000 + 128;
    return {static_cast<std::uint8_t>(std::clamp<std::uint32_t>(y, 16, 235)),
            static_cast<std::uint8_t>(std::clamp(cr, 16, 240)),
            static_cast<std::uint8_t>(std::clamp(cb, 16, 240))};
}

TRGBA paletteColour(TYCrCb colour, std::uint8_t t) {
    const std::uint32_t rgb = ycrcbToRgb(colour.y, colour.cr, colour.cb);
    return {static_cast<std::uint8_t>(rgb), static_cast<std::uint8_t>(rgb >> 8),
            static_cast<std::uint8_t>(rgb >> 16), t};
}

Bytes objectRleData(const TIGMenu& menu, std::size_t object) {
    if (object >= menu.objects.size()) return {};
    Bytes buffer;
    Bytes data;
    for (const ByteView part : rleParts(menu, menu.objects[object], buffer))
        data.insert(data.end(), part.begin(), part.end());
    return data;
}

void rle_decode(TIGMenu& menu, std::size_t object, Reporter* reporter) {
    if (object >= menu.objects.size() || !decodable(menu.objects[object])) return;
    TIGobject& o = menu.objects[object];
    Bytes bitmap(static_cast<std::size_t>(o.width) * o.height, 0);
    ShortLineNotice notice;
    if (reporter != nullptr) {
        notice = [reporter](std::uint32_t x, std::uint32_t line) {
            reporter->log(std::to_string(x) + "," + std::to_string(line));
        };
    }
    RleDecoder decoder(o.width, o.height, bitmap.data(), notice);
    Bytes buffer;
    decodeParts(rleParts(menu, o, buffer), decoder);
    o.bitmap = std::move(bitmap);
}

Bytes rle_encode(TIGMenu& menu, std::size_t object, Reporter* reporter) {
    if (object >= menu.objects.size()) return {};
    TIGobject& o = menu.objects[object];
    if (!bitmapOf(o)) {
        if (!decodable(o)) return objectRleData(menu, object);
        rle_decode(menu, object, reporter);
    }
    return encodeRle(o.bitmap->data(), o.width, o.height);
}

Picture makePicture(const Bytes& bitmap, std::uint32_t width, std::uint32_t height,
                    const TRGBApalettes& colours) {
    Picture picture;
    const std::size_t count = static_cast<std::size_t>(width) * height;
    if (bitmap.size() != count || count == 0) return picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        picture.pixels[i] = colours[bitmap[i]];
    return picture;
}

std::shared_ptr<const Picture> Obj2Pic(TIGMenu& menu, std::size_t object, std::size_t palette,
                                       Reporter* reporter) {
    static const auto kEmpty = std::make_shared<const Picture>();
    if (object >= menu.objects.size() || palette > 0xFF) return kEmpty;
    TIGobject& o = menu.objects[object];
    if (!bitmapOf(o) && !decodable(o)) return kEmpty;
    auto& pictures = menu.objects[object].cache.pictures;
    if (palette < pictures.size() && pictures[palette]) return pictures[palette];

    const bool notice = reporter != nullptr && !reporter->inProgress();
    if (notice) {
        reporter->slog("Decoding RLE pixel data and build bitmaps...", 0);
        reporter->slog("", 1);
    }
    if (!bitmapOf(o)) rle_decode(menu, object, reporter);
    auto picture = std::make_shared<const Picture>(
        makePicture(*o.bitmap, o.width, o.height, id2pal(menu, palette)));
    if (pictures.size() <= palette) pictures.resize(palette + 1);
    pictures[palette] = picture;
    if (notice) reporter->slogR();
    return picture;
}

Picture Obj2PicCr(TIGMenu& menu, std::size_t object, std::size_t palette, std::uint32_t left,
                  std::uint32_t top, std::uint32_t right, std::uint32_t bottom,
                  Reporter* reporter) {
    const auto whole = Obj2Pic(menu, object, palette, reporter);
    right = std::min(right, whole->width);
    bottom = std::min(bottom, whole->height);
    Picture part;
    if (left >= right || top >= bottom) return part;
    part.width = right - left;
    part.height = bottom - top;
    part.pixels.resize(static_cast<std::size_t>(part.width) * part.height);
    for (std::uint32_t y = 0; y < part.height; ++y) {
        const auto* from =
            whole->pixels.data() + static_cast<std::size_t>(top + y) * whole->width + left;
        std::copy(from, from + part.width,
                  part.pixels.begin() + static_cast<std::ptrdiff_t>(y) * part.width);
    }
    return part;
}

}  // namespace lumora
