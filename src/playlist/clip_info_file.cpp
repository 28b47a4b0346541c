#include "playlist/clip_info_file.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "core/file_io.h"
#include "core/text.h"
#include "playlist/block_parser.h"
#include "playlist/stream_coding.h"

namespace lumora {
namespace {

constexpr std::size_t kHeaderSize = 40;
constexpr std::size_t kHeaderReserved = 12;
constexpr std::uint32_t kClipInfoKnownSize = 176;
constexpr std::size_t kClipInfoReserved = 128;
constexpr std::size_t kNetworkInformationSize = 9;
constexpr std::size_t kStreamFormatNameSize = 16;
constexpr std::uint32_t kATCDeltaEntrySize = 14;
constexpr std::uint32_t kFontFileSize = 6;
constexpr std::uint32_t kListHeaderSize = 2;  // reserved byte and count
constexpr std::size_t kATCSequenceSize = 6;
constexpr std::size_t kSTCSequenceSize = 14;
constexpr std::size_t kProgramSequenceSize = 8;
constexpr std::size_t kStreamHeaderSize = 3;  // PID and length
constexpr std::size_t kPidEntrySize = 12;
constexpr std::size_t kCoarseEntrySize = 8;
constexpr std::size_t kFineEntrySize = 4;
constexpr std::size_t kPacketCountOffset = 56;
constexpr std::int64_t kSourcePacketSize = 192;
constexpr std::uint8_t kTextSubtitleApplication = 6;

std::uint32_t adjusted(std::uint32_t value, std::int64_t delta) {
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(value) + delta);
}

// --- Reading -------------------------------------------------------------

void readATCDeltaEntries(Parser& parser, ByteReader& r, TClipInfo& info) {
    r.skip(1);
    const std::size_t count = r.readbyte();
    if (!parser.fits(r, count, kATCDeltaEntrySize, "ATC delta entry")) return;
    info.atcDeltaEntries.resize(count);
    for (auto& entry : info.atcDeltaEntries) {
        entry.atcDelta = r.readlong();
        entry.followingClipName = r.readstring(5);
        entry.clipCodecId = r.readstring(4);
        r.skip(1);
    }
}

void readFontFiles(Parser& parser, ByteReader& r, TClipInfo& info) {
    r.skip(1);
    const std::size_t count = r.readbyte();
    if (!parser.fits(r, count, kFontFileSize, "font file")) return;
    info.fontFiles.resize(count);
    for (auto& name : info.fontFiles) {
        name = r.readstring(5);
        r.skip(1);
    }
}

bool readClipInfo(Parser& parser, ByteReader& file, TClipInfo& info) {
    info.length = file.readlong();
    ByteReader r = file.sub(info.length);
    r.skip(2);
    info.clipStreamType = r.readbyte();
    info.applicationType = r.readbyte();
    info.isATCdelta = r.readlong() & 1;
    info.tsRecordingRate = r.readlong();
    info.numberOfSourcePackets = r.readlong();
    r.skip(kClipInfoReserved);
    info.tsTypeInfoLength = r.readword();
    info.validityFlags = r.readbyte();
    info.formatIdentifier = r.readstring(4);
    info.networkInformation = r.readbytes(kNetworkInformationSize);
    info.streamFormatName = r.readbytes(kStreamFormatNameSize);
    if (!parser.check(file, r, "ClipInfo()")) return false;
    if (info.isATCdelta) readATCDeltaEntries(parser, r, info);
    if (info.applicationType == kTextSubtitleApplication) readFontFiles(parser, r, info);
    info.tail = r.readrest();
    return parser.check(file, r, "ClipInfo()");
}

bool readSTCSequences(Parser& parser, ByteReader& r, TATC_sequences& atc,
                      const std::string& field) {
    const std::size_t count = r.readbyte();
    atc.offsetSTCId = r.readbyte();
    if (!parser.fits(r, count, kSTCSequenceSize, field + " STC sequence")) return false;
    atc.stcSequences.resize(count);
    for (auto& stc : atc.stcSequences) {
        stc.pcrPid = r.readword();
        stc.spnSTCStart = r.readlong();
        stc.presentationStartTime = r.readlong();
        stc.presentationEndTime = r.readlong();
    }
    return true;
}

bool readSequenceInfo(Parser& parser, ByteReader& file, TSequenceInfo& info) {
    info.length = file.readlong();
    ByteReader r = file.sub(info.length);
    r.skip(1);
    const std::size_t count = r.readbyte();
    if (!parser.check(file, r, "SequenceInfo()")) return false;
    if (!parser.fits(r, count, kATCSequenceSize, "ATC sequence")) return false;
    info.atcSequences.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        TATC_sequences& atc = info.atcSequences[i];
        atc.spnATCStart = r.readlong();
        if (!readSTCSequences(parser, r, atc, "ATC sequence " + std::to_string(i))) return false;
    }
    info.tail = r.readrest();
    return parser.check(file, r, "SequenceInfo()");
}

void readIsrc(ByteReader& r, TStreamCodingInfo& s) {
    s.isrcCountryCode = r.readstring(2);
    s.isrcRegistrantCode = r.readstring(3);
    s.isrcRecordingYear = r.readstring(2);
    s.isrcRecordingNumber = r.readstring(5);
}

