#include "playlist/playlist_file.h"

#include <algorithm>
#include <optional>

#include "core/file_io.h"
#include "core/text.h"
#include "playlist/block_parser.h"

namespace lumora {
namespace {

constexpr std::size_t kHeaderSize = 40;
constexpr std::size_t kEntryKnownSize = 9;       // after the entry length byte
constexpr std::size_t kAttributesKnownSize = 5;  // after the attributes length byte
constexpr std::size_t kClipRefSize = 10;
constexpr std::size_t kMarkSize = 14;

bool isVideoCoding(std::uint8_t coding) {
    return coding == 0x02 || coding == 0x1B || coding == 0xEA;
}
bool isAudioCoding(std::uint8_t coding) {
    return (coding >= 0x80 && coding <= 0x86) || coding == 0xA1 || coding == 0xA2;
}
bool isGraphicsCoding(std::uint8_t coding) {
    return coding == 0x90 || coding == 0x91;
}
bool isTextCoding(std::uint8_t coding) {
    return coding == 0x92;
}

// The bytes of a block after its known fields.
Bytes tailOf(ByteReader& block) {
    return block.readrest();
}

TClipRef readClipRef(ByteReader& r) {
    TClipRef clip;
    clip.clipName = r.readstring(5);
    clip.codecId = r.readstring(4);
    clip.stcId = r.readbyte();
    return clip;
}

void readEntryFields(ByteReader& entry, TSTNStream& stream) {
    stream.entryType = entry.readbyte();
    switch (stream.entryType) {
        case kEntryPlayItem:
            stream.mainPid = entry.readword();
            break;
        case kEntrySubPath:
            stream.subPathId = entry.readbyte();
            stream.subClipEntryId = entry.readbyte();
            stream.subPid = entry.readword();
            break;
        case kEntryInMuxPip:
            stream.subPathId = entry.readbyte();
            stream.mainPid = entry.readword();
            break;
        default:
            return;  // nothing else is known of other types: the rest is kept as tail
    }
    // The known layout is 9 bytes; its unused bytes are zeros and not kept.
    entry.skip(std::min(entry.remaining(), kEntryKnownSize - entry.position()));
}

void readAttributeFields(ByteReader& attributes, TSTNStream& stream) {
    stream.codingType = attributes.readbyte();
    const std::uint8_t coding = stream.codingType;
    if (isVideoCoding(coding)) {
        const std::uint8_t byte = attributes.readbyte();
        stream.videoFormat = byte >> 4;
        stream.frameRate = byte & 0xF;
    } else if (isAudioCoding(coding)) {
        const std::uint8_t byte = attributes.readbyte();
        stream.presentationType = byte >> 4;
        stream.samplingFrequency = byte & 0xF;
        stream.language = attributes.readstring(3);
    } else if (isGraphicsCoding(coding)) {
        stream.language = attributes.readstring(3);
    } else if (isTextCoding(coding)) {
        stream.characterCode = attributes.readbyte();
        stream.language = attributes.readstring(3);
    } else {
        return;
    }
    attributes.skip(std::min(attributes.remaining(), kAttributesKnownSize - attributes.position()));
}

bool readStream(Parser& parser, ByteReader& r, TSTNStream& stream, const std::string& field) {
    stream.entryLength = r.readbyte();
    ByteReader entry = r.sub(stream.entryLength);
    readEntryFields(entry, stream);
    stream.entryTail = tailOf(entry);
    if (!parser.check(r, entry, field + " stream entry")) return false;
    stream.attributesLength = r.readbyte();
    ByteReader attributes = r.sub(stream.attributesLength);
    readAttributeFields(attributes, stream);
    stream.attributesTail = tailOf(attributes);
    return parser.check(r, attributes, field + " stream attributes");
}

// A reference list: count, reserved byte (not kept), references, a pad byte
// after an odd count.
std::vector<std::uint8_t> readReferences(ByteReader& r) {
    const std::size_t count = r.readbyte();
    r.skip(1);
    Bytes refs = r.readbytes(std::min(count, r.remaining()));
    if (refs.size() < count) r.skip(count - refs.size());  // records the overrun
    if (count % 2 == 1) r.skip(1);
    return std::vector<std::uint8_t>(refs.begin(), refs.end());
}

bool readStreams(Parser& parser, ByteReader& stn, std::vector<TSTNStream>& list, std::size_t count,
                 const std::string& field) {
    list.resize(std::min(count, stn.remaining() / 2 + 1));
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!readStream(parser, stn, list[i], field + " " + std::to_string(i + 1))) return false;
    }
    if (list.size() < count) {
        parser.fail(field + " streams run past the STN table", stn.fileOffset());
        return false;
    }
    return true;
}

