#include "demo/demo_disc.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/bytes.h"
#include "core/crc.h"
#include "core/file_io.h"
#include "core/report.h"
#include "menu/menu_model.h"
#include "menu/menu_writer.h"
#include "menu/rle_codec.h"
#include "navigation/index_file.h"
#include "navigation/movie_object_file.h"
#include "playlist/clip_info_file.h"
#include "playlist/playlist_file.h"
#include "sound/sound_file.h"
#include "stream/mux.h"

namespace lumora {
namespace fs = std::filesystem;

namespace {

// HDMV navigation commands used by the demo's movie objects.
constexpr std::uint32_t kNop = 0x00000000;
constexpr std::uint32_t kGoTo = 0x20810000;              // GoTo line
constexpr std::uint32_t kJumpObject = 0x21800000;        // Jump Object n
constexpr std::uint32_t kJumpTitle = 0x21810000;         // Jump Title n
constexpr std::uint32_t kPlayPlaylist = 0x22800000;      // Play PL n
constexpr std::uint32_t kPlayPlaylistMark = 0x42C20000;  // Play PL_MK playlist, mark
constexpr std::uint32_t kEqualImmediate = 0x48400200;    // EQ GPR, value
constexpr std::uint32_t kMoveImmediate = 0x50400001;     // Move GPR, value

constexpr std::uint16_t kVideoPid = 0x1011;
constexpr std::uint16_t kPmtPid = 0x0100;
constexpr std::uint16_t kIgPid = 0x1400;
constexpr std::uint8_t kAvcVideo = 0x1B;
constexpr std::uint8_t kIgStream = 0x91;
constexpr std::uint8_t kVideo1080p = 6;
constexpr std::uint8_t kRate23976 = 1;
constexpr int kPacketsPerStream = 32;  // one aligned unit of 6144 bytes
// Video packets of each stream file.
constexpr std::uint32_t kVideoPackets = 28;

void makeDirectory(const std::string& path) {
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec) throw FileError("Cannot create folder \"" + path + "\". " + ec.message(), path);
}

TTitleEntry hdmvTitle(std::uint16_t object, std::uint8_t playbackType) {
    TTitleEntry title;
    title.objectType = kHdmvObject;
    title.playbackType = playbackType;
    title.objectId = object;
    return title;
}

// First Playback plays the trailer and goes to the menu; the Top Menu plays
// the menu playlist; titles 1 to 3 are HDMV (feature, a chapter, a bonus
// that branches on GPR 0), title 4 is the BD-J object 00001.
TINDX demoIndex() {
    TINDX index;
    index.videoFormat = kVideo1080p;
    index.frameRate = kRate23976;
    index.contentProvider = "Lumora demo disc";
    index.indexes.firstPlayback.objectId = 0;
    index.indexes.firstPlayback.playbackType = 0;
    index.indexes.topMenu.objectId = 1;
    index.indexes.topMenu.playbackType = 1;
    for (int i = 0; i < 4; ++i)
        insertTitle(index, i - 1);
    auto& titles = index.indexes.titles;
    titles[0] = hdmvTitle(2, 0);
    titles[1] = hdmvTitle(3, 0);
    titles[2] = hdmvTitle(4, 1);
    titles[2].accessType = 2;  // not reachable by title search
    titles[3].objectType = kBdjObject;
    titles[3].playbackType = 1;
    titles[3].bdjName = "00001";
    for (std::size_t i = 0; i < titles.size(); ++i)
        titles[i].titleNumber = static_cast<std::int32_t>(i + 1);
    return index;
}

Tmobject movieObject(bool resume, bool menuCallMasked, TCommands commands) {
    Tmobject object;
    object.resumeIntention = resume ? 1 : 0;
    object.menuCallMask = menuCallMasked ? 1 : 0;
    object.commands = std::move(commands);
    return object;
}

TMOBJ demoMovieObjects() {
    TMOBJ file;
    file.objects = {
        // First Playback: clear GPR 0, play the trailer, go to the menu.
        movieObject(false, true,
                    {{kMoveImmediate, 0, 0}, {kPlayPlaylist, 2, 0}, {kJumpObject, 1, 0}}),
        // Top Menu: the menu playlist.
        movieObject(false, false, {{kPlayPlaylist, 1, 0}}),
        // Title 1: the feature, then back to the menu.
        movieObject(true, false,
                    {{kMoveImmediate, 1, 1}, {kPlayPlaylist, 0, 0}, {kJumpObject, 1, 0}}),
        // Title 2: the feature from its first mark.
        movieObject(true, false, {{kPlayPlaylistMark, 0, 0}, {kJumpObject, 1, 0}}),
        // Title 3: the trailer once GPR 0 says the feature was seen.
        movieObject(false, false,
                    {{kEqualImmediate, 0, 1},
                     {kGoTo, 3, 0},
                     {kJumpTitle, 1, 0},
                     {kPlayPlaylist, 2, 0},
                     {kJumpObject, 1, 0}}),
        // Unused: kept for testing deletes.
        movieObject(false, false, {{kNop, 0, 0}}),
    };
    std::uint32_t length = 6;
    for (const auto& object : file.objects)
        length += movieObjectSize(object);
    file.length = length;
    return file;
}

// A BD-J object with its terminal information, one accessible playlist and no
// application: enough for a title to name it.
// The BD-J object of title 4: a game application of the demo, cached, with
// its profile, a name, two parameters, the keys it takes and the directory
// its files lie in.  Texts that end at an odd file position are followed by
// a pad byte, so 16-bit fields start at even ones.
Bytes bdjObjectFile() {
    ScratchBuffer b;
    b.block(0);
    const auto pad = [&b] {
        if (b.length() % 2 != 0) b.addbyte(0);
    };
    const auto shortText = [&b](std::string_view text) {
        b.addbyte(static_cast<std::uint32_t>(text.size()));
        b.addtext(text, text.size());
    };
    b.addtext("BDJO", 4);
    b.addtext("0200", 4);
    // TerminalInfo, AppCacheInfo, TableOfAccessiblePlayLists,
    // ApplicationManagementTable, KeyInterestTable, FileAccessInfo: set as
    // each block begins.
    std::array<std::size_t, 6> starts{};
    b.addbytes(Bytes(24 + 16, 0));

    starts[0] = b.length();
    b.addlong(10);
    b.addtext("*****", 5);
    b.addbyte(1 << 4);  // HAVi configuration 1
    b.addlong(0);

    starts[1] = b.length();
    b.addlong(2 + 12);  // one cache entry: the JAR file 00001
    b.addbyte(1);
    b.addbyte(0);
    b.addbyte(1);
    b.addtext("00001", 5);
    b.addtext("*.*", 3);
    b.add3byte(0);

    starts[2] = b.length();
    b.addlong(4 + 2 * 6);  // the feature and the trailer, the feature first
    b.addword(2 << 5 | 1 << 3);
    b.addword(0);
    for (const char* playlist : {"00000", "00002"}) {
        b.addtext(playlist, 5);
        b.addbyte(0);
    }

    starts[3] = b.length();
    const std::size_t tableLength = b.length();
    b.addlong(0);
    b.addbyte(1);  // one application
    b.addbyte(0);
    b.addbyte(1);  // control code: autostart
    b.addbyte(1);  // type: BD-J
    b.addlong(0x56789ABC);
    b.addword(0x4001);
    b.addbyte(0);  // the application descriptor
    b.addbyte(0);
    const std::size_t descriptorLength = b.length();
    b.addlong(0);
    b.addlong(0);
    b.addword(1 << 12);  // one profile: 1, version 1.0.0
    b.addword(1);
    b.addbyte(1);
    b.addbyte(0);
    b.addbyte(0);
    b.addbyte(0);
    b.addbyte(3);                // priority
    b.addbyte(3 << 6 | 1 << 5);  // title and disc bound, visible
    const std::string_view name = "Lumora demo game";
    b.addword(static_cast<std::uint32_t>(4 + name.size()));
    b.addtext("eng", 3);
    shortText(name);
    pad();
    shortText("");  // no icon
    pad();
    b.addword(0);
    shortText("00001");  // base directory
    pad();
    shortText("");  // no classpath extension
    pad();
    shortText("lumora.demo.GameXlet");
    pad();
    const std::array<std::string_view, 2> parameters{"level=1", "mode=demo"};
    std::size_t parameterBytes = 0;
    for (const std::string_view parameter : parameters)
        parameterBytes += 1 + parameter.size();
    b.addbyte(static_cast<std::uint32_t>(parameterBytes));
    for (const std::string_view parameter : parameters)
        shortText(parameter);
    pad();
    b.setlong(static_cast<std::uint32_t>(b.length() - descriptorLength - 4), descriptorLength);
    b.setlong(static_cast<std::uint32_t>(b.length() - tableLength - 4), tableLength);

    starts[4] = b.length();
    b.addlong(0x80000000u | 0x40000000u | 0x02000000u);  // Play, Stop, Pause

    starts[5] = b.length();
    b.addword(5);
    b.addtext("00001", 5);
    pad();

    for (std::size_t i = 0; i < starts.size(); ++i)
        b.setlong(static_cast<std::uint32_t>(starts[i]), 8 + 4 * i);
    return Bytes(b.bytes().begin(), b.bytes().end());
}

TSTNStream stnStream(std::uint16_t pid, std::uint8_t coding, const char* language = "") {
    TSTNStream stream;
    stream.mainPid = pid;
    stream.codingType = coding;
    stream.language = language;
    return stream;
}

TSTNStream videoStream(std::uint16_t pid) {
    TSTNStream stream = stnStream(pid, kAvcVideo);
    stream.videoFormat = kVideo1080p;
    stream.frameRate = kRate23976;
    return stream;
}

TSTNStream audioStream(std::uint16_t pid, std::uint8_t coding, std::uint8_t presentation,
                       const char* language) {
    TSTNStream stream = stnStream(pid, coding, language);
    stream.presentationType = presentation;
    stream.samplingFrequency = 1;  // 48 kHz
    return stream;
}

TSTNStream menuStream() {
    TSTNStream stream = stnStream(0, kIgStream, "eng");
    stream.entryType = kEntrySubPath;
    stream.subPid = kIgPid;
    return stream;
}

TPlayItem playItem(const std::string& clip, std::uint32_t in, std::uint32_t out) {
    TPlayItem item;
    item.clipName = clip;
    item.inTime = in;
    item.outTime = out;
    item.stn.video.push_back(videoStream(kVideoPid));
    return item;
}

// Times on a disc fall on frame boundaries of its 23.976 video.
constexpr std::uint32_t ticksOfFrames(std::uint32_t frames) {
    return static_cast<std::uint32_t>(std::uint64_t{frames} * 45000 * 1001 / 24000);
}

// The feature: three PlayItems of 480 frames on clip 00000, the second with
// two angles; every kind of stream; the menu on a SubPath; a chapter every
// 240 frames.
TMPLS featurePlaylist() {
    TMPLS playlist;
    playlist.randomAccess = 0;
    playlist.audioMix = 1;
    for (std::uint32_t i = 0; i < 3; ++i) {
        TPlayItem item = playItem("00000", ticksOfFrames(480 * i), ticksOfFrames(480 * (i + 1)));
        auto& stn = item.stn;
        stn.audio = {audioStream(0x1100, 0x83, 6, "eng"), audioStream(0x1101, 0x81, 6, "fra")};
        stn.pg = {stnStream(0x1200, 0x90, "eng"), stnStream(0x1201, 0x90, "fra")};
        stn.ig = {menuStream()};
        TSecAudio commentary;
        commentary.stream = audioStream(0x1A00, 0xA1, 3, "eng");
        commentary.primaryAudioRefs = {0, 1};
        stn.secondaryAudio = {commentary};
        TSecVideo pictureInPicture;
        pictureInPicture.stream = videoStream(0x1B00);
        pictureInPicture.secondaryAudioRefs = {0};
        pictureInPicture.pipPgRefs = {0};
        stn.secondaryVideo = {pictureInPicture};
        stn.pip = {stnStream(0x1A20, 0x90, "eng")};
        if (i == 1) {
            item.isMultiAngle = 1;
            item.angles.seamlessAngleChange = 1;
            item.angles.clips = {{"00000", "M2TS", 0}, {"00000", "M2TS", 0}};
        }
        if (i > 0) item.connectionCondition = 5;  // seamless
        playlist.playList.playItems.push_back(item);
    }
    TSubPath menu;
    menu.type = 3;  // IG menu
    TSubPlayItem sub;
    sub.clipName = "00001";
    sub.outTime = 45000 * 10;
    menu.subPlayItems.push_back(sub);
    playlist.playList.subPaths.push_back(menu);
    for (std::uint16_t item = 0; item < 3; ++item) {
        for (std::uint32_t at = 0; at < 480; at += 240) {
            TMark mark;
            mark.playItemId = item;
            mark.time = ticksOfFrames(480 * item + at);
            playlist.marks.marks.push_back(mark);
        }
    }
    return playlist;
}

// The menu playlist and the trailer: one PlayItem each.
TMPLS shortPlaylist(const std::string& clip, std::uint32_t outTime, bool withMenu) {
    TMPLS playlist;
    TPlayItem item = playItem(clip, 0, outTime);
    if (withMenu) {
        item.stn.ig.push_back(stnStream(kIgPid, kIgStream, "eng"));
    } else {
        item.stn.audio.push_back(audioStream(0x1100, 0x81, 3, "eng"));
    }
    playlist.playList.playItems.push_back(item);
    TMark mark;
    playlist.marks.marks.push_back(mark);
    return playlist;
}

TStreamCodingInfo codingInfo(std::uint16_t pid, std::uint8_t codingType) {
    TStreamCodingInfo stream;
    stream.streamPid = pid;
    stream.codingType = codingType;
    stream.videoFormat = kVideo1080p;
    stream.frameRate = kRate23976;
    stream.aspectRatio = 3;  // 16:9
    stream.igLanguage = "eng";
    return stream;
}

// The clip of one stream file: one ATC and one STC sequence over the whole
// file, its program's streams, and an EP map whose only entry point is the
// source packet where the video's first PES packet (PTS 0) starts.
TCLPI demoClip(std::uint32_t packets, std::uint32_t firstVideoPacket, bool withMenu,
               std::uint32_t presentationEnd) {
    TCLPI clip;
    clip.clipInfo.applicationType = withMenu ? 5 : 1;  // Sub TS for an IG menu, or a Movie
    clip.clipInfo.tsRecordingRate = 6000000;
    clip.clipInfo.numberOfSourcePackets = packets;
    TATC_sequences atc;
    atc.stcSequences.push_back(TSTCSequence{kVideoPid, 0, 0, presentationEnd});
    clip.sequenceInfo.atcSequences.push_back(atc);
    TProgram_sequences program;
    program.programMapPid = kPmtPid;
    program.streams.push_back(codingInfo(kVideoPid, kAvcVideo));
    if (withMenu) program.streams.push_back(codingInfo(kIgPid, kIgStream));
    clip.programInfo.programSequences.push_back(program);
    clip.cpi.cpiType = 1;  // EP map
    clip.cpi.pidEntries.push_back(TEPMapPIDEntry{kVideoPid, 1, 0});
    TEP_map_fosPID map;
    map.coarse.push_back(TEPCoarseEntry{0, 0, firstVideoPacket});
    map.fine.push_back(TEPFineEntry{0, 1, 0, firstVideoPacket});
    clip.cpi.epMaps.push_back(map);
    return clip;
}

// A transport packet of 188 bytes with the given PID and payload (stuffed
// with 0xFF), behind a TP_extra_header carrying the arrival time stamp.
void addSourcePacket(Bytes& out, std::uint32_t arrivalTime, std::uint16_t pid, bool unitStart,
                     std::uint8_t& continuity, const Bytes& payload) {
    appendBigEndian(out, arrivalTime & 0x3FFFFFFF, 4);
    out.push_back(0x47);
    out.push_back(static_cast<std::uint8_t>((unitStart ? 0x40 : 0) | ((pid >> 8) & 0x1F)));
    out.push_back(static_cast<std::uint8_t>(pid & 0xFF));
    out.push_back(static_cast<std::uint8_t>(0x10 | (continuity++ & 0x0F)));
    std::size_t used = 4;
    if (unitStart && pid < 0x1000) {
        out.push_back(0);  // pointer field of a section
        ++used;
    }
    for (std::size_t i = 0; i < payload.size() && used < 188; ++i, ++used)
        out.push_back(payload[i]);
    for (; used < 188; ++used)
        out.push_back(0xFF);
}

Bytes withCrc(Bytes section) {
    appendBigEndian(section, crc32Mpeg(section), 4);
    return section;
}

Bytes patSection() {
    Bytes s{0x00, 0xB0, 0x0D, 0x00, 0x01, 0xC1, 0x00, 0x00, 0x00, 0x01};
    appendBigEndian(s, 0xE000u | kPmtPid, 2);
    return withCrc(s);
}

Bytes pmtSection(bool withMenu) {
    const std::uint32_t streams = withMenu ? 2 : 1;
    Bytes s{0x02, 0xB0};
    s.push_back(static_cast<std::uint8_t>(13 + 5 * streams));
    s.insert(s.end(), {0x00, 0x01, 0xC1, 0x00, 0x00});
    appendBigEndian(s, 0xE000u | kVideoPid, 2);  // PCR PID
    appendBigEndian(s, 0xF000, 2);               // no program descriptors
    s.push_back(kAvcVideo);
    appendBigEndian(s, 0xE000u | kVideoPid, 2);
    appendBigEndian(s, 0xF000, 2);
    if (withMenu) {
        s.push_back(kIgStream);
        appendBigEndian(s, 0xE000u | kIgPid, 2);
        appendBigEndian(s, 0xF000, 2);
    }
    return withCrc(s);
}

// A PES header of the video stream carrying PTS and DTS 0 (and an AVC access
// unit delimiter as its only content).
Bytes videoPesStart() {
    return {0x00, 0x00, 0x01, 0xE0, 0x00, 0x00, 0x80, 0xC0, 0x0A, 0x31, 0x00, 0x01, 0x00,
            0x01, 0x11, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x09, 0xF0};
}

TIGMenu demoMenu();

// The demo menu in the menu writer's PES form.
Bytes demoMenuPes() {
    TIGMenu menu = demoMenu();
    RecordingSink sink;
    Reporter reporter(sink);
    std::optional<Bytes> pes = igsBytes(menu, IGSForm::Pes, reporter);
    if (!pes) throw FileError("The demo menu cannot be written", "");
    return std::move(*pes);
}

// The IG packets of the menu clip: the PES packets of the demo menu, cut by
// the multiplexer's packetizer.
class MenuPackets {
public:
    MenuPackets() : pes_(demoMenuPes()) {}