// The fields of one StreamCodingInfo() after its length byte.  A block
// shorter than its coding type's fields reads zeros for the rest: the length
// is held and the writer cuts the fields to it again.
void readCodingFields(ByteReader& r, TStreamCodingInfo& s) {
    s.codingType = r.readbyte();
    switch (streamKind(s.codingType)) {
        case StreamKind::Video: {
            const std::uint8_t format = r.readbyte();
            s.videoFormat = format >> 4;
            s.frameRate = format & 0xF;
            const std::uint8_t aspect = r.readbyte();
            s.aspectRatio = aspect >> 4;
            s.ccFlag = (aspect >> 1) & 1;
            r.skip(2);
            break;
        }
        case StreamKind::Audio:
        case StreamKind::SecondaryAudio: {
            const std::uint8_t byte = r.readbyte();
            s.presentationType = byte >> 4;
            s.samplingFrequency = byte & 0xF;
            s.audioLanguage = r.readstring(3);
            break;
        }
        case StreamKind::Graphics:
            (s.codingType == 0x90 ? s.pgLanguage : s.igLanguage) = r.readstring(3);
            r.skip(1);
            break;
        case StreamKind::Text:
            s.characterCode = r.readbyte();
            s.textLanguage = r.readstring(3);
            break;
        case StreamKind::Unknown:
            s.tail = r.readrest();  // kept raw, whatever it holds
            return;
    }
    readIsrc(r, s);
    r.skip(4);
    s.tail = r.readrest();
}

bool readStreams(Parser& parser, ByteReader& r, TProgram_sequences& program,
                 const std::string& field) {
    const std::size_t count = r.readbyte();
    program.reserved = r.readbyte();
    if (!parser.fits(r, count, kStreamHeaderSize, field + " stream")) return false;
    program.streams.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        TStreamCodingInfo& s = program.streams[i];
        s.streamPid = r.readword();
        s.length = r.readbyte();
        ByteReader coding = r.sub(s.length);
        if (r.overran()) {
            parser.fail(field + " stream " + std::to_string(i) + " (PID " +
                            hexText(s.streamPid, 4) + ") runs past ProgramInfo()",
                        r.overrunOffset());
            return false;
        }
        readCodingFields(coding, s);
    }
    return true;
}

bool readProgramInfo(Parser& parser, ByteReader& file, TProgramInfo& info) {
    info.length = file.readlong();
    ByteReader r = file.sub(info.length);
    r.skip(1);
    const std::size_t count = r.readbyte();
    if (!parser.check(file, r, "ProgramInfo()")) return false;
    if (!parser.fits(r, count, kProgramSequenceSize, "program sequence")) return false;
    info.programSequences.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        TProgram_sequences& program = info.programSequences[i];
        program.spnProgramSequenceStart = r.readlong();
        program.programMapPid = r.readword();
        if (!readStreams(parser, r, program, "program sequence " + std::to_string(i))) {
            return false;
        }
    }
    info.tail = r.readrest();
    return parser.check(file, r, "ProgramInfo()");
}

struct PidCounts {
    std::size_t coarse = 0;
    std::size_t fine = 0;
};

std::vector<PidCounts> readPidEntries(ByteReader& r, TCPI& cpi) {
    std::vector<PidCounts> counts(cpi.pidEntries.size());
    for (std::size_t i = 0; i < cpi.pidEntries.size(); ++i) {
        TEPMapPIDEntry& entry = cpi.pidEntries[i];
        entry.streamPid = r.readword();
        const std::uint32_t second = r.readword();
        const std::uint32_t third = r.readword();
        const std::uint32_t fourth = r.readword();
        entry.epMapStartAddress = r.readlong();
        entry.epStreamType = static_cast<std::uint8_t>((second >> 2) & 0xF);
        counts[i].coarse = (second & 3) << 14 | third >> 2;
        counts[i].fine = (third & 3) << 16 | fourth;
    }
    return counts;
}

// Bytes from the position up to `target` (a position of `r`), kept raw.
bool readGapTo(Parser& parser, ByteReader& r, std::uint64_t target, Bytes& gap,
               const std::string& field) {
    if (target < r.position()) {
        parser.fail(field + " starts inside the data before it", r.origin() + target);
        return false;
    }
    if (target > r.size()) {
        parser.fail(field + " starts past the end of CPI()", r.origin() + r.size());
        return false;
    }
    gap = r.readbytes(static_cast<std::size_t>(target - r.position()));
    return true;
}