bool readStn(Parser& parser, ByteReader& item, TSTN& stn, const std::string& field) {
    stn.length = item.readword();
    ByteReader r = item.sub(stn.length);
    stn.reserved = r.readword();
    std::uint8_t counts[7];
    for (auto& count : counts)
        count = r.readbyte();
    r.skip(5);
    if (!parser.check(item, r, field + " STN table")) return false;
    const std::string prefix = field + " STN ";
    if (!readStreams(parser, r, stn.video, counts[0], prefix + "video") ||
        !readStreams(parser, r, stn.audio, counts[1], prefix + "audio") ||
        !readStreams(parser, r, stn.pg, counts[2], prefix + "PG") ||
        !readStreams(parser, r, stn.pip, counts[6], prefix + "PiP PG") ||
        !readStreams(parser, r, stn.ig, counts[3], prefix + "IG")) {
        return false;
    }
    stn.secondaryAudio.resize(counts[4]);
    for (std::size_t i = 0; i < stn.secondaryAudio.size(); ++i) {
        auto& stream = stn.secondaryAudio[i];
        const std::string name = prefix + "secondary audio " + std::to_string(i + 1);
        if (!readStream(parser, r, stream.stream, name)) return false;
        stream.primaryAudioRefs = readReferences(r);
        if (!parser.check(item, r, name)) return false;
    }
    stn.secondaryVideo.resize(counts[5]);
    for (std::size_t i = 0; i < stn.secondaryVideo.size(); ++i) {
        auto& stream = stn.secondaryVideo[i];
        const std::string name = prefix + "secondary video " + std::to_string(i + 1);
        if (!readStream(parser, r, stream.stream, name)) return false;
        stream.secondaryAudioRefs = readReferences(r);
        stream.pipPgRefs = readReferences(r);
        if (!parser.check(item, r, name)) return false;
    }
    stn.tail = tailOf(r);
    return true;
}

bool readPlayItem(Parser& parser, ByteReader& list, TPlayItem& item, std::size_t index) {
    const std::string field = "PlayItem " + std::to_string(index);
    item.length = list.readword();
    ByteReader r = list.sub(item.length);
    item.clipName = r.readstring(5);
    item.codecId = r.readstring(4);
    const std::uint32_t flags = r.readword();
    item.isMultiAngle = (flags >> 4) & 1;
    item.connectionCondition = flags & 0xF;
    item.stcId = r.readbyte();
    item.inTime = r.readlong();
    item.outTime = r.readlong();
    item.uoMask1 = r.readlong();
    item.uoMask2 = r.readlong();
    item.randomAccess = r.readbyte() >> 7;
    item.stillMode = r.readbyte();
    item.stillTime = r.readword();
    item.angles = {};
    if (item.isMultiAngle) {
        const std::size_t angles = r.readbyte();
        const std::uint8_t angleFlags = r.readbyte();
        item.angles.differentAudios = (angleFlags >> 1) & 1;
        item.angles.seamlessAngleChange = angleFlags & 1;
        if (angles > 0) item.angles.clips.push_back({item.clipName, item.codecId, item.stcId});
        for (std::size_t i = 1; i < angles && !r.overran(); ++i)
            item.angles.clips.push_back(readClipRef(r));
    }
    if (!parser.check(list, r, field)) return false;
    if (!readStn(parser, r, item.stn, field)) return false;
    item.tail = tailOf(r);
    return parser.check(list, r, field);
}