    // Appends the next IG source packet; false when the menu is all out.
    bool add(Bytes& out, std::uint32_t arrivalTime) {
        if (!cut_ || cut_->done()) {
            if (next_ + 6 > pes_.size()) return false;
            const std::size_t size = std::size_t{pes_[next_ + 4]} << 8 | pes_[next_ + 5];
            cut_.emplace(ByteView(pes_).subspan(next_, size + 6), kIgPid);
            next_ += size + 6;
        }
        appendBigEndian(out, arrivalTime & 0x3FFFFFFF, 4);
        const std::size_t at = out.size();
        out.resize(at + 188, 0xFF);
        cut_->next(out.data() + at, counter_);
        counter_ = (counter_ + 1) & 0x0F;
        return true;
    }

private:
    Bytes pes_;
    std::size_t next_ = 0;
    std::optional<PesPacketizer> cut_;
    std::uint8_t counter_ = 0;
};

struct DemoStream {
    Bytes bytes;
    std::uint32_t packets = 0;
    std::uint32_t firstVideoPacket = 0;
};

// A stream file: PAT and PMT at the start of every 16 packets; in the menu
// clip the IG stream right behind the first tables, so the menu is decoded
// before the picture it stands on; then the video, whose first PES packet is
// the EP map's entry point; whole aligned units of 32 packets.
DemoStream streamFile(bool withMenu) {
    DemoStream stream;
    Bytes& out = stream.bytes;
    std::uint8_t patCounter = 0, pmtCounter = 0, videoCounter = 0;
    const Bytes pat = patSection();
    const Bytes pmt = pmtSection(withMenu);
    std::optional<MenuPackets> menu;
    if (withMenu) menu.emplace();
    std::uint32_t arrival = 0;
    std::uint32_t videoPackets = 0;
    std::uint32_t i = 0;
    for (; videoPackets < kVideoPackets || i % kPacketsPerStream != 0; ++i, arrival += 27000) {
        if (i % 16 == 0) {
            addSourcePacket(out, arrival, 0, true, patCounter, pat);
        } else if (i % 16 == 1) {
            addSourcePacket(out, arrival, kPmtPid, true, pmtCounter, pmt);
        } else if (!menu || !menu->add(out, arrival)) {
            const bool first = videoPackets++ == 0;
            if (first) stream.firstVideoPacket = i;
            addSourcePacket(out, arrival, kVideoPid, first, videoCounter,
                            first ? videoPesStart() : Bytes{});
        }
    }
    stream.packets = i;
    return stream;
}

}  // namespace

