#include "menu/menu_reader.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "core/file_io.h"
#include "core/text.h"
#include "menu/rle_codec.h"

namespace lumora {
namespace {

// Smallest stream sizes of the page records: counts from the stream are
// checked against them before anything is sized by a count.
constexpr std::size_t kWindowSize = 9;
constexpr std::size_t kEffectMinSize = 5;
constexpr std::size_t kCompositionObjectMinSize = 8;
constexpr std::size_t kBogMinSize = 3;
constexpr std::size_t kButtonMinSize = 35;
constexpr std::size_t kPageMinSize = 21;

constexpr std::size_t kIcsContinuationHeader = 9;
constexpr std::size_t kIcsFirstHeader = 17;          // stream_model 1
constexpr std::size_t kIcsFirstHeaderTimeOuts = 27;  // stream_model 0
constexpr std::size_t kOdsFirstHeader = 11;
constexpr std::size_t kOdsContinuationHeader = 4;
constexpr std::size_t kPdsHeader = 2;
constexpr std::size_t kPdsEntrySize = 5;

std::string offsetText(std::size_t offset) {
    return "$" + hexText(offset, 8);
}

std::string segmentName(std::uint8_t type) {
    switch (type) {
        case kSegmentPDS:
            return "PDS";
        case kSegmentODS:
            return "ODS";
        case kSegmentICS:
            return "ICS";
        case kSegmentEND:
            return "END";
        default:
            return "segment";
    }
}

std::uint8_t sequenceFlags(std::uint8_t byte) {
    return static_cast<std::uint8_t>(byte >> 6);
}

// Collects the reported errors; the first one becomes the outcome.
class ErrorLog {
public:
    ErrorLog(Reporter& reporter, ReadOutcome& outcome) : reporter_(reporter), outcome_(outcome) {}

    void report(ReadStatus status, std::size_t offset, const std::string& message) {
        reporter_.erlog(message);
        if (outcome_.good()) outcome_ = {status, offset, message};
    }

private:
    Reporter& reporter_;
    ReadOutcome& outcome_;
};

// The pages of the composition, read from its page data.
class PageParser {
public:
    PageParser(ByteView pageData, std::string_view name,
               const std::vector<std::size_t>& fragmentOffsets,
               const std::vector<std::size_t>& fragmentStarts, ErrorLog& errors)
        : reader_(pageData),
          name_(name),
          fragmentOffsets_(fragmentOffsets),
          fragmentStarts_(fragmentStarts),
          errors_(errors) {}

    // Reads one page; false (after reporting) when the data ran out in it.
    bool page(std::size_t index, TPage& page) {
        page_ = index;
        field_ = "page()";
        if (!reader_.fits(1, kPageMinSize)) return overrun();
        page.id = reader_.readbyte();
        page.version = reader_.readbyte();
        page.uoMask1 = reader_.readlong();
        page.uoMask2 = reader_.readlong();
        if (!effectSequence(page.inEffects, "in_effects")) return false;
        if (!effectSequence(page.outEffects, "out_effects")) return false;
        field_ = "animation_frame_rate_code";
        page.animationFrameRateCode = reader_.readbyte();
        page.defaultSelectedButton = reader_.readword();
        page.defaultActivatedButton = reader_.readword();
        page.palette = reader_.readbyte();
        field_ = "number_of_BOGs";
        const std::size_t bogs = reader_.readbyte();
        if (reader_.overran()) return overrun();
        if (!reader_.fits(bogs, kBogMinSize)) return overrun();
        page.bogs.resize(bogs);
        for (std::size_t b = 0; b < bogs; ++b) {
            if (!bog(b, page.bogs[b])) return false;
        }
        return !reader_.overran() || overrun();
    }

private:
    bool effectSequence(Teffectseq& sequence, const char* which) {
        field_ = std::string(which) + " number_of_windows";
        const std::size_t countAt = reader_.position();
        const std::size_t windows = reader_.readbyte();
        if (!reader_.fits(windows, kWindowSize)) return overrun();
        for (std::size_t i = 0; i < windows && i < kIgMaxWindows; ++i)
            sequence.windows.push_back(window());
        if (windows > kIgMaxWindows) {
            // The model has room for window ids 0 and 1, which is all a
            // composition object can name in a player; the rest is skipped.
            reader_.skip((windows - kIgMaxWindows) * kWindowSize);
            errors_.report(ReadStatus::Truncated, fileOffset(countAt),
                           std::string(name_) + ": page " + std::to_string(page_) + ": " + which +
                               " declare " + std::to_string(windows) + " windows at " +
                               offsetText(fileOffset(countAt)) + "; the first 2 are kept");
        }
        field_ = std::string(which) + " number_of_effects";
        const std::size_t effects = reader_.readbyte();
        if (reader_.overran() || !reader_.fits(effects, kEffectMinSize)) return overrun();
        sequence.effects.resize(effects);
        for (Teffect& e : sequence.effects) {
            if (!effect(e, which)) return false;
        }
        return true;
    }