bool readSubPlayItem(Parser& parser, ByteReader& path, TSubPlayItem& item,
                     const std::string& field) {
    item.length = path.readword();
    ByteReader r = path.sub(item.length);
    item.clipName = r.readstring(5);
    item.codecId = r.readstring(4);
    const std::uint32_t word = r.readlong();
    item.connectionCondition = static_cast<std::uint8_t>((word >> 1) & 0xFF);
    item.isMultiClipEntries = word & 1;
    item.stcId = r.readbyte();
    item.inTime = r.readlong();
    item.outTime = r.readlong();
    item.syncPlayItemId = r.readword();
    item.syncStartPts = r.readlong();
    item.clips.clear();
    if (item.isMultiClipEntries) {
        const std::size_t entries = r.readbyte();
        item.reserved = r.readbyte();
        if (entries > 0) item.clips.push_back({item.clipName, item.codecId, item.stcId});
        for (std::size_t i = 1; i < entries && !r.overran(); ++i)
            item.clips.push_back(readClipRef(r));
    }
    item.tail = tailOf(r);
    return parser.check(path, r, field);
}

bool readSubPath(Parser& parser, ByteReader& list, TSubPath& path, std::size_t index) {
    const std::string field = "SubPath " + std::to_string(index);
    path.length = list.readlong();
    ByteReader r = list.sub(path.length);
    path.reserved1 = r.readbyte();
    path.type = r.readbyte();
    path.repeat = r.readword();
    path.reserved2 = r.readbyte();
    const std::size_t count = r.readbyte();
    if (!parser.check(list, r, field)) return false;
    path.subPlayItems.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (!readSubPlayItem(parser, r, path.subPlayItems[i],
                             field + " SubPlayItem " + std::to_string(i))) {
            return false;
        }
    }
    path.tail = tailOf(r);
    return true;
}

bool readPlayList(Parser& parser, ByteReader& file, TPlayList& playList) {
    playList.length = file.readlong();
    ByteReader r = file.sub(playList.length);
    playList.reserved = r.readword();
    const std::size_t items = r.readword();
    const std::size_t paths = r.readword();
    if (!parser.check(file, r, "PlayList()")) return false;
    // Every PlayItem takes at least its length field, so a count the block
    // cannot hold is not taken into memory.
    playList.playItems.resize(std::min(items, r.remaining() / 2 + 1));
    for (std::size_t i = 0; i < playList.playItems.size(); ++i) {
        if (!readPlayItem(parser, r, playList.playItems[i], i)) return false;
    }
    if (playList.playItems.size() < items) {
        parser.fail(
            "PlayItem " + std::to_string(playList.playItems.size()) + " runs past PlayList()",
            r.fileOffset());
        return false;
    }
    playList.subPaths.resize(std::min(paths, r.remaining() / 4 + 1));
    for (std::size_t i = 0; i < playList.subPaths.size(); ++i) {
        if (!readSubPath(parser, r, playList.subPaths[i], i)) return false;
    }
    if (playList.subPaths.size() < paths) {
        parser.fail("SubPath " + std::to_string(playList.subPaths.size()) + " runs past PlayList()",
                    r.fileOffset());
        return false;
    }
    playList.tail = tailOf(r);
    return true;
}