// ---- The demo menu: two pages of animated buttons with in- and out-effects ----

namespace {

constexpr std::uint32_t kSetButtonPage = 0x51C00003;  // SetButtonPage button, page
constexpr std::uint32_t kButtonOperand = 0x80000000;  // the operand is set

// Palette 0 (buttons) and 1 (banner) entries.
constexpr std::uint8_t kClear = 0;
constexpr std::uint8_t kEdge = 1;
constexpr std::uint8_t kFill = 2;
constexpr std::uint8_t kShine = 3;
constexpr std::uint8_t kSelected = 4;
constexpr std::uint8_t kPressed = 5;

constexpr std::uint16_t kButtonWidth = 360;
constexpr std::uint16_t kButtonHeight = 90;
constexpr std::uint16_t kBannerWidth = 640;
constexpr std::uint16_t kBannerHeight = 120;

// A button face with rounded corners, a 3-pixel edge and a shine bar at
// `shine` (the animation moves it); `mark` blocks stand for the label.
Bytes buttonFace(std::uint8_t fill, int shine, int mark) {
    Bytes face(std::size_t{kButtonWidth} * kButtonHeight, kClear);
    for (int y = 0; y < kButtonHeight; ++y) {
        for (int x = 0; x < kButtonWidth; ++x) {
            const int dx = std::min(x, kButtonWidth - 1 - x);
            const int dy = std::min(y, kButtonHeight - 1 - y);
            if (dx + dy < 6) continue;  // cut corners
            std::uint8_t colour = dx < 3 || dy < 3 || dx + dy < 9 ? kEdge : fill;
            if (colour == fill && x >= shine && x < shine + 12) colour = kShine;
            const bool label =
                y >= 35 && y < 55 && x >= 60 && (x - 60) % 40 < 28 && (x - 60) / 40 < mark;
            if (colour == fill && label) colour = kEdge;
            face[static_cast<std::size_t>(y) * kButtonWidth + static_cast<std::size_t>(x)] = colour;
        }
    }
    return face;
}

// A banner of diagonal stripes in the banner palette.
Bytes bannerFace(bool dim) {
    Bytes face(std::size_t{kBannerWidth} * kBannerHeight);
    for (std::size_t y = 0; y < kBannerHeight; ++y) {
        for (std::size_t x = 0; x < kBannerWidth; ++x) {
            const std::size_t stripe = (x + y) / 24 % 3;
            face[y * kBannerWidth + x] =
                static_cast<std::uint8_t>(dim ? (stripe == 0 ? kEdge : kClear) : 1u + stripe);
        }
    }
    return face;
}

TIGpalette demoPalette(std::uint16_t id, const std::vector<std::array<std::uint8_t, 4>>& colours) {
    TIGpalette palette;
    palette.id = id;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const auto& [r, g, b, a] = colours[i];
        palette.ycrcb[i] = rgbToYcrcb(r, g, b);
        palette.rgba[i] = paletteColour(palette.ycrcb[i], a);
    }
    return palette;
}