    TWindow window() {
        TWindow w;
        w.id = reader_.readbyte();
        w.x = reader_.readword();
        w.y = reader_.readword();
        w.width = reader_.readword();
        w.height = reader_.readword();
        return w;
    }

    bool effect(Teffect& e, const char* which) {
        field_ = std::string(which) + " effect";
        e.duration = reader_.read3byte();
        e.palette = reader_.readbyte();
        field_ = std::string(which) + " number_of_composition_objects";
        const std::size_t count = reader_.readbyte();
        if (reader_.overran() || !reader_.fits(count, kCompositionObjectMinSize)) return overrun();
        e.objects.resize(count);
        for (TCompositionObject& o : e.objects) {
            o.objectId = reader_.readword();
            o.windowId = reader_.readbyte();
            o.flags = sequenceFlags(reader_.readbyte());
            o.x = reader_.readword();
            o.y = reader_.readword();
            if (o.cropped()) {
                o.cropX = reader_.readword();
                o.cropY = reader_.readword();
                o.cropWidth = reader_.readword();
                o.cropHeight = reader_.readword();
            }
        }
        return !reader_.overran() || overrun();
    }

    bool bog(std::size_t index, TBOG& group) {
        field_ = "BOG " + std::to_string(index) + " number_of_buttons";
        group.defaultValidButton = reader_.readword();
        const std::size_t buttons = reader_.readbyte();
        if (reader_.overran() || !reader_.fits(buttons, kButtonMinSize)) return overrun();
        group.buttons.resize(buttons);
        for (TIGbutton& b : group.buttons) {
            if (!button(b)) return false;
        }
        return true;
    }

    bool button(TIGbutton& b) {
        field_ = "button";
        b.id = reader_.readword();
        field_ = "button " + hexText(b.id, 4);
        b.numericSelectValue = reader_.readword();
        b.autoAction = static_cast<std::uint8_t>(reader_.readbyte() >> 7);
        b.x = reader_.readword();
        b.y = reader_.readword();
        b.upper = reader_.readword();
        b.lower = reader_.readword();
        b.left = reader_.readword();
        b.right = reader_.readword();
        b.normalStart = reader_.readword();
        b.normalEnd = reader_.readword();
        b.normalRepeat = static_cast<std::uint8_t>(reader_.readbyte() >> 7);
        b.selectedSound = reader_.readbyte();
        b.selectedStart = reader_.readword();
        b.selectedEnd = reader_.readword();
        b.selectedRepeat = static_cast<std::uint8_t>(reader_.readbyte() >> 7);
        b.activatedSound = reader_.readbyte();
        b.activatedStart = reader_.readword();
        b.activatedEnd = reader_.readword();
        field_ = "button " + hexText(b.id, 4) + " number_of_navigation_commands";
        const std::size_t commands = reader_.readword();
        if (reader_.overran() || !reader_.fits(commands, kCommandSize)) return overrun();
        b.commands.resize(commands);
        for (TCommand& command : b.commands) {
            command.opcode = reader_.readlong();
            command.destination = reader_.readlong();
            command.source = reader_.readlong();
        }
        return true;
    }