bool readMarks(Parser& parser, ByteReader& file, TPlayListMark& marks) {
    marks.length = file.readlong();
    ByteReader r = file.sub(marks.length);
    const std::size_t count = r.readword();
    if (!parser.check(file, r, "PlayListMark()")) return false;
    if (!r.fits(count, kMarkSize)) {
        parser.fail(
            "mark " + std::to_string(r.remaining() / kMarkSize) + " runs past PlayListMark()",
            r.fileOffset() + r.remaining() / kMarkSize * kMarkSize);
        return false;
    }
    marks.marks.resize(count);
    for (TMark& mark : marks.marks) {
        mark.reserved = r.readbyte();
        mark.type = r.readbyte();
        mark.playItemId = r.readword();
        mark.time = r.readlong();
        mark.entryPid = r.readword();
        mark.duration = r.readlong();
    }
    marks.tail = tailOf(r);
    return true;
}

// --- Writing -------------------------------------------------------------

class Writer {
public:
    void byte(std::uint32_t v) { appendBigEndian(out_, v, 1); }
    void word(std::uint32_t v) { appendBigEndian(out_, v, 2); }
    void longword(std::uint32_t v) { appendBigEndian(out_, v, 4); }
    void text(std::string_view value, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) {
            out_.push_back(i < value.size() ? static_cast<std::uint8_t>(value[i]) : 0);
        }
    }
    void bytes(ByteView value) { out_.insert(out_.end(), value.begin(), value.end()); }
    void zeros(std::size_t count) { out_.insert(out_.end(), count, 0); }
    std::size_t size() const { return out_.size(); }
    Bytes& data() { return out_; }

private:
    Bytes out_;
};

// A part laid out in a buffer of its own, so its size is known before its
// length field is written.
template <typename Fill>
Bytes laidOut(Fill fill) {
    Writer w;
    fill(w);
    return std::move(w.data());
}

void writeClipRef(Writer& w, const TClipRef& clip) {
    w.text(clip.clipName, 5);
    w.text(clip.codecId, 4);
    w.byte(clip.stcId);
}

// The known fields of an entry or attributes, then its tail, cut or padded
// to exactly the length the stream holds.
void writeExact(Writer& w, std::uint8_t length, Bytes known, const Bytes& tail) {
    known.insert(known.end(), tail.begin(), tail.end());
    known.resize(length, 0);
    w.byte(length);
    w.bytes(known);
}

Bytes entryFields(const TSTNStream& s) {
    return laidOut([&s](Writer& w) {
        w.byte(s.entryType);
        switch (s.entryType) {
            case kEntryPlayItem:
                w.word(s.mainPid);
                w.zeros(6);
                break;
            case kEntrySubPath:
                w.byte(s.subPathId);
                w.byte(s.subClipEntryId);
                w.word(s.subPid);
                w.zeros(4);
                break;
            case kEntryInMuxPip:
                w.byte(s.subPathId);
                w.word(s.mainPid);
                w.zeros(5);
                break;
            default:
                break;
        }
    });
}

Bytes attributeFields(const TSTNStream& s) {
    return laidOut([&s](Writer& w) {
        w.byte(s.codingType);
        if (isVideoCoding(s.codingType)) {
            w.byte(static_cast<std::uint32_t>(s.videoFormat & 0xF) << 4 | (s.frameRate & 0xF));
            w.zeros(3);
        } else if (isAudioCoding(s.codingType)) {
            w.byte(static_cast<std::uint32_t>(s.presentationType & 0xF) << 4 |
                   (s.samplingFrequency & 0xF));
            w.text(s.language, 3);
        } else if (isGraphicsCoding(s.codingType)) {
            w.text(s.language, 3);
            w.zeros(1);
        } else if (isTextCoding(s.codingType)) {
            w.byte(s.characterCode);
            w.text(s.language, 3);
        }
    });
}

void writeStream(Writer& w, const TSTNStream& s) {
    writeExact(w, s.entryLength, entryFields(s), s.entryTail);
    writeExact(w, s.attributesLength, attributeFields(s), s.attributesTail);
}

void writeReferences(Writer& w, const std::vector<std::uint8_t>& refs) {
    w.byte(static_cast<std::uint32_t>(refs.size()));
    w.zeros(1);
    w.bytes(refs);
    if (refs.size() % 2 == 1) w.zeros(1);
}