// Objects 5k..5k+4 of button face k: normal animation (2 frames), selected
// animation (2 frames), activated.
std::uint16_t faceObject(int face, int state) {
    return static_cast<std::uint16_t>(2 + 5 * face + state);
}

TIGbutton demoButton(std::uint16_t id, int face, std::uint16_t x, std::uint16_t y,
                     TCommands commands) {
    TIGbutton button = IGbutton(id);
    button.x = x;
    button.y = y;
    button.normalStart = faceObject(face, 0);
    button.normalEnd = faceObject(face, 1);
    button.normalRepeat = 1;
    button.selectedStart = faceObject(face, 2);
    button.selectedEnd = faceObject(face, 3);
    button.selectedRepeat = 1;
    button.activatedStart = faceObject(face, 4);
    button.activatedEnd = faceObject(face, 4);
    // The disc's sound.bdmv: a click when selected, a chime when activated.
    button.selectedSound = 0;
    button.activatedSound = 1;
    button.commands = std::move(commands);
    return button;
}

// A page of buttons stacked one below the other, each in a BOG of its own,
// with the banner sliding in (cropped, then whole) and out.
TPage demoPage(std::uint8_t id, std::vector<TIGbutton> buttons) {
    TPage page;
    page.id = id;
    page.animationFrameRateCode = 6;  // a step every 6 frames, 250 ms
    page.defaultSelectedButton = 0;
    page.palette = 0;
    const TWindow window{0, 640, 160, kBannerWidth, kBannerHeight};
    page.inEffects.windows = {window};
    for (const std::uint16_t width : {std::uint16_t{kBannerWidth / 2}, kBannerWidth}) {
        Teffect effect;
        effect.duration = 22500;  // 250 ms
        effect.palette = 1;
        TCompositionObject banner;
        banner.objectId = 0;
        banner.x = window.x;
        banner.y = window.y;
        if (width < kBannerWidth) {
            banner.flags = kObjectCropped;
            banner.cropWidth = width;
            banner.cropHeight = kBannerHeight;
        }
        effect.objects = {banner};
        page.inEffects.effects.push_back(effect);
    }
    page.outEffects.windows = {window};
    Teffect fade;
    fade.duration = 18000;  // 200 ms
    fade.palette = 1;
    fade.objects = {TCompositionObject{1, 0, 0, window.x, window.y, 0, 0, 0, 0}};
    page.outEffects.effects = {fade};
    for (TIGbutton& button : buttons) {
        TBOG bog;
        bog.defaultValidButton = button.id;
        bog.buttons = {std::move(button)};
        page.bogs.push_back(std::move(bog));
    }
    return page;
}