bool readPidMap(Parser& parser, ByteReader& epMap, const TEPMapPIDEntry& entry, PidCounts counts,
                TEP_map_fosPID& map, const std::string& field) {
    if (!readGapTo(parser, epMap, entry.epMapStartAddress, map.lead, field)) return false;
    const std::size_t start = epMap.position();
    map.epFineTableStartAddress = epMap.readlong();
    if (!parser.fits(epMap, counts.coarse, kCoarseEntrySize, field + " EP coarse entry")) {
        return false;
    }
    map.coarse.resize(counts.coarse);
    for (auto& coarse : map.coarse) {
        const std::uint32_t word = epMap.readlong();
        coarse.refToEPFineId = word >> 14;
        coarse.ptsEPCoarse = static_cast<std::uint16_t>(word & 0x3FFF);
        coarse.spnEPCoarse = epMap.readlong();
    }
    if (!readGapTo(parser, epMap, std::uint64_t{start} + map.epFineTableStartAddress, map.padding,
                   field + " EP fine table")) {
        return false;
    }
    if (!parser.fits(epMap, counts.fine, kFineEntrySize, field + " EP fine entry")) return false;
    map.fine.resize(counts.fine);
    for (auto& fine : map.fine) {
        const std::uint32_t word = epMap.readlong();
        fine.isAngleChangePoint = static_cast<std::uint8_t>(word >> 31);
        fine.iEndPositionOffset = static_cast<std::uint8_t>((word >> 28) & 7);
        fine.ptsEPFine = static_cast<std::uint16_t>((word >> 17) & 0x7FF);
        fine.spnEPFine = word & 0x1FFFF;
    }
    return true;
}

bool readCPI(Parser& parser, ByteReader& file, TCPI& cpi) {
    cpi.length = file.readlong();
    ByteReader r = file.sub(cpi.length);
    if (!parser.check(file, r, "CPI()")) return false;
    if (cpi.length == 0) return true;
    cpi.cpiType = r.readword();
    // EP_map() is the rest of the block; its PID maps are found by their
    // start addresses, which count from its first byte.
    ByteReader epMap = r.sub(r.remaining());
    epMap.skip(1);
    const std::size_t count = epMap.readbyte();
    if (!parser.check(file, epMap, "CPI()")) return false;
    if (!parser.fits(epMap, count, kPidEntrySize, "EP map PID")) return false;
    cpi.pidEntries.resize(count);
    const std::vector<PidCounts> counts = readPidEntries(epMap, cpi);
    cpi.epMaps.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string field = "EP map of PID " + hexText(cpi.pidEntries[i].streamPid, 4);
        if (!readPidMap(parser, epMap, cpi.pidEntries[i], counts[i], cpi.epMaps[i], field)) {
            return false;
        }
    }
    cpi.tail = epMap.readrest();
    return true;
}

bool readClipMark(Parser& parser, ByteReader& file, TClipMark& mark) {
    mark.length = file.readlong();
    ByteReader r = file.sub(mark.length);
    mark.data = r.readrest();
    return parser.check(file, r, "ClipMark()");
}

// Takes the bytes between the end of the block before (`end`) and the next
// start address as that block's padding.  A start address inside the block
// before leaves no padding: the writer then lays the blocks out anew.
void takePadding(ByteView data, std::size_t end, std::uint32_t start, Bytes& padding) {
    if (start > end && start <= data.size()) {
        padding.assign(data.begin() + static_cast<std::ptrdiff_t>(end),
                       data.begin() + static_cast<std::ptrdiff_t>(start));
    }
}

// ExtensionData() at its start address, or the bytes after ClipMark() when
// there is none.
void readExtensionAndTrailing(Parser& parser, ByteView data, ByteReader& r, std::size_t end,
                              TCLPI& clip) {
    if (clip.extensionDataStart == 0) {
        if (end < data.size())
            clip.trailing.assign(data.begin() + static_cast<std::ptrdiff_t>(end), data.end());
        return;
    }
    takePadding(data, end, clip.extensionDataStart, clip.clipMark.padding);
    r.seek(clip.extensionDataStart);
    if (!readExtensionData(r, clip.extensionData)) {
        parser.fail("ExtensionData() runs past the end of the file", r.overrunOffset());
        return;
    }
    // A non-empty block takes everything to the end of the file.
    if (clip.extensionData.empty()) clip.trailing = r.readrest();
}

// The blocks after ClipInfo() at their start addresses, in file order.
void readBlocks(Parser& parser, ByteView data, ByteReader& r, TCLPI& clip) {
    if (!readClipInfo(parser, r, clip.clipInfo)) return;
    const struct {
        std::uint32_t start;
        Bytes* paddingBefore;
        std::function<void()> read;
    } blocks[] = {
        {clip.sequenceInfoStart, &clip.clipInfo.padding,
         [&] { readSequenceInfo(parser, r, clip.sequenceInfo); }},
        {clip.programInfoStart, &clip.sequenceInfo.padding,
         [&] { readProgramInfo(parser, r, clip.programInfo); }},
        {clip.cpiStart, &clip.programInfo.padding, [&] { readCPI(parser, r, clip.cpi); }},
        {clip.clipMarkStart, &clip.cpi.padding, [&] { readClipMark(parser, r, clip.clipMark); }},
    };
    std::size_t end = r.fileOffset();
    for (const auto& block : blocks) {
        takePadding(data, end, block.start, *block.paddingBefore);
        r.seek(block.start);
        block.read();
        if (parser.failed()) return;
        end = r.fileOffset();
    }
    readExtensionAndTrailing(parser, data, r, end, clip);
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
    // Exactly `width` bytes: cut or zero-padded.
    void exact(ByteView value, std::size_t width) {
        const std::size_t n = std::min(width, value.size());
        out_.insert(out_.end(), value.begin(), value.begin() + static_cast<std::ptrdiff_t>(n));
        zeros(width - n);
    }
    void zeros(std::size_t count) { out_.insert(out_.end(), count, 0); }
    // A block with its 32-bit length in front.
    void block(const Bytes& body) {
        longword(static_cast<std::uint32_t>(body.size()));
        bytes(body);
    }
    std::size_t size() const { return out_.size(); }
    Bytes& data() { return out_; }

private:
    Bytes out_;
};

