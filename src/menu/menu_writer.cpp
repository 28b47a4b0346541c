#include "menu/menu_writer.h"

#include <algorithm>

#include "core/file_io.h"
#include "core/text.h"
#include "menu/menu_reader.h"
#include "menu/rle_codec.h"

namespace lumora {
namespace {

constexpr std::size_t kIcsFirstHeader = 17;
constexpr std::size_t kIcsFirstHeaderTimeOuts = 27;
constexpr std::size_t kIcsContinuationHeader = 9;
constexpr std::size_t kOdsFirstHeader = 11;
constexpr std::size_t kOdsContinuationHeader = 4;
constexpr std::uint32_t kMax24 = 0xFFFFFF;
constexpr std::uint64_t kMax40 = 0xFFFFFFFFFFull;

constexpr std::uint8_t kPtsOnly = 0x2;    // '0010'
constexpr std::uint8_t kPtsOfPair = 0x3;  // '0011'
constexpr std::uint8_t kDtsOfPair = 0x1;  // '0001'

void add(Bytes& out, std::uint64_t value, int width) {
    appendBigEndian(out, value, width);
}

void addEffectSequence(Bytes& out, const Teffectseq& sequence) {
    add(out, sequence.windows.size(), 1);
    for (const TWindow& w : sequence.windows) {
        add(out, w.id, 1);
        add(out, w.x, 2);
        add(out, w.y, 2);
        add(out, w.width, 2);
        add(out, w.height, 2);
    }
    add(out, sequence.effects.size(), 1);
    for (const Teffect& effect : sequence.effects) {
        add(out, effect.duration, 3);
        add(out, effect.palette, 1);
        add(out, effect.objects.size(), 1);
        for (const TCompositionObject& o : effect.objects) {
            add(out, o.objectId, 2);
            add(out, o.windowId, 1);
            add(out, static_cast<std::uint32_t>(o.flags & 3) << 6, 1);
            add(out, o.x, 2);
            add(out, o.y, 2);
            if (!o.cropped()) continue;
            add(out, o.cropX, 2);
            add(out, o.cropY, 2);
            add(out, o.cropWidth, 2);
            add(out, o.cropHeight, 2);
        }
    }
}

void addButton(Bytes& out, const TIGbutton& b) {
    add(out, b.id, 2);
    add(out, b.numericSelectValue, 2);
    add(out, (b.autoAction & 1u) << 7, 1);
    add(out, b.x, 2);
    add(out, b.y, 2);
    add(out, b.upper, 2);
    add(out, b.lower, 2);
    add(out, b.left, 2);
    add(out, b.right, 2);
    add(out, b.normalStart, 2);
    add(out, b.normalEnd, 2);
    add(out, (b.normalRepeat & 1u) << 7, 1);
    add(out, b.selectedSound, 1);
    add(out, b.selectedStart, 2);
    add(out, b.selectedEnd, 2);
    add(out, (b.selectedRepeat & 1u) << 7, 1);
    add(out, b.activatedSound, 1);
    add(out, b.activatedStart, 2);
    add(out, b.activatedEnd, 2);
    add(out, b.commands.size(), 2);
    for (const TCommand& command : b.commands) {
        add(out, command.opcode, 4);
        add(out, command.destination, 4);
        add(out, command.source, 4);
    }
}

// The write order under construction.
class WriteOrder {
public:
    explicit WriteOrder(TIGMenu& menu) : menu_(menu) {
        for (TIGobject& o : menu_.objects)
            o.writeOrder = -1;
    }

    void assign(std::size_t id) {
        if (id >= menu_.objects.size()) return;
        TIGobject& o = menu_.objects[id];
        if (!o.filled || o.writeOrder >= 0) return;
        o.writeOrder = static_cast<std::int32_t>(order_.size());
        order_.push_back(static_cast<std::uint16_t>(id));
    }