TIGMenu demoMenu() {
    TIGMenu menu;
    menu.ics.frameRateId = kRate23976;
    menu.ics.compositionState = 2;  // epoch start
    menu.ics.modelFlags = 2;        // not multiplexed, always on
    menu.ics.userTimeOut = 0;
    const auto page = [](std::uint32_t button, std::uint32_t number) {
        return TCommand{kSetButtonPage, kButtonOperand | button, kButtonOperand | number};
    };
    const std::uint16_t x = 780;
    menu.ics.pages = {
        demoPage(0, {demoButton(0, 0, x, 400, {{kJumpTitle, 1, 0}}),
                     demoButton(1, 1, x, 520, {page(0, 1)}),
                     demoButton(2, 2, x, 640, {{kJumpTitle, 3, 0}})}),
        demoPage(1, {demoButton(0, 1, x, 460, {{kPlayPlaylistMark, 0, 1}}),
                     demoButton(1, 2, x, 580, {page(1, 0)})}),
    };
    menu.ics.pages[0].bogs[0].buttons[0].lower = 1;
    menu.ics.pages[0].bogs[1].buttons[0].upper = 0;
    menu.ics.pages[0].bogs[1].buttons[0].lower = 2;
    menu.ics.pages[0].bogs[2].buttons[0].upper = 1;
    menu.ics.pages[1].bogs[0].buttons[0].lower = 1;
    menu.ics.pages[1].bogs[1].buttons[0].upper = 0;
    for (const TPage& p : menu.ics.pages)
        menu.pageButtons.push_back(pageButtonTable(p));

    menu.objects = {bitmapObject(0, kBannerWidth, kBannerHeight, bannerFace(false)),
                    bitmapObject(1, kBannerWidth, kBannerHeight, bannerFace(true))};
    for (int face = 0; face < 3; ++face) {
        const int marks = face + 2;
        const std::array<Bytes, 5> states{
            buttonFace(kFill, 40, marks), buttonFace(kFill, 200, marks),
            buttonFace(kSelected, 40, marks), buttonFace(kSelected, 200, marks),
            buttonFace(kPressed, 120, marks)};
        for (int state = 0; state < 5; ++state) {
            menu.objects.push_back(bitmapObject(faceObject(face, state), kButtonWidth,
                                                kButtonHeight,
                                                states[static_cast<std::size_t>(state)]));
        }
    }
    menu.palettes = {
        demoPalette(0, {{0, 0, 0, 0},
                        {240, 240, 240, 255},
                        {30, 50, 120, 230},
                        {120, 160, 230, 255},
                        {230, 180, 20, 255},
                        {230, 90, 20, 255}}),
        demoPalette(1,
                    {{0, 0, 0, 0}, {200, 160, 40, 255}, {140, 20, 30, 255}, {250, 250, 250, 200}}),
    };
    return menu;
}

}  // namespace