template <typename Fill>
Bytes laidOut(Fill fill) {
    Writer w;
    fill(w);
    return std::move(w.data());
}

bool atcDeltaWritten(const TClipInfo& info) {
    return (info.isATCdelta & 1) != 0;
}

bool fontsWritten(const TClipInfo& info) {
    return info.applicationType == kTextSubtitleApplication;
}

Bytes clipInfoBody(const TClipInfo& info) {
    return laidOut([&info](Writer& w) {
        w.zeros(2);
        w.byte(info.clipStreamType);
        w.byte(info.applicationType);
        w.longword(info.isATCdelta & 1);
        w.longword(info.tsRecordingRate);
        w.longword(info.numberOfSourcePackets);
        w.zeros(kClipInfoReserved);
        w.word(info.tsTypeInfoLength);
        w.byte(info.validityFlags);
        w.text(info.formatIdentifier, 4);
        w.exact(info.networkInformation, kNetworkInformationSize);
        w.exact(info.streamFormatName, kStreamFormatNameSize);
        if (atcDeltaWritten(info)) {
            w.zeros(1);
            w.byte(static_cast<std::uint32_t>(info.atcDeltaEntries.size()));
            for (const auto& entry : info.atcDeltaEntries) {
                w.longword(entry.atcDelta);
                w.text(entry.followingClipName, 5);
                w.text(entry.clipCodecId, 4);
                w.zeros(1);
            }
        }
        if (fontsWritten(info)) {
            w.zeros(1);
            w.byte(static_cast<std::uint32_t>(info.fontFiles.size()));
            for (const auto& name : info.fontFiles) {
                w.text(name, 5);
                w.zeros(1);
            }
        }
        w.bytes(info.tail);
    });
}

Bytes sequenceInfoBody(const TSequenceInfo& info) {
    return laidOut([&info](Writer& w) {
        w.zeros(1);
        w.byte(static_cast<std::uint32_t>(info.atcSequences.size()));
        for (const auto& atc : info.atcSequences) {
            w.longword(atc.spnATCStart);
            w.byte(static_cast<std::uint32_t>(atc.stcSequences.size()));
            w.byte(atc.offsetSTCId);
            for (const auto& stc : atc.stcSequences) {
                w.word(stc.pcrPid);
                w.longword(stc.spnSTCStart);
                w.longword(stc.presentationStartTime);
                w.longword(stc.presentationEndTime);
            }
        }
        w.bytes(info.tail);
    });
}

void writeIsrc(Writer& w, const TStreamCodingInfo& s) {
    w.text(s.isrcCountryCode, 2);
    w.text(s.isrcRegistrantCode, 3);
    w.text(s.isrcRecordingYear, 2);
    w.text(s.isrcRecordingNumber, 5);
}

Bytes codingFields(const TStreamCodingInfo& s) {
    return laidOut([&s](Writer& w) {
        w.byte(s.codingType);
        switch (streamKind(s.codingType)) {
            case StreamKind::Video:
                w.byte(static_cast<std::uint32_t>(s.videoFormat & 0xF) << 4 | (s.frameRate & 0xF));
                w.byte(static_cast<std::uint32_t>(s.aspectRatio & 0xF) << 4 |
                       static_cast<std::uint32_t>(s.ccFlag & 1) << 1);
                w.zeros(2);
                break;
            case StreamKind::Audio:
            case StreamKind::SecondaryAudio:
                w.byte(static_cast<std::uint32_t>(s.presentationType & 0xF) << 4 |
                       (s.samplingFrequency & 0xF));
                w.text(s.audioLanguage, 3);
                break;
            case StreamKind::Graphics:
                w.text(s.codingType == 0x90 ? s.pgLanguage : s.igLanguage, 3);
                w.zeros(1);
                break;
            case StreamKind::Text:
                w.byte(s.characterCode);
                w.text(s.textLanguage, 3);
                break;
            case StreamKind::Unknown:
                w.bytes(s.tail);
                return;
        }
        writeIsrc(w, s);
        w.zeros(4);
        w.bytes(s.tail);
    });
}

Bytes programInfoBody(const TProgramInfo& info) {
    return laidOut([&info](Writer& w) {
        w.zeros(1);
        w.byte(static_cast<std::uint32_t>(info.programSequences.size()));
        for (const auto& program : info.programSequences) {
            w.longword(program.spnProgramSequenceStart);
            w.word(program.programMapPid);
            w.byte(static_cast<std::uint32_t>(program.streams.size()));
            w.byte(program.reserved);
            for (const auto& s : program.streams) {
                w.word(s.streamPid);
                w.byte(s.length);
                w.exact(codingFields(s), s.length);
            }
        }
        w.bytes(info.tail);
    });
}