Bytes stnBody(const TSTN& stn) {
    return laidOut([&stn](Writer& w) {
        w.word(stn.reserved);
        for (const std::size_t count :
             {stn.video.size(), stn.audio.size(), stn.pg.size(), stn.ig.size(),
              stn.secondaryAudio.size(), stn.secondaryVideo.size(), stn.pip.size()}) {
            w.byte(static_cast<std::uint32_t>(count));
        }
        w.zeros(5);
        for (const auto* list : {&stn.video, &stn.audio, &stn.pg, &stn.pip, &stn.ig}) {
            for (const auto& s : *list)
                writeStream(w, s);
        }
        for (const auto& s : stn.secondaryAudio) {
            writeStream(w, s.stream);
            writeReferences(w, s.primaryAudioRefs);
        }
        for (const auto& s : stn.secondaryVideo) {
            writeStream(w, s.stream);
            writeReferences(w, s.secondaryAudioRefs);
            writeReferences(w, s.pipPgRefs);
        }
        w.bytes(stn.tail);
    });
}

Bytes playItemBody(const TPlayItem& item) {
    return laidOut([&item](Writer& w) {
        w.text(item.clipName, 5);
        w.text(item.codecId, 4);
        w.word(static_cast<std::uint32_t>(item.isMultiAngle & 1) << 4 |
               (item.connectionCondition & 0xF));
        w.byte(item.stcId);
        w.longword(item.inTime);
        w.longword(item.outTime);
        w.longword(item.uoMask1);
        w.longword(item.uoMask2);
        w.byte(static_cast<std::uint32_t>(item.randomAccess & 1) << 7);
        w.byte(item.stillMode);
        w.word(item.stillTime);
        if (item.isMultiAngle) {
            w.byte(static_cast<std::uint32_t>(item.angles.clips.size()));
            w.byte(static_cast<std::uint32_t>(item.angles.differentAudios & 1) << 1 |
                   (item.angles.seamlessAngleChange & 1));
            for (std::size_t i = 1; i < item.angles.clips.size(); ++i)
                writeClipRef(w, item.angles.clips[i]);
        }
        const Bytes stn = stnBody(item.stn);
        w.word(static_cast<std::uint32_t>(stn.size()));
        w.bytes(stn);
        w.bytes(item.tail);
    });
}

Bytes subPlayItemBody(const TSubPlayItem& item) {
    return laidOut([&item](Writer& w) {
        w.text(item.clipName, 5);
        w.text(item.codecId, 4);
        w.longword(static_cast<std::uint32_t>(item.connectionCondition) << 1 |
                   (item.isMultiClipEntries & 1));
        w.byte(item.stcId);
        w.longword(item.inTime);
        w.longword(item.outTime);
        w.word(item.syncPlayItemId);
        w.longword(item.syncStartPts);
        if (item.isMultiClipEntries) {
            w.byte(static_cast<std::uint32_t>(item.clips.size()));
            w.byte(item.reserved);
            for (std::size_t i = 1; i < item.clips.size(); ++i)
                writeClipRef(w, item.clips[i]);
        }
        w.bytes(item.tail);
    });
}

Bytes subPathBody(const TSubPath& path) {
    return laidOut([&path](Writer& w) {
        w.byte(path.reserved1);
        w.byte(path.type);
        w.word(path.repeat);
        w.byte(path.reserved2);
        w.byte(static_cast<std::uint32_t>(path.subPlayItems.size()));
        for (const auto& item : path.subPlayItems) {
            const Bytes body = subPlayItemBody(item);
            w.word(static_cast<std::uint32_t>(body.size()));
            w.bytes(body);
        }
        w.bytes(path.tail);
    });
}