    // Every object id from start to end; "none" and ids beyond the table are
    // skipped, so a range ending in 0xFFFF costs no more than the table.
    void assignRange(std::uint16_t start, std::uint16_t end) {
        if (start == kIgNone) return;
        for (std::size_t id = start; id <= end && id < menu_.objects.size(); ++id) {
            if (id != kIgNone) assign(id);
        }
    }

    std::vector<std::uint16_t> take() { return std::move(order_); }

private:
    TIGMenu& menu_;
    std::vector<std::uint16_t> order_;
};

void assignFirstPage(TIGMenu& menu, WriteOrder& order) {
    if (menu.ics.pages.empty()) return;
    const TPage& page = menu.ics.pages.front();
    for (const Teffect& effect : page.inEffects.effects) {
        for (const TCompositionObject& o : effect.objects)
            order.assign(o.objectId);
    }
    const std::size_t tableLength = menu.pageButtons.empty() ? 0 : menu.pageButtons.front().size();
    const auto shown = [tableLength](const TBOG& bog) {
        return bog.defaultValidButton < tableLength;
    };
    // What the page shows first decodes first: every shown button's normal
    // state, then the selected and activated states.
    for (const TBOG& bog : page.bogs) {
        if (!shown(bog)) continue;
        for (const TIGbutton& b : bog.buttons)
            order.assignRange(b.normalStart, b.normalEnd);
    }
    for (const TBOG& bog : page.bogs) {
        if (!shown(bog)) continue;
        for (const TIGbutton& b : bog.buttons)
            order.assignRange(b.selectedStart, b.selectedEnd);
    }
    for (const TBOG& bog : page.bogs) {
        if (!shown(bog)) continue;
        for (const TIGbutton& b : bog.buttons)
            order.assignRange(b.activatedStart, b.activatedEnd);
    }
    for (const TBOG& bog : page.bogs) {
        if (shown(bog)) continue;
        for (const TIGbutton& b : bog.buttons) {
            order.assignRange(b.normalStart, b.normalEnd);
            order.assignRange(b.selectedStart, b.selectedEnd);
            order.assignRange(b.activatedStart, b.activatedEnd);
        }
    }
}

void appendTimestamp(Bytes& out, std::uint8_t prefix, std::uint32_t value) {
    const std::uint64_t v = value;  // bit 32 stays zero
    out.push_back(static_cast<std::uint8_t>((prefix << 4) | (((v >> 30) & 7) << 1) | 1));
    add(out, (((v >> 15) & 0x7FFF) << 1) | 1, 2);
    add(out, ((v & 0x7FFF) << 1) | 1, 2);
}

// Appends segments in the chosen form.
class SegmentOutput {
public:
    explicit SegmentOutput(IGSForm form) : form_(form) {}

    void segment(std::uint8_t type, std::uint32_t pts, std::uint32_t dts, ByteView header,
                 ByteView body) {
        const std::size_t length = header.size() + body.size();
        if (form_ == IGSForm::MenuFile) {
            out_.push_back('I');
            out_.push_back('G');
            add(out_, pts, 4);
            add(out_, dts, 4);
        } else {
            const bool withDts = dts != 0;
            add(out_, 0x000001BD, 4);
            add(out_, length + 3 + (withDts ? 13 : 8), 2);
            out_.push_back(0x84);
            out_.push_back(withDts ? 0xC0 : 0x80);
            out_.push_back(withDts ? 10 : 5);
            appendTimestamp(out_, withDts ? kPtsOfPair : kPtsOnly, pts);
            if (withDts) appendTimestamp(out_, kDtsOfPair, dts);
        }
        out_.push_back(type);
        add(out_, length, 2);
        out_.insert(out_.end(), header.begin(), header.end());
        out_.insert(out_.end(), body.begin(), body.end());
    }