bool cpiWritten(const TCPI& cpi) {
    return cpi.length != 0 || !cpi.pidEntries.empty();
}

const TEP_map_fosPID& mapOf(const TCPI& cpi, std::size_t i) {
    static const TEP_map_fosPID kEmpty;
    return i < cpi.epMaps.size() ? cpi.epMaps[i] : kEmpty;
}

std::uint32_t fineTableStart(const TEP_map_fosPID& map) {
    return static_cast<std::uint32_t>(4 + kCoarseEntrySize * map.coarse.size() +
                                      map.padding.size());
}

std::size_t pidMapSize(const TEP_map_fosPID& map) {
    return fineTableStart(map) + kFineEntrySize * map.fine.size();
}

void writePidMap(Writer& w, const TEP_map_fosPID& map) {
    w.longword(fineTableStart(map));
    for (const auto& coarse : map.coarse) {
        w.longword(coarse.refToEPFineId << 14 | (coarse.ptsEPCoarse & 0x3FFFu));
        w.longword(coarse.spnEPCoarse);
    }
    w.bytes(map.padding);
    for (const auto& fine : map.fine) {
        w.longword(static_cast<std::uint32_t>(fine.isAngleChangePoint & 1) << 31 |
                   static_cast<std::uint32_t>(fine.iEndPositionOffset & 7) << 28 |
                   static_cast<std::uint32_t>(fine.ptsEPFine & 0x7FF) << 17 |
                   (fine.spnEPFine & 0x1FFFF));
    }
}

Bytes cpiBody(const TCPI& cpi) {
    if (!cpiWritten(cpi)) return {};
    return laidOut([&cpi](Writer& w) {
        w.word(cpi.cpiType);
        // EP_map(): the start addresses count from its first byte.
        w.zeros(1);
        w.byte(static_cast<std::uint32_t>(cpi.pidEntries.size()));
        std::size_t at = kListHeaderSize + kPidEntrySize * cpi.pidEntries.size();
        for (std::size_t i = 0; i < cpi.pidEntries.size(); ++i) {
            const TEPMapPIDEntry& entry = cpi.pidEntries[i];
            const TEP_map_fosPID& map = mapOf(cpi, i);
            const auto coarse = static_cast<std::uint32_t>(map.coarse.size());
            const auto fine = static_cast<std::uint32_t>(map.fine.size());
            at += map.lead.size();
            w.word(entry.streamPid);
            w.word(static_cast<std::uint32_t>(entry.epStreamType & 0xF) << 2 | (coarse >> 14 & 3));
            w.word((coarse << 2 | (fine >> 16 & 3)) & 0xFFFF);
            w.word(fine & 0xFFFF);
            w.longword(static_cast<std::uint32_t>(at));
            at += pidMapSize(map);
        }
        for (std::size_t i = 0; i < cpi.pidEntries.size(); ++i) {
            w.bytes(mapOf(cpi, i).lead);
            writePidMap(w, mapOf(cpi, i));
        }
        w.bytes(cpi.tail);
    });
}

bool extensionDataWritten(const TCLPI& clip) {
    return clip.extensionDataStart != 0 || !clip.extensionData.empty();
}

void clipInfoResized(TCLPI& clip, std::int64_t delta) {
    clip.clipInfo.length = adjusted(clip.clipInfo.length, delta);
    clip.sequenceInfoStart = adjusted(clip.sequenceInfoStart, delta);
    clip.programInfoStart = adjusted(clip.programInfoStart, delta);
    clip.cpiStart = adjusted(clip.cpiStart, delta);
    clip.clipMarkStart = adjusted(clip.clipMarkStart, delta);
    if (clip.extensionDataStart != 0)
        clip.extensionDataStart = adjusted(clip.extensionDataStart, delta);
}

std::uint32_t atcDeltaBlockSize(const TClipInfo& info) {
    return kListHeaderSize +
           kATCDeltaEntrySize * static_cast<std::uint32_t>(info.atcDeltaEntries.size());
}

std::uint32_t fontBlockSize(const TClipInfo& info) {
    return kListHeaderSize + kFontFileSize * static_cast<std::uint32_t>(info.fontFiles.size());
}

bool hasBlank(std::string_view text) {
    return text.find(' ') != std::string_view::npos;
}

}  // namespace

ReadOutcome parseClipInfo(ByteView data, std::string_view name, TCLPI& clip) {
    ByteReader r(data);
    const std::string type = r.readstring(4);
    const std::string version = r.readstring(4);
    clip.typeIndicator = type;
    clip.version = version;
    if (type != "HDMV" || (version != "0100" && version != "0200")) {
        return {ReadStatus::BadFormat, r.position(), "Invalid format: " + std::string(name)};
    }
    TCLPI read;
    read.typeIndicator = type;
    read.version = version;
    read.sequenceInfoStart = r.readlong();
    read.programInfoStart = r.readlong();
    read.cpiStart = r.readlong();
    read.clipMarkStart = r.readlong();
    read.extensionDataStart = r.readlong();
    r.skip(kHeaderReserved);
    Parser parser(name);
    if (r.overran()) {
        parser.fail("the header runs past the end of the file", r.overrunOffset());
    } else {
        readBlocks(parser, data, r, read);
    }
    clip = std::move(read);
    return parser.outcome();
}