void makeDemoMenu(const std::string& path) {
    TIGMenu menu = demoMenu();
    RecordingSink sink;
    Reporter reporter(sink);
    if (!saveIGS(menu, IGSForm::MenuFile, path, reporter)) {
        const auto texts = sink.texts();
        throw FileError(path + ": " + (texts.empty() ? std::string("not written") : texts.back()),
                        path);
    }
}

namespace {

// The button sounds: a short click (selected) and a two-tone chime
// (activated), 48 kHz 16-bit stereo, samples big-endian as sound.bdmv holds
// them.
TSoundEntries demoSound(double seconds, std::initializer_list<double> tones, double decay) {
    constexpr double kRate = 48000;
    constexpr double kPi = 3.14159265358979323846;
    TSoundEntries entry;
    entry.channelConfiguration = kSoundStereo;
    const auto frames = static_cast<std::size_t>(seconds * kRate);
    for (std::size_t f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / kRate;
        double value = 0;
        for (const double tone : tones)
            value += std::sin(2 * kPi * tone * t) / static_cast<double>(tones.size());
        const auto sample = static_cast<std::int16_t>(12000 * value * std::exp(-decay * t));
        for (int channel = 0; channel < 2; ++channel) {
            entry.data.push_back(
                static_cast<std::uint8_t>(static_cast<std::uint16_t>(sample) >> 8));
            entry.data.push_back(static_cast<std::uint8_t>(sample & 0xFF));
        }
    }
    entry.length = static_cast<std::uint32_t>(entry.data.size());
    return entry;
}

TSND demoSounds() {
    TSND sound = newSound();
    insertSoundEntry(sound, -1, demoSound(0.08, {1200}, 40));
    insertSoundEntry(sound, 0, demoSound(0.4, {660, 990}, 8));
    return sound;
}

}  // namespace