Bytes playListBody(const TPlayList& list) {
    return laidOut([&list](Writer& w) {
        w.word(list.reserved);
        w.word(static_cast<std::uint32_t>(list.playItems.size()));
        w.word(static_cast<std::uint32_t>(list.subPaths.size()));
        for (const auto& item : list.playItems) {
            const Bytes body = playItemBody(item);
            w.word(static_cast<std::uint32_t>(body.size()));
            w.bytes(body);
        }
        for (const auto& path : list.subPaths) {
            const Bytes body = subPathBody(path);
            w.longword(static_cast<std::uint32_t>(body.size()));
            w.bytes(body);
        }
        w.bytes(list.tail);
    });
}

Bytes marksBody(const TPlayListMark& marks) {
    return laidOut([&marks](Writer& w) {
        w.word(static_cast<std::uint32_t>(marks.marks.size()));
        for (const TMark& mark : marks.marks) {
            w.byte(mark.reserved);
            w.byte(mark.type);
            w.word(mark.playItemId);
            w.longword(mark.time);
            w.word(mark.entryPid);
            w.longword(mark.duration);
        }
        w.bytes(marks.tail);
    });
}

Bytes appInfoBody(const TMPLS& p) {
    return laidOut([&p](Writer& w) {
        w.byte(p.appInfoReserved);
        w.byte(p.playbackType);
        w.word(p.playbackCount);
        w.longword(p.uoMask1);
        w.longword(p.uoMask2);
        w.word(static_cast<std::uint32_t>(p.randomAccess & 1) << 15 |
               static_cast<std::uint32_t>(p.audioMix & 1) << 14 |
               static_cast<std::uint32_t>(p.bypassMixer & 1) << 13);
        w.bytes(p.appInfoTail);
    });
}

}  // namespace

std::uint32_t streamSize(const TSTNStream& s) {
    return 2u + s.entryLength + s.attributesLength;
}

std::uint32_t secondaryAudioSize(const TSecAudio& s) {
    const auto a = static_cast<std::uint32_t>(s.primaryAudioRefs.size());
    return streamSize(s.stream) + 2 + a + a % 2;
}

std::uint32_t secondaryVideoSize(const TSecVideo& s) {
    const auto a = static_cast<std::uint32_t>(s.secondaryAudioRefs.size());
    const auto b = static_cast<std::uint32_t>(s.pipPgRefs.size());
    return streamSize(s.stream) + 4 + a + a % 2 + b + b % 2;
}

std::uint32_t stnSize(const TSTN& stn) {
    return static_cast<std::uint32_t>(2 + stnBody(stn).size());
}
std::uint32_t playItemSize(const TPlayItem& item) {
    return static_cast<std::uint32_t>(2 + playItemBody(item).size());
}
std::uint32_t subPlayItemSize(const TSubPlayItem& item) {
    return static_cast<std::uint32_t>(2 + subPlayItemBody(item).size());
}
std::uint32_t subPathSize(const TSubPath& path) {
    return static_cast<std::uint32_t>(4 + subPathBody(path).size());
}