Bytes clipInfoBytes(const TCLPI& clip) {
    const Bytes clipInfo = clipInfoBody(clip.clipInfo);
    const Bytes sequence = sequenceInfoBody(clip.sequenceInfo);
    const Bytes program = programInfoBody(clip.programInfo);
    const Bytes cpi = cpiBody(clip.cpi);
    const bool withExtension = extensionDataWritten(clip);
    const auto after = [](std::size_t start, const Bytes& body, const Bytes& padding) {
        return static_cast<std::uint32_t>(start + 4 + body.size() + padding.size());
    };
    const std::uint32_t sequenceStart = after(kHeaderSize, clipInfo, clip.clipInfo.padding);
    const std::uint32_t programStart = after(sequenceStart, sequence, clip.sequenceInfo.padding);
    const std::uint32_t cpiStart = after(programStart, program, clip.programInfo.padding);
    const std::uint32_t markStart = after(cpiStart, cpi, clip.cpi.padding);
    const std::uint32_t extensionStart =
        withExtension ? after(markStart, clip.clipMark.data, clip.clipMark.padding) : 0;

    Writer w;
    w.text(clip.typeIndicator, 4);
    w.text(clip.version, 4);
    for (const std::uint32_t start :
         {sequenceStart, programStart, cpiStart, markStart, extensionStart}) {
        w.longword(start);
    }
    w.zeros(kHeaderReserved);
    w.block(clipInfo);
    w.bytes(clip.clipInfo.padding);
    w.block(sequence);
    w.bytes(clip.sequenceInfo.padding);
    w.block(program);
    w.bytes(clip.programInfo.padding);
    w.block(cpi);
    w.bytes(clip.cpi.padding);
    w.block(clip.clipMark.data);
    if (withExtension) {
        w.bytes(clip.clipMark.padding);
        w.bytes(extensionDataBytes(clip.extensionData));
    }
    if (!withExtension || clip.extensionData.empty()) w.bytes(clip.trailing);
    return std::move(w.data());
}

ReadOutcome readClipInfoFile(const std::string& path, std::string_view name, TCLPI& clip,
                             Reporter& reporter) {
    reporter.dlog0("Reading [bl]" + std::string(name) + "[/bl]");
    const Bytes data = readFileBytes(path);
    const ReadOutcome outcome = parseClipInfo(data, name, clip);
    if (!outcome.good()) {
        reporter.erlog(outcome.message);
        return outcome;
    }
    const auto& programs = clip.programInfo.programSequences;
    const std::size_t streams = programs.empty() ? 0 : programs.front().streams.size();
    reporter.log2("[b]" + std::to_string(streams) + "[/b] Program stream(s) found.");
    return outcome;
}

bool saveClipInfoFile(const std::string& folder, std::string_view name, TCLPI& clip,
                      Reporter& reporter, const BackupOptions& backup) {
    // A set flag with no entries would write an empty ATC delta block.
    if (clip.clipInfo.isATCdelta != 0 && clip.clipInfo.atcDeltaEntries.empty()) {
        setATCDelta(clip, false);
    }
    return saveStructureFile(reporter, backup, folder, std::string(name), clipInfoBytes(clip),
                             SaveSteps{false, false});
}

PacketCheck packetCheck(const TCLPI& clip, std::int64_t streamSize) {
    PacketCheck check;
    if (streamSize <= 0) return check;
    check.packets = static_cast<std::uint64_t>(streamSize / kSourcePacketSize);
    check.differs =
        check.packets <= 0xFFFFFFFFu && check.packets != clip.clipInfo.numberOfSourcePackets;
    return check;
}

std::string packetQuestion(std::uint64_t packets, std::string_view separator) {
    return "The m2ts file contains " + sizeText(static_cast<std::int64_t>(packets), separator) +
           " packets.\nDo you want to correct the packet value of ClipInfo?";
}

bool writePacketCount(const std::string& clipPath, std::uint32_t packets) {
    Bytes data = readFileBytes(clipPath);
    // Only a clip information file gets the count: the file may have changed
    // since it was read.
    if (data.size() < kPacketCountOffset + 4 ||
        std::string(data.begin(), data.begin() + 4) != "HDMV") {
        return false;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        data[kPacketCountOffset + i] = static_cast<std::uint8_t>(packets >> (24 - 8 * i));
    }
    writeFileSafely(clipPath, data);
    return true;
}

bool checkPacketCount(TCLPI& clip, const std::string& clipPath, std::int64_t streamSize,
                      ReportSink& ask, std::string_view separator) {
    const PacketCheck check = packetCheck(clip, streamSize);
    if (!check.differs || !ask.askYesNo(packetQuestion(check.packets, separator))) return false;
    const auto packets = static_cast<std::uint32_t>(check.packets);
    if (!writePacketCount(clipPath, packets)) return false;
    clip.clipInfo.numberOfSourcePackets = packets;
    return true;
}