    // File offset of a page-data offset: the fragments' page data lie apart
    // in the file.
    std::size_t fileOffset(std::size_t dataOffset) const {
        if (fragmentOffsets_.empty() || fragmentStarts_.empty()) return dataOffset;
        const auto it =
            std::upper_bound(fragmentStarts_.begin(), fragmentStarts_.end(), dataOffset);
        const std::size_t k = static_cast<std::size_t>(it - fragmentStarts_.begin()) - 1;
        return fragmentOffsets_[k] + (dataOffset - fragmentStarts_[k]);
    }

    bool overrun() {
        const std::size_t at =
            fileOffset(reader_.overran() ? reader_.overrunOffset() : reader_.position());
        errors_.report(ReadStatus::Truncated, at,
                       std::string(name_) + ": page " + std::to_string(page_) + ": " + field_ +
                           " runs past the end of the composition data at " + offsetText(at));
        return false;
    }

    ByteReader reader_;
    std::string_view name_;
    const std::vector<std::size_t>& fragmentOffsets_;
    const std::vector<std::size_t>& fragmentStarts_;
    ErrorLog& errors_;
    std::size_t page_ = 0;
    std::string field_;
};

// One segment's payload as far as the reader needs it: whole for palettes
// and compositions, the header fields alone for objects (their RLE data stays
// where it is in the resource).
struct Payload {
    Bytes bytes;
    std::uint64_t at = 0;  // file offset of the payload
    std::size_t size = 0;  // payload bytes the file holds

    ByteReader reader() const { return ByteReader(bytes, static_cast<std::size_t>(at)); }
};

// The segment loop of a menu file, reading from the menu resource by
// position.
class SegmentReader {
public:
    SegmentReader(const MenuResource& resource, std::string_view name, TIGMenu& menu,
                  ErrorLog& errors)
        : resource_(resource), name_(name), menu_(menu), errors_(errors) {}

    void run() {
        while (position_ < resource_.size()) {
            if (!segment()) break;
        }
    }

    bool hasComposition() const { return composition_; }
    std::size_t numberOfPages() const { return numberOfPages_; }
    const std::vector<std::size_t>& icsFileOffsets() const { return icsFileOffsets_; }
    // File offset of each object's first ODS (for the object checks).
    std::size_t odsOffset(std::size_t object) const {
        return object < odsOffsets_.size() ? odsOffsets_[object] : 0;
    }

private:
    struct Header {
        std::size_t at = 0;  // file offset of the segment
        std::uint32_t pts = 0;
        std::uint8_t type = 0;
        std::size_t length = 0;
    };

    // The 10-byte "IG" header with the type and length; nothing (after an
    // error report) when the file does not go on with a segment.
    std::optional<Header> header() {
        Header h;
        h.at = static_cast<std::size_t>(position_);
        const Bytes bytes = resource_.read(position_, kSegmentHeaderSize + 3);
        if (bytes.size() >= 2 && (bytes[0] != 'I' || bytes[1] != 'G')) {
            errors_.report(ReadStatus::BadFormat, h.at,
                           "File format error: " + std::string(name_) + ": the segment header at " +
                               offsetText(h.at) + " does not begin with \"IG\"");
            return std::nullopt;
        }
        if (bytes.size() < kSegmentHeaderSize + 3) {
            const std::size_t end = h.at + bytes.size();
            errors_.report(ReadStatus::Truncated, end,
                           std::string(name_) + ": the segment header at " + offsetText(h.at) +
                               " runs past the end of the file at " + offsetText(end));
            return std::nullopt;
        }
        ByteReader reader(bytes, h.at);
        reader.skip(2);
        h.pts = reader.readlong();
        reader.readlong();  // DTS: the reader has no use for it
        h.type = reader.readbyte();
        h.length = reader.readword();
        return h;
    }

    // The payload behind a header; `wanted` caps the bytes read.
    Payload payload(const Header& h, std::size_t wanted) {
        Payload p;
        p.at = h.at + kSegmentHeaderSize + 3;
        const std::uint64_t available = resource_.size() - std::min(resource_.size(), p.at);
        p.size = static_cast<std::size_t>(std::min<std::uint64_t>(h.length, available));
        if (p.size < h.length) {
            const std::size_t end = static_cast<std::size_t>(resource_.size());
            errors_.report(ReadStatus::Truncated, end,
                           std::string(name_) + ": the " + segmentName(h.type) + " at " +
                               offsetText(h.at) + " declares " + std::to_string(h.length) +
                               " bytes; the file ends at " + offsetText(end));
        }
        p.bytes = resource_.read(p.at, std::min(p.size, wanted));
        return p;
    }