ReadOutcome parsePlaylist(ByteView data, std::string_view name, TMPLS& playlist) {
    ByteReader r(data);
    const std::string type = r.readstring(4);
    const std::string version = r.readstring(4);
    playlist.typeIndicator = type;
    playlist.version = version;
    if (type != "MPLS" || (version != "0100" && version != "0200")) {
        return {ReadStatus::BadFormat, r.position(), "Invalid format: " + std::string(name)};
    }
    Parser parser(name);
    TMPLS read;
    read.typeIndicator = type;
    read.version = version;
    read.playListStart = r.readlong();
    read.markStart = r.readlong();
    read.extensionDataStart = r.readlong();
    r.skip(20);
    read.appInfoLength = r.readlong();
    ByteReader appInfo = r.sub(read.appInfoLength);
    read.appInfoReserved = appInfo.readbyte();
    read.playbackType = appInfo.readbyte();
    read.playbackCount = appInfo.readword();
    read.uoMask1 = appInfo.readlong();
    read.uoMask2 = appInfo.readlong();
    const std::uint32_t flags = appInfo.readword();
    read.randomAccess = (flags >> 15) & 1;
    read.audioMix = (flags >> 14) & 1;
    read.bypassMixer = (flags >> 13) & 1;
    read.appInfoTail = tailOf(appInfo);
    std::size_t end = r.fileOffset();
    if (parser.check(r, appInfo, "AppInfoPlayList()")) {
        r.seek(read.playListStart);
        if (readPlayList(parser, r, read.playList)) end = std::max(end, r.fileOffset());
    }
    if (!parser.failed() && read.markStart != 0) {
        r.seek(read.markStart);
        if (readMarks(parser, r, read.marks)) end = std::max(end, r.fileOffset());
    }
    if (!parser.failed()) {
        if (read.extensionDataStart != 0) {
            r.seek(read.extensionDataStart);
            if (!readExtensionData(r, read.extensionData))
                parser.fail("ExtensionData() runs past the end of the file", r.overrunOffset());
        } else if (end < data.size()) {
            read.trailing.assign(data.begin() + static_cast<std::ptrdiff_t>(end), data.end());
        }
    }
    playlist = std::move(read);
    return parser.outcome();
}

Bytes playlistBytes(const TMPLS& p) {
    const Bytes appInfo = appInfoBody(p);
    const Bytes playList = playListBody(p.playList);
    const Bytes marks = marksBody(p.marks);
    const auto playListStart = static_cast<std::uint32_t>(kHeaderSize + 4 + appInfo.size());
    const auto markStart = static_cast<std::uint32_t>(playListStart + 4 + playList.size());
    const auto extensionStart =
        p.extensionData.empty() ? 0u : static_cast<std::uint32_t>(markStart + 4 + marks.size());
    Writer w;
    w.text(p.typeIndicator, 4);
    w.text(p.version, 4);
    w.longword(playListStart);
    w.longword(markStart);
    w.longword(extensionStart);
    w.zeros(20);
    w.longword(static_cast<std::uint32_t>(appInfo.size()));
    w.bytes(appInfo);
    w.longword(static_cast<std::uint32_t>(playList.size()));
    w.bytes(playList);
    w.longword(static_cast<std::uint32_t>(marks.size()));
    w.bytes(marks);
    if (extensionStart != 0) {
        w.bytes(extensionDataBytes(p.extensionData));
    } else {
        w.bytes(p.trailing);
    }
    return std::move(w.data());
}

ReadOutcome readPlaylistFile(const std::string& path, std::string_view name, TMPLS& playlist,
                             Reporter& reporter, bool silent) {
    reporter.dlog0("Reading [bl]" + std::string(name) + "[/bl]");
    const Bytes data = readFileBytes(path);
    const ReadOutcome outcome = parsePlaylist(data, name, playlist);
    if (!outcome.good()) {
        reporter.erlog(outcome.message);
        return outcome;
    }
    if (!silent) {
        reporter.log2("[b]" + std::to_string(playlist.playList.playItems.size()) +
                      "[/b] PlayItem(s), [b]" + std::to_string(playlist.playList.subPaths.size()) +
                      "[/b] SubPath(s) and [b]" + std::to_string(playlist.marks.marks.size()) +
                      "[/b] PlayListMark(s) found.");
        reporter.slogR();
    }
    return outcome;
}

bool savePlaylistFile(const std::string& folder, std::string_view name, const TMPLS& playlist,
                      Reporter& reporter, const BackupOptions& backup) {
    return saveStructureFile(reporter, backup, folder, std::string(name), playlistBytes(playlist),
                             SaveSteps{false, false});
}

void setPlaylistExtensionData(TMPLS& playlist, TExtensionData block) {
    playlist.extensionData = std::move(block);
    playlist.extensionDataStart =
        playlist.extensionData.empty() ? 0 : playlist.markStart + playlist.marks.length + 4;
}

}  // namespace lumora