void setATCDelta(TCLPI& clip, bool on) {
    TClipInfo& info = clip.clipInfo;
    if ((info.isATCdelta != 0) == on) return;
    info.isATCdelta = on ? 1 : 0;
    const std::int64_t size = atcDeltaBlockSize(info);
    clipInfoResized(clip, on ? size : -size);
}

void setApplicationType(TCLPI& clip, std::uint8_t type) {
    TClipInfo& info = clip.clipInfo;
    const bool before = fontsWritten(info);
    info.applicationType = type;
    const bool now = fontsWritten(info);
    if (before == now) return;
    const std::int64_t size = fontBlockSize(info);
    clipInfoResized(clip, now ? size : -size);
}

std::optional<std::size_t> insertATCDeltaEntry(TCLPI& clip, std::size_t at) {
    auto& entries = clip.clipInfo.atcDeltaEntries;
    if (clip.clipInfo.isATCdelta == 0 || entries.size() >= kMaxATCDeltaEntries) return std::nullopt;
    at = std::min(at, entries.size());
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), TATCDeltaEntry{});
    clipInfoResized(clip, kATCDeltaEntrySize);
    return at;
}

bool deleteATCDeltaEntry(TCLPI& clip, std::size_t index) {
    auto& entries = clip.clipInfo.atcDeltaEntries;
    if (index >= entries.size()) return false;
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    // Entries kept while the flag is off are not in the file.
    if (clip.clipInfo.isATCdelta != 0) clipInfoResized(clip, -std::int64_t{kATCDeltaEntrySize});
    return true;
}

CellEdit editATCDeltaCell(TCLPI& clip, std::size_t index, ATCDeltaColumn column,
                          std::string_view text) {
    auto& entries = clip.clipInfo.atcDeltaEntries;
    if (index >= entries.size()) return CellEdit::Shown;
    if (hasBlank(text) || text.empty()) return CellEdit::Typing;
    TATCDeltaEntry& entry = entries[index];
    switch (column) {
        case ATCDeltaColumn::AtcDelta:
            entry.atcDelta = static_cast<std::uint32_t>(hexToNumber(text));
            return CellEdit::Taken;
        case ATCDeltaColumn::Following:
            entry.followingClipName = std::string(text.substr(0, 5));
            return CellEdit::Taken;
        case ATCDeltaColumn::ClipCodec:
            break;
    }
    return CellEdit::Shown;
}

void setClipInfoExtensionData(TCLPI& clip, TExtensionData block) {
    clip.extensionData = std::move(block);
    if (clip.extensionData.empty()) {
        // Without the block the bytes before it are no longer written.
        clip.extensionDataStart = 0;
        clip.clipMark.padding.clear();
        return;
    }
    clip.extensionDataStart = static_cast<std::uint32_t>(
        clip.clipMarkStart + 4 + clip.clipMark.length + clip.clipMark.padding.size());
    // A block runs to the end of the file: bytes after it would join it.
    clip.trailing.clear();
}

// ---- Texts ----

const std::vector<std::string>& applicationTypeItems() {
    static const std::vector<std::string> items{"res.",
                                                "Main TS for a Movie",
                                                "Main TS for a Time based slide show",
                                                "Main TS for a Browsable slide show",
                                                "Sub TS for a Browsable slide show",
                                                "Sub TS for a Interactive Graphics menu",
                                                "Sub TS for a Text subtitle",
                                                "Sub TS for a one or more elementary streams path",
                                                "Sub TS for a sub-path of Stereoscopic Movie",
                                                "Sub TS for a sub-path of Stereoscopic IG menu",
                                                "Main TS for a Movie (AVCHD 1080p50/60)"};
    return items;
}

const ClipGridTexts& clipGridTexts(ClipGrid grid) {
    static const ClipGridTexts texts[] = {
        {{"", "PID", "Stream type", "Details"}, "ProgramInfo (Double click to play the m2ts file)"},
        {{"", "SPN_ATC_start", "num of STC", "offset STC"}, "Sequences"},
        {{"", "PCR_PID", "SPN_STC_st", "present. st.", "present. end"}, "STC sequences"},
        {{"", "ATC_delta", "following", "clipcodec"}, "ATC delta entries"},
        {{"", "filename"}, "Font file names"},
        {{"", "PID", "EP type", "EP coarse", "EP fine", "EP map st."},
         "CPI (Characteristic Point Information)"},
        {{"", "ref_to", "PTS_EP", "SPN_EP"}, "EP coarse entries"},
        {{"", "is_angle_ch", "I_end_pos", "PTS_EP", "SPN_EP"}, "EP fine entries"},
    };
    return texts[static_cast<std::size_t>(grid)];
}

std::string streamDetailsText(const TStreamCodingInfo& s) {
    switch (streamKind(s.codingType)) {
        case StreamKind::Video:
            return videoFormatText(s.videoFormat) + ", " + frameRateText(s.frameRate) + ", " +
                   (s.aspectRatio == 2 ? "4:3" : "16:9");
        case StreamKind::Audio:
        case StreamKind::SecondaryAudio:
            return presentationTypeText(s.presentationType) + ", " +
                   samplingFrequencyText(s.samplingFrequency) + ", " +
                   latin1ToUtf8(s.audioLanguage);
        case StreamKind::Graphics:
            return latin1ToUtf8(s.codingType == 0x90 ? s.pgLanguage : s.igLanguage);
        case StreamKind::Text:
            return std::to_string(s.characterCode) + ", " + latin1ToUtf8(s.textLanguage);
        case StreamKind::Unknown:
            break;
    }
    return "";
}