    // Reads one segment; false when reading stops.
    bool segment() {
        const auto h = header();
        if (!h) return false;
        if (menu_.startTime == 0) menu_.startTime = h->pts;
        position_ = h->at + kSegmentHeaderSize + 3 + h->length;
        switch (h->type) {
            case kSegmentPDS:
                palette(payload(*h, h->length), h->at);
                break;
            case kSegmentODS:
                object(payload(*h, kOdsFirstHeader), h->at);
                break;
            case kSegmentICS:
                composition(payload(*h, h->length), h->at);
                break;
            case kSegmentEND:
                return false;  // only the first display set is read
            default: {
                // The length is known, so the reader can go on with the next
                // segment rather than reading this payload as headers.
                const Payload skipped = payload(*h, 0);
                errors_.report(ReadStatus::Truncated, h->at,
                               "Unknow segment! " + std::string(name_) + ": segment type $" +
                                   hexText(h->type, 2) + " at " + offsetText(h->at) + "; its " +
                                   std::to_string(skipped.size) + " payload bytes are skipped");
                break;
            }
        }
        return position_ <= resource_.size();
    }

    bool tooShort(const Payload& payload, std::size_t need, std::size_t at, const char* kind) {
        if (payload.size >= need) return false;
        errors_.report(ReadStatus::Truncated, at,
                       std::string(name_) + ": the " + kind + " at " + offsetText(at) + " holds " +
                           std::to_string(payload.size) + " payload bytes, fewer than its " +
                           std::to_string(need) + "-byte header; it is skipped");
        return true;
    }

    void palette(const Payload& payload, std::size_t at) {
        if (tooShort(payload, kPdsHeader, at, "PDS")) return;
        ByteReader reader = payload.reader();
        const std::size_t id = reader.readbyte();
        if (menu_.palettes.size() <= id) menu_.palettes.resize(id + 1);
        TIGpalette& p = menu_.palettes[id];
        p.id = static_cast<std::uint16_t>(id);
        p.version = reader.readbyte();
        if (payload.size <= kPdsHeader) return;  // id and version only: colours stay
        p.rgba.fill(TRGBA{});
        const std::size_t entries = reader.remaining() / kPdsEntrySize;
        for (std::size_t i = 0; i < entries; ++i) {
            const std::uint8_t entry = reader.readbyte();
            TYCrCb colour;
            colour.y = reader.readbyte();
            colour.cr = reader.readbyte();
            colour.cb = reader.readbyte();
            p.ycrcb[entry] = colour;
            p.rgba[entry] = paletteColour(colour, reader.readbyte());
        }
    }

    void object(const Payload& payload, std::size_t at) {
        if (tooShort(payload, kOdsContinuationHeader, at, "ODS")) return;
        ByteReader reader = payload.reader();
        const std::size_t id = reader.readword();
        TFragment fragment;
        fragment.version = reader.readbyte();
        fragment.flags = sequenceFlags(reader.readbyte());
        const bool first = (fragment.flags & kFirstInSequence) != 0;
        if (first && tooShort(payload, kOdsFirstHeader, at, "first ODS")) return;
        if (menu_.objects.size() <= id) {
            menu_.objects.resize(id + 1);
            odsOffsets_.resize(id + 1);
        }
        TIGobject& o = menu_.objects[id];
        o.id = static_cast<std::uint16_t>(id);
        o.filled = true;
        if (first) {
            // A new first fragment starts the object anew: appending it to
            // an earlier one would join two unrelated RLE streams.
            o.fragments.clear();
            const std::uint32_t dataLength = reader.read3byte();
            o.dataLength = dataLength >= 4 ? dataLength - 4 : 0;
            o.width = reader.readword();
            o.height = reader.readword();
            odsOffsets_[id] = at;
        } else if (o.fragments.empty()) {
            odsOffsets_[id] = at;
        }
        o.fragments.push_back(rest(payload, reader.position(), fragment));
    }