DemoDiscInfo makeDemoDisc(const std::string& dir) {
    DemoDiscInfo info;
    info.folder = (dir.empty() || dir.back() == '/' ? dir : dir + "/") + "BDMV/";
    for (const char* sub : {"", "PLAYLIST", "CLIPINF", "STREAM", "AUXDATA", "BDJO", "JAR", "META",
                            "BACKUP", "BACKUP/PLAYLIST", "BACKUP/CLIPINF"}) {
        makeDirectory(info.folder + sub);
    }

    const TMOBJ objects = demoMovieObjects();
    const TINDX indexModel = demoIndex();
    const Bytes index = indexBytes(indexModel);
    const Bytes movieObjects = movieObjectBytes(objects);
    // Clip 00000 holds the feature, clip 00001 the menu.
    struct Clip {
        const char* name;
        bool menu;
        std::uint32_t end;  // presentation end time
    };
    const std::array<Clip, 2> clips{
        {{"00000", false, ticksOfFrames(3 * 480)}, {"00001", true, 45000 * 10}}};
    const Bytes feature = playlistBytes(featurePlaylist());
    const Bytes menu = playlistBytes(shortPlaylist("00001", 45000 * 10, true));
    // Playlist 00002, the trailer, plays the first ten seconds of clip 00000.
    const Bytes trailer = playlistBytes(shortPlaylist("00000", 45000 * 10, false));
    const std::array<DemoStream, 2> streams{streamFile(clips[0].menu), streamFile(clips[1].menu)};

    // Discs carry copies of their structure files in BACKUP.
    for (const std::string& base : {info.folder, info.folder + "BACKUP/"}) {
        writeFileSafely(base + "index.bdmv", index);
        writeFileSafely(base + "MovieObject.bdmv", movieObjects);
        writeFileSafely(base + "PLAYLIST/00000.mpls", feature);
        writeFileSafely(base + "PLAYLIST/00001.mpls", menu);
        writeFileSafely(base + "PLAYLIST/00002.mpls", trailer);
        for (std::size_t c = 0; c < clips.size(); ++c) {
            const DemoStream& stream = streams[c];
            writeFileSafely(base + "CLIPINF/" + clips[c].name + ".clpi",
                            clipInfoBytes(demoClip(stream.packets, stream.firstVideoPacket,
                                                   clips[c].menu, clips[c].end)));
        }
    }
    writeFileSafely(info.folder + "BDJO/00001.bdjo", bdjObjectFile());
    writeFileSafely(info.folder + "AUXDATA/sound.bdmv", soundBytes(demoSounds()));
    makeDemoMenu((dir.empty() || dir.back() == '/' ? dir : dir + "/") + "demo.mnu");
    for (std::size_t c = 0; c < clips.size(); ++c)
        writeFileSafely(info.folder + "STREAM/" + clips[c].name + ".m2ts", streams[c].bytes);

    info.titles = static_cast<int>(indexModel.indexes.titles.size());
    info.movieObjects = static_cast<int>(objects.objects.size());
    info.playlists = static_cast<int>(clips.size()) + 1;
    info.clips = static_cast<int>(clips.size());
    info.sourcePacketsPerStream = static_cast<int>(streams[0].packets);
    info.menuStreamPackets = static_cast<int>(streams[1].packets);
    return info;
}

}  // namespace lumora