std::array<std::string, 4> programStreamCells(std::size_t row, const TStreamCodingInfo& s) {
    return {std::to_string(row + 1), hexText(s.streamPid, 4), codingTypeText(s.codingType),
            streamDetailsText(s)};
}

std::vector<std::array<std::string, 4>> programInfoRows(const TProgramInfo& info) {
    std::vector<std::array<std::string, 4>> rows;
    for (const auto& program : info.programSequences) {
        for (const auto& s : program.streams)
            rows.push_back(programStreamCells(rows.size(), s));
    }
    return rows;
}

std::array<std::string, 4> sequenceRowCells(std::size_t index, const TATC_sequences& sequence) {
    return {std::to_string(index), hexText(sequence.spnATCStart, 8),
            std::to_string(sequence.stcSequences.size()), std::to_string(sequence.offsetSTCId)};
}

std::string presentationTimeText(std::uint32_t ticks) {
    // Rounded to the nearest millisecond, as a time of day.
    const std::uint64_t ms = (std::uint64_t{ticks} * 2 + 45) / 90;
    const std::uint64_t seconds = ms / 1000;
    return std::to_string(seconds / 3600 % 24) + ":" +
           zeroPad(static_cast<std::int64_t>(seconds / 60 % 60), 2) + ":" +
           zeroPad(static_cast<std::int64_t>(seconds % 60), 2) + "." +
           zeroPad(static_cast<std::int64_t>(ms % 1000), 3);
}

std::vector<std::array<std::string, 5>> stcRows(const TSequenceInfo& info) {
    std::vector<std::array<std::string, 5>> rows;
    for (std::size_t i = 0; i < info.atcSequences.size(); ++i) {
        for (const auto& stc : info.atcSequences[i].stcSequences) {
            rows.push_back({std::to_string(i), hexText(stc.pcrPid, 4), hexText(stc.spnSTCStart, 8),
                            presentationTimeText(stc.presentationStartTime),
                            presentationTimeText(stc.presentationEndTime)});
        }
    }
    return rows;
}

std::array<std::string, 4> atcDeltaRowCells(std::size_t index, const TATCDeltaEntry& entry) {
    return {std::to_string(index), hexText(entry.atcDelta, 8),
            latin1ToUtf8(entry.followingClipName), latin1ToUtf8(entry.clipCodecId)};
}

std::array<std::string, 2> fontRowCells(std::size_t index, const std::string& name) {
    return {std::to_string(index + 1), latin1ToUtf8(name)};
}

std::array<std::string, 6> cpiRowCells(std::size_t index, const TCPI& cpi) {
    const TEPMapPIDEntry& entry = cpi.pidEntries.at(index);
    const TEP_map_fosPID& map = mapOf(cpi, index);
    return {std::to_string(index),          hexText(entry.streamPid, 4),
            hexText(entry.epStreamType, 1), hexText(map.coarse.size(), 4),
            hexText(map.fine.size(), 5),    hexText(entry.epMapStartAddress, 8)};
}

std::array<std::string, 4> epCoarseRowCells(std::size_t index, const TEPCoarseEntry& entry) {
    return {hexText(index, 4), hexText(entry.refToEPFineId, 5), hexText(entry.ptsEPCoarse, 4),
            hexText(entry.spnEPCoarse, 8)};
}

std::array<std::string, 5> epFineRowCells(std::size_t index, const TEPFineEntry& entry) {
    return {hexText(index, 5), entry.isAngleChangePoint ? "y" : "n",
            std::to_string(entry.iEndPositionOffset), hexText(entry.ptsEPFine, 4),
            hexText(entry.spnEPFine, 5)};
}

StreamLabel streamLabel(const DiscFolder& disc, std::size_t clipIndex, std::string_view separator) {
    if (clipIndex < disc.streams.size() && !disc.streams[clipIndex].name.empty()) {
        const TAVStream& stream = disc.streams[clipIndex];
        return {stream.name, sizeText(stream.size, separator), false};
    }
    const std::string entry = clipIndex < disc.clipinfs.size() ? disc.clipinfs[clipIndex] : "";
    return {entry + std::string(disc.names().streamExt), "missing file", true};
}

bool streamPlayable(const DiscFolder& disc, std::size_t clipIndex) {
    return clipIndex < disc.streams.size() && disc.streams[clipIndex].present();
}

bool menuExtractionEnabled(std::uint16_t pid, bool playable) {
    return playable && pid >= 0x1400 && pid <= 0x14FF;
}

ProgramInfoAction programInfoDoubleClick(std::string_view pidCell, bool playable) {
    if (!playable) return ProgramInfoAction::None;
    return pidCell == "1400" ? ProgramInfoAction::ExtractMenu : ProgramInfoAction::Play;
}

}  // namespace lumora