    void composition(const Payload& payload, std::size_t at) {
        if (tooShort(payload, kIcsContinuationHeader, at, "ICS")) return;
        ByteReader reader = payload.reader();
        TIGSc& ics = menu_.ics;
        const std::uint16_t width = reader.readword();
        const std::uint16_t height = reader.readword();
        const std::uint8_t frameRate = static_cast<std::uint8_t>(reader.readbyte() >> 4);
        const std::uint16_t number = reader.readword();
        const std::uint8_t state = sequenceFlags(reader.readbyte());
        TFragment fragment;
        fragment.flags = sequenceFlags(reader.readbyte());
        if ((fragment.flags & kFirstInSequence) != 0) {
            if (!firstComposition(payload, reader, at)) return;
        } else if (!composition_) {
            errors_.report(
                ReadStatus::Truncated, at,
                std::string(name_) + ": the ICS at " + offsetText(at) +
                    " continues a composition that has no first fragment; it is skipped");
            return;
        }
        ics.videoWidth = width;
        ics.videoHeight = height;
        ics.frameRateId = frameRate;
        ics.compositionNumber = number;
        ics.compositionState = state;
        icsFileOffsets_.push_back(reader.fileOffset());
        ics.fragments.push_back(rest(payload, reader.position(), fragment));
    }

    // The header fields only the first fragment carries; false when the
    // fragment is too short for them.
    bool firstComposition(const Payload& payload, ByteReader& reader, std::size_t at) {
        if (tooShort(payload, kIcsFirstHeader, at, "first ICS")) return false;
        const bool timeOuts = (payload.bytes[kIcsContinuationHeader + 3] & 0x80) == 0;
        if (timeOuts && tooShort(payload, kIcsFirstHeaderTimeOuts, at, "first ICS")) return false;
        // A second composition in the display set replaces the first.
        TIGSc& ics = menu_.ics;
        ics.fragments.clear();
        icsFileOffsets_.clear();
        ics.compositionLength = reader.read3byte();
        ics.modelFlags = sequenceFlags(reader.readbyte());
        if (timeOuts) {
            ics.compositionTimeOut = reader.read5byte();
            ics.selectionTimeOut = reader.read5byte();
        }
        ics.userTimeOut = reader.read3byte();
        numberOfPages_ = reader.readbyte();
        composition_ = true;
        return true;
    }

    // The payload after its `headerSize` header bytes is the fragment's data;
    // the fragment points where it lies in the resource, nothing is copied.
    static TFragment rest(const Payload& payload, std::size_t headerSize, TFragment fragment) {
        fragment.position = payload.at + headerSize;
        fragment.length = static_cast<std::uint32_t>(payload.size - headerSize);
        return fragment;
    }