    void reserve(std::size_t bytes) { out_.reserve(bytes); }
    Bytes take() { return std::move(out_); }

private:
    IGSForm form_;
    Bytes out_;
};

std::uint8_t fragmentFlags(bool first, bool last) {
    return static_cast<std::uint8_t>((first ? kFirstInSequence : 0) | (last ? kLastInSequence : 0));
}

// Cuts `length` bytes into fragments: the first carries at most `firstRoom`,
// later ones at most `laterRoom`; always at least one fragment.
std::vector<TFragment> fragmentsOf(std::size_t length, std::size_t firstRoom,
                                   std::size_t laterRoom) {
    std::vector<TFragment> fragments;
    std::size_t done = 0;
    do {
        const std::size_t room = fragments.empty() ? firstRoom : laterRoom;
        TFragment fragment;
        fragment.position = done;
        fragment.length = static_cast<std::uint32_t>(std::min(length - done, room));
        done += fragment.length;
        fragments.push_back(fragment);
    } while (done < length);
    for (std::size_t i = 0; i < fragments.size(); ++i)
        fragments[i].flags = fragmentFlags(i == 0, i + 1 == fragments.size());
    return fragments;
}

void writeComposition(TIGMenu& menu, const Bytes& pageData, std::uint32_t pts, std::uint32_t dts,
                      SegmentOutput& out) {
    TIGSc& ics = menu.ics;
    const bool timeOuts = !ics.streamModel();
    const std::size_t firstHeader = timeOuts ? kIcsFirstHeaderTimeOuts : kIcsFirstHeader;
    ics.compositionLength = static_cast<std::uint32_t>(pageData.size() + (timeOuts ? 15 : 5));
    ics.fragments = fragmentsOf(pageData.size(), kMaxSegmentLength - firstHeader,
                                kMaxSegmentLength - kIcsContinuationHeader);
    for (const TFragment& fragment : ics.fragments) {
        Bytes header;
        add(header, ics.videoWidth, 2);
        add(header, ics.videoHeight, 2);
        add(header, static_cast<std::uint32_t>(ics.frameRateId & 0xF) << 4, 1);
        add(header, ics.compositionNumber, 2);
        add(header, static_cast<std::uint32_t>(ics.compositionState & 3) << 6, 1);
        add(header, static_cast<std::uint32_t>(fragment.flags) << 6, 1);
        if ((fragment.flags & kFirstInSequence) != 0) {
            add(header, ics.compositionLength, 3);
            add(header, static_cast<std::uint32_t>(ics.modelFlags & 3) << 6, 1);
            if (timeOuts) {
                add(header, ics.compositionTimeOut, 5);
                add(header, ics.selectionTimeOut, 5);
            }
            add(header, ics.userTimeOut, 3);
            add(header, ics.pages.size(), 1);
        }
        out.segment(kSegmentICS, pts, dts, header,
                    ByteView(pageData).subspan(fragment.position, fragment.length));
    }
}

void writePalettes(TIGMenu& menu, std::uint32_t pts, SegmentOutput& out) {
    for (std::size_t p = 0; p < menu.palettes.size(); ++p) {
        TIGpalette& palette = menu.palettes[p];
        Bytes body;
        add(body, p, 1);
        add(body, 0, 1);  // palette_version_number
        // Entry 255 is not written: players keep it transparent.
        for (std::size_t i = 0; i < 255; ++i) {
            const TRGBA& c = palette.rgba[i];
            if (c == TRGBA{}) continue;
            TYCrCb& colour = palette.ycrcb[i];
            if (colour.y == 0) colour = rgbToYcrcb(c.r, c.g, c.b);
            add(body, i, 1);
            add(body, colour.y, 1);
            add(body, colour.cr, 1);
            add(body, colour.cb, 1);
            add(body, c.a, 1);
        }
        out.segment(kSegmentPDS, pts, 0, {}, body);
    }
}

std::optional<std::string> sequenceProblem(const Teffectseq& sequence, const std::string& where) {
    if (sequence.windows.size() > kIgMaxWindows)
        return where + " has " + std::to_string(sequence.windows.size()) + " windows, more than 2";
    if (sequence.effects.size() > 0xFF)
        return where + " has " + std::to_string(sequence.effects.size()) +
               " effects, more than 255";
    for (const Teffect& effect : sequence.effects) {
        if (effect.objects.size() > 0xFF) return where + ": an effect has more than 255 objects";
        if (effect.duration > kMax24) return where + ": an effect lasts longer than 24 bits hold";
    }
    return std::nullopt;
}

std::optional<std::string> pageProblem(const TPage& page, std::size_t index) {
    const std::string where = "page " + std::to_string(index);
    if (auto problem = sequenceProblem(page.inEffects, where + " in_effects")) return problem;
    if (auto problem = sequenceProblem(page.outEffects, where + " out_effects")) return problem;
    if (page.bogs.size() > 0xFF) return where + " has more than 255 BOGs";
    for (const TBOG& bog : page.bogs) {
        if (bog.buttons.size() > 0xFF) return where + " has a BOG of more than 255 buttons";
        for (const TIGbutton& button : bog.buttons) {
            if (button.commands.size() > 0xFFFF)
                return where + ": button " + hexText(button.id, 4) +
                       " has more than 65535 commands";
        }
    }
    return std::nullopt;
}

// Encodes every object; objects decoded only for this stay undecoded, so a
// save of a large menu does not keep every bitmap in memory.
std::vector<Bytes> encodeObjects(TIGMenu& menu, WriteOrder& order, Reporter& reporter) {
    std::vector<Bytes> encoded(menu.objects.size());
    for (std::size_t id = 0; id < menu.objects.size(); ++id) {
        if (!menu.objects[id].filled) continue;
        order.assign(id);
        const bool hadBitmap = menu.objects[id].bitmap.has_value();
        encoded[id] = rle_encode(menu, id, &reporter);
        if (!hadBitmap) menu.objects[id].bitmap.reset();
    }
    return encoded;
}

}  // namespace

std::uint32_t decodeTime(std::uint64_t bytes) {
    return static_cast<std::uint32_t>(bytes * 9 / 600);
}

Bytes pageBytes(const TPage& page) {
    Bytes out;
    add(out, page.id, 1);
    add(out, page.version, 1);
    add(out, page.uoMask1, 4);
    add(out, page.uoMask2, 4);
    addEffectSequence(out, page.inEffects);
    addEffectSequence(out, page.outEffects);
    add(out, page.animationFrameRateCode, 1);
    add(out, page.defaultSelectedButton, 2);
    add(out, page.defaultActivatedButton, 2);
    add(out, page.palette, 1);
    add(out, page.bogs.size(), 1);
    for (const TBOG& bog : page.bogs) {
        add(out, bog.defaultValidButton, 2);
        add(out, bog.buttons.size(), 1);
        for (const TIGbutton& button : bog.buttons)
            addButton(out, button);
    }
    return out;
}

std::vector<std::uint16_t> objectWriteOrder(TIGMenu& menu) {
    WriteOrder order(menu);
    assignFirstPage(menu, order);
    for (std::size_t id = 0; id < menu.objects.size(); ++id)
        order.assign(id);
    return order.take();
}

std::optional<std::string> menuWriteProblem(const TIGMenu& menu) {
    const TIGSc& ics = menu.ics;
    if (ics.pages.size() > 0xFF) return "the menu has more than 255 pages";
    if (ics.userTimeOut > kMax24) return "the user time-out is longer than 24 bits hold";
    if (ics.compositionTimeOut > kMax40 || ics.selectionTimeOut > kMax40)
        return "a time-out is longer than 40 bits hold";
    if (menu.palettes.size() > 0x100) return "the menu has more than 256 palettes";
    if (menu.objects.size() > 0x10000) return "the menu has more than 65536 objects";
    for (std::size_t i = 0; i < ics.pages.size(); ++i) {
        if (auto problem = pageProblem(ics.pages[i], i)) return problem;
    }
    for (const TIGobject& o : menu.objects) {
        if (o.bitmap && o.bitmap->size() != static_cast<std::size_t>(o.width) * o.height)
            return "object " + hexText(o.id, 4) + " has a bitmap that does not match its size";
    }
    return std::nullopt;
}

std::optional<Bytes> igsBytes(TIGMenu& menu, IGSForm form, Reporter& reporter) {
    if (auto problem = menuWriteProblem(menu)) {
        reporter.erlog("Cannot save the menu: " + *problem);
        return std::nullopt;
    }
    reporter.slog("RLE decoding/encoding", 1);
    WriteOrder order(menu);
    assignFirstPage(menu, order);
    std::vector<Bytes> encoded = encodeObjects(menu, order, reporter);
    const std::vector<std::uint16_t> written = order.take();

    Bytes pageData;
    for (const TPage& page : menu.ics.pages) {
        const Bytes bytes = pageBytes(page);
        pageData.insert(pageData.end(), bytes.begin(), bytes.end());
    }
    std::uint64_t total = 0;
    for (const std::uint16_t id : written) {
        if (encoded[id].size() + 4 > kMax24) {
            reporter.erlog("Cannot save the menu: object " + hexText(id, 4) +
                           " has more RLE data than object_data_length can hold");
            return std::nullopt;
        }
        total += encoded[id].size();
    }
    if (pageData.size() + 15 > kMax24) {
        reporter.erlog(
            "Cannot save the menu: its pages take more than interactive_composition_length can "
            "hold");
        return std::nullopt;
    }

    const std::uint32_t start = menu.startTime;
    SegmentOutput out(form);
    out.reserve(pageData.size() + total + total / 60000 * 32 + 1024);
    reporter.slog("Writing ICS", 1);
    writeComposition(menu, pageData, start, start - decodeTime(total), out);
    reporter.slog("Writing palettes", 1);
    writePalettes(menu, start - decodeTime(total), out);

    reporter.slog("Writing objects", 1);
    Bytes resource = pageData;
    std::uint64_t remaining = total;
    std::uint32_t endPts = start - decodeTime(total);
    for (const std::uint16_t id : written) {
        TIGobject& o = menu.objects[id];
        const Bytes& data = encoded[id];
        const std::uint32_t pts = start - decodeTime(remaining - data.size());
        const std::uint32_t dts = start - decodeTime(remaining);
        remaining -= data.size();
        endPts = dts;
        o.fragments = fragmentsOf(data.size(), kMaxSegmentLength - kOdsFirstHeader,
                                  kMaxSegmentLength - kOdsContinuationHeader);
        for (TFragment& fragment : o.fragments) {
            Bytes header;
            add(header, o.id, 2);
            add(header, 0, 1);  // object_version_number
            add(header, static_cast<std::uint32_t>(fragment.flags) << 6, 1);
            if ((fragment.flags & kFirstInSequence) != 0) {
                add(header, data.size() + 4, 3);
                add(header, o.width, 2);
                add(header, o.height, 2);
            }
            out.segment(kSegmentODS, pts, dts, header,
                        ByteView(data).subspan(fragment.position, fragment.length));
            fragment.position += resource.size();
        }
        o.dataLength = static_cast<std::uint32_t>(data.size());
        resource.insert(resource.end(), data.begin(), data.end());
    }
    // END at the decoding start of the last object; without objects at the
    // menu start time, since nothing has to be decoded before it.
    out.segment(kSegmentEND, endPts, 0, {}, {});
    menu.resource = MenuResource(std::move(resource));
    reporter.slogR();
    return out.take();
}

bool saveIGS(TIGMenu& menu, IGSForm form, const std::string& path, Reporter& reporter) {
    if (form == IGSForm::MenuFile) {
        reporter.log("Saving IGS menu...");
        reporter.slog("Preparing data", 1);
    }
    const std::optional<Bytes> bytes = igsBytes(menu, form, reporter);
    if (!bytes) return false;
    writeFileSafely(path, *bytes);
    return true;
}

}  // namespace lumora