    const MenuResource& resource_;
    std::uint64_t position_ = 0;
    std::string_view name_;
    TIGMenu& menu_;
    ErrorLog& errors_;
    bool composition_ = false;
    std::size_t numberOfPages_ = 0;
    std::vector<std::size_t> icsFileOffsets_;
    std::vector<std::size_t> odsOffsets_;
};

// Objects that cannot be drawn are reported once here, when the menu loads.
void checkObjects(TIGMenu& menu, const SegmentReader& segments, std::string_view name,
                  ErrorLog& errors) {
    for (TIGobject& o : menu.objects) {
        if (!o.filled) continue;
        const std::size_t at = segments.odsOffset(o.id);
        std::size_t held = 0;
        for (const TFragment& fragment : o.fragments)
            held += fragment.length;
        std::string problem;
        if (o.fragments.empty() || (o.fragments.front().flags & kFirstInSequence) == 0) {
            problem = "has no first fragment (first_in_sequence)";
        } else if (o.width > kIgMaxObjectSide || o.height > kIgMaxObjectSide) {
            problem = "is " + std::to_string(o.width) + " x " + std::to_string(o.height) +
                      " pixels, larger than 4096 x 4096";
        } else if (held < o.dataLength) {
            problem = "declares " + std::to_string(o.dataLength) +
                      " bytes of RLE data in object_data_length, the file holds " +
                      std::to_string(held);
        }
        if (problem.empty()) continue;
        o.problem = problem;
        errors.report(ReadStatus::Truncated, at,
                      std::string(name) + ": object " + hexText(o.id, 4) + " (ODS at " +
                          offsetText(at) + ") " + problem + "; it is shown empty");
    }
}

}  // namespace

ReadOutcome getIGS(TIGMenu& menu, std::size_t numberOfPages, std::string_view name,
                   Reporter& reporter, const std::vector<std::size_t>& fragmentFileOffsets) {
    ReadOutcome outcome;
    ErrorLog errors(reporter, outcome);
    menu.ics.pages.clear();
    menu.pageButtons.clear();
    // The fragments' page data form one byte sequence, wherever the
    // fragments lie.
    Bytes pageData;
    std::vector<std::size_t> starts;
    for (const TFragment& fragment : menu.ics.fragments) {
        starts.push_back(pageData.size());
        const Bytes part = menu.resource.read(fragment.position, fragment.length);
        pageData.insert(pageData.end(), part.begin(), part.end());
    }
    const std::vector<std::size_t> offsets = fragmentFileOffsets.size() == starts.size()
                                                 ? fragmentFileOffsets
                                                 : std::vector<std::size_t>{};
    PageParser parser(pageData, name, offsets, starts, errors);
    for (std::size_t i = 0; i < numberOfPages; ++i) {
        reporter.progress(static_cast<int>((i * 20 + 20) / numberOfPages + 80));
        reporter.pollCancel();
        TPage page;
        if (!parser.page(i, page)) break;
        reporter.slog("Reading page " + std::to_string(page.id), 1);
        menu.pageButtons.push_back(pageButtonTable(page));
        menu.ics.pages.push_back(std::move(page));
    }
    return outcome;
}

namespace {

ReadOutcome parseResource(MenuResource resource, std::string_view name, TIGMenu& menu,
                          Reporter& reporter);

}  // namespace

ReadOutcome parseMenu(ByteView data, std::string_view name, TIGMenu& menu, Reporter& reporter) {
    return parseMenu(Bytes(data.begin(), data.end()), name, menu, reporter);
}

ReadOutcome parseMenu(Bytes&& data, std::string_view name, TIGMenu& menu, Reporter& reporter) {
    return parseResource(MenuResource(std::move(data)), name, menu, reporter);
}

ReadOutcome loadMNU(const std::string& path, TIGMenu& menu, Reporter& reporter) {
    return parseResource(MenuResource::openFile(path),
                         std::filesystem::path(path).filename().string(), menu, reporter);
}

namespace {

ReadOutcome parseResource(MenuResource resource, std::string_view name, TIGMenu& menu,
                          Reporter& reporter) {
    ProgressScope progress(reporter);
    ReadOutcome outcome;
    ErrorLog errors(reporter, outcome);
    menu = TIGMenu{};
    menu.startTime = 0;
    menu.resource = std::move(resource);

    SegmentReader segments(menu.resource, name, menu, errors);
    segments.run();
    if (reporter.cancelRequested()) {
        menu = TIGMenu{};
        return {ReadStatus::Truncated, 0, std::string(name) + ": loading cancelled"};
    }
    if (!segments.hasComposition()) {
        const std::string message = "File format error: " + std::string(name) +
                                    " holds no interactive composition segment (ICS)";
        if (outcome.good()) {
            errors.report(ReadStatus::BadFormat, 0, message);
        } else {
            reporter.erlog(message);
            outcome.status = ReadStatus::BadFormat;
        }
        menu = TIGMenu{};
        return outcome;
    }
    checkObjects(menu, segments, name, errors);
    const ReadOutcome pages =
        getIGS(menu, segments.numberOfPages(), name, reporter, segments.icsFileOffsets());
    if (outcome.good() && !pages.good()) outcome = pages;
    reporter.log2("[b]1[/b] ICS, [b]" + std::to_string(menu.objects.size()) + "[/b] OCS, [b]" +
                  std::to_string(menu.palettes.size()) + "[/b] PCS found.");
    return outcome;
}

}  // namespace

}  // namespace lumora
