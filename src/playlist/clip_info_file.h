// A clip information file (.clpi): it describes one stream file of the STREAM
// folder: ClipInfo (application type, recording rate, source packet count,
// ATC delta entries, font files), SequenceInfo (ATC and STC sequences),
// ProgramInfo (the elementary streams with their coding attributes), the CPI
// with its EP map, ClipMark and an optional ExtensionData block.
//
// As with playlists, every length-prefixed block is read through its own
// bounded reader and bytes a block holds beyond the known fields are kept as
// its `tail`.  Bytes between the end of a block and the start address of the
// next one (some authoring tools align blocks) are kept as the block's
// `padding`; StreamCodingInfo() of an unknown coding type and the whole
// ClipMark() are kept raw.  The writer lays the blocks out back to back and
// computes every length and start address from the content, so an unedited
// clip comes back byte for byte and an edited one is always consistent; the
// edits below keep the model's held lengths and addresses equal to what the
// writer will lay out.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/extension_data.h"
#include "core/folder.h"
#include "core/report.h"
#include "navigation/read_outcome.h"
#include "playlist/cell_edit.h"

namespace lumora {

struct TATCDeltaEntry {
    std::uint32_t atcDelta = 0;
    std::string followingClipName = "00000";  // 5 characters
    std::string clipCodecId = "M2TS";         // 4 characters
    bool operator==(const TATCDeltaEntry&) const = default;
};

struct TClipInfo {
    std::uint32_t length = 176;  // bytes after the length field
    std::uint8_t clipStreamType = 1;
    std::uint8_t applicationType = 1;  // 0..10, see applicationTypeItems()
    std::uint32_t isATCdelta = 0;      // 0 or 1
    std::uint32_t tsRecordingRate = 0;
    std::uint32_t numberOfSourcePackets = 0;  // file offset 56
    std::uint16_t tsTypeInfoLength = 30;
    std::uint8_t validityFlags = 0x80;
    std::string formatIdentifier = "HDMV";
    // The rest of TS_type_info_block(), held as read.
    Bytes networkInformation = Bytes(9, 0);
    Bytes streamFormatName = Bytes(16, 0);
    // Written only while isATCdelta is 1; kept while the flag is off so
    // switching it on again brings them back.
    std::vector<TATCDeltaEntry> atcDeltaEntries;
    // Written only for application type 6 (text subtitles).
    std::vector<std::string> fontFiles;  // 5 characters each
    Bytes tail;
    Bytes padding;  // up to the SequenceInfo start address
    bool operator==(const TClipInfo&) const = default;
};

struct TSTCSequence {
    std::uint16_t pcrPid = 0;
    std::uint32_t spnSTCStart = 0;
    std::uint32_t presentationStartTime = 0;  // 45 kHz
    std::uint32_t presentationEndTime = 0;    // 45 kHz
    bool operator==(const TSTCSequence&) const = default;
};

struct TATC_sequences {
    std::uint32_t spnATCStart = 0;
    std::uint8_t offsetSTCId = 0;
    std::vector<TSTCSequence> stcSequences;
    bool operator==(const TATC_sequences&) const = default;
};

struct TSequenceInfo {
    std::uint32_t length = 2;
    std::vector<TATC_sequences> atcSequences;
    Bytes tail;
    Bytes padding;  // up to the ProgramInfo start address
    bool operator==(const TSequenceInfo&) const = default;
};

// One elementary stream of a program sequence.  Which fields apply depends on
// the coding type (streamKind() of stream_coding.h); the others stay as they
// are.  `length` is held as read and the known fields plus `tail` are cut or
// zero-padded to it on writing.
struct TStreamCodingInfo {
    std::uint16_t streamPid = 0;
    std::uint8_t length = 21;
    std::uint8_t codingType = 0;
    std::uint8_t videoFormat = 0;
    std::uint8_t frameRate = 0;
    std::uint8_t aspectRatio = 0;  // 2 = 4:3, otherwise 16:9
    std::uint8_t ccFlag = 0;
    std::string isrcCountryCode;      // 2 characters
    std::string isrcRegistrantCode;   // 3
    std::string isrcRecordingYear;    // 2
    std::string isrcRecordingNumber;  // 5
    std::uint8_t presentationType = 0;
    std::uint8_t samplingFrequency = 0;
    std::string audioLanguage;  // 3 characters
    std::string pgLanguage;
    std::string igLanguage;
    std::uint8_t characterCode = 0;
    std::string textLanguage;
    // Bytes after the known fields; for an unknown coding type everything
    // after the coding type.
    Bytes tail;
    bool operator==(const TStreamCodingInfo&) const = default;
};

struct TProgram_sequences {
    std::uint32_t spnProgramSequenceStart = 0;
    std::uint16_t programMapPid = 0x0100;
    std::uint8_t reserved = 0;  // after the stream count; held as read
    std::vector<TStreamCodingInfo> streams;
    bool operator==(const TProgram_sequences&) const = default;
};

struct TProgramInfo {
    std::uint32_t length = 2;
    std::vector<TProgram_sequences> programSequences;
    Bytes tail;
    Bytes padding;  // up to the CPI start address
    bool operator==(const TProgramInfo&) const = default;
};

// The coarse and fine counts of a PID are the sizes of its tables in the
// matching TEP_map_fosPID.
struct TEPMapPIDEntry {
    std::uint16_t streamPid = 0;
    std::uint8_t epStreamType = 1;        // 4 bits
    std::uint32_t epMapStartAddress = 0;  // from the start of EP_map()
    bool operator==(const TEPMapPIDEntry&) const = default;
};

struct TEPCoarseEntry {
    std::uint32_t refToEPFineId = 0;  // 18 bits
    std::uint16_t ptsEPCoarse = 0;    // 14 bits
    std::uint32_t spnEPCoarse = 0;
    bool operator==(const TEPCoarseEntry&) const = default;
};

struct TEPFineEntry {
    std::uint8_t isAngleChangePoint = 0;  // 0/1
    std::uint8_t iEndPositionOffset = 0;  // 3 bits
    std::uint16_t ptsEPFine = 0;          // 11 bits
    std::uint32_t spnEPFine = 0;          // 17 bits
    bool operator==(const TEPFineEntry&) const = default;
};

struct TEP_map_fosPID {
    std::uint32_t epFineTableStartAddress = 4;  // from the start of this PID's EP map
    std::vector<TEPCoarseEntry> coarse;         // at most 65535
    std::vector<TEPFineEntry> fine;             // at most 262143
    Bytes lead;     // between the end of what came before and this PID's EP map
    Bytes padding;  // between the coarse entries and the fine table
    bool operator==(const TEP_map_fosPID&) const = default;
};

struct TCPI {
    std::uint32_t length = 0;   // 0 = no EP map at all
    std::uint16_t cpiType = 1;  // the whole word; the CPI type is its low 4 bits
    std::vector<TEPMapPIDEntry> pidEntries;
    std::vector<TEP_map_fosPID> epMaps;  // one per PID entry
    Bytes tail;
    Bytes padding;  // up to the ClipMark start address
    bool operator==(const TCPI&) const = default;
};

struct TClipMark {
    std::uint32_t length = 0;
    Bytes data;     // the whole content, kept raw
    Bytes padding;  // up to the ExtensionData start address (only with ExtensionData)
    bool operator==(const TClipMark&) const = default;
};

struct TCLPI {
    std::string typeIndicator = "HDMV";
    std::string version = "0200";
    std::uint32_t sequenceInfoStart = 220;
    std::uint32_t programInfoStart = 226;
    std::uint32_t cpiStart = 232;
    std::uint32_t clipMarkStart = 236;
    std::uint32_t extensionDataStart = 0;  // 0 = none
    TClipInfo clipInfo;
    TSequenceInfo sequenceInfo;
    TProgramInfo programInfo;
    TCPI cpi;
    TClipMark clipMark;
    TExtensionData extensionData;
    // Bytes after the last block; written back.
    Bytes trailing;
    bool operator==(const TCLPI&) const = default;
};

// ---- Reading and writing ----

// Parses a whole clip information file.  On BadFormat `clip` keeps
// everything but its type indicator and version; otherwise it holds what was
// read (up to the problem on Truncated).
ReadOutcome parseClipInfo(ByteView data, std::string_view name, TCLPI& clip);
// The file's bytes.
Bytes clipInfoBytes(const TCLPI& clip);

// The Read with its log lines ("Reading [bl]name[/bl]", the error, "[b]n[/b]
// Program stream(s) found." with log2).  Throws FileError.
ReadOutcome readClipInfoFile(const std::string& path, std::string_view name, TCLPI& clip,
                             Reporter& reporter);
// Save into `folder` (the CLIPINF folder, ending with "/"): a set "ATCd" flag
// without entries is cleared first (in the model too, with its addresses),
// then the backup step and the safe write.  False when nothing was written.
// Throws FileError.
bool saveClipInfoFile(const std::string& folder, std::string_view name, TCLPI& clip,
                      Reporter& reporter, const BackupOptions& backup);

// ---- The stream file's packet count ----

struct PacketCheck {
    std::uint64_t packets = 0;  // stream size / 192
    bool differs = false;       // and ClipInfo holds another number
};
// What the stream file's size says about ClipInfo's packet count.  A missing
// or empty stream file (size <= 0) and a count ClipInfo cannot hold never
// differ.
PacketCheck packetCheck(const TCLPI& clip, std::int64_t streamSize);
// "The m2ts file contains 1,000 packets." + line break + "Do you want to
// correct the packet value of ClipInfo?"
std::string packetQuestion(std::uint64_t packets, std::string_view separator = ",");
// Puts the count into the clip file at offset 56: the file is read, the four
// bytes changed and the file written back safely.  False (nothing written)
// when the file does not begin with "HDMV" or is too short.  Throws FileError.
bool writePacketCount(const std::string& clipPath, std::uint32_t packets);
// The check after a good Read: when the counts differ, asks the packet
// question and on Yes fixes the file and the model.  True when it fixed them.
bool checkPacketCount(TCLPI& clip, const std::string& clipPath, std::int64_t streamSize,
                      ReportSink& ask, std::string_view separator = ",");

// ---- ClipInfo edits (each keeps the lengths and start addresses right) ----

inline constexpr std::size_t kMaxATCDeltaEntries = 255;

// The "ATCd" check box: on/off moves ClipInfo's length and every later start
// address by 14 x entries + 2.  Nothing happens when the flag already is so.
void setATCDelta(TCLPI& clip, bool on);
// The application type list.  The font block exists only for type 6, so a
// change to or from 6 moves the addresses by its size.
void setApplicationType(TCLPI& clip, std::uint8_t type);
// Inserts an entry (delta 0, "00000", "M2TS") at `at` (clamped); nothing
// while "ATCd" is off or at 255 entries.  Returns the new entry's index.
std::optional<std::size_t> insertATCDeltaEntry(TCLPI& clip, std::size_t at);
// Deletes entry `index`; false when there is none.
bool deleteATCDeltaEntry(TCLPI& clip, std::size_t index);

enum class ATCDeltaColumn { AtcDelta = 1, Following = 2, ClipCodec = 3 };
// A typed cell of the ATC delta grid: "ATC_delta" is hexadecimal, "following"
// the 5-digit clip name; "clipcodec" is not editable.  Text with a blank is
// still being typed.
CellEdit editATCDeltaCell(TCLPI& clip, std::size_t index, ATCDeltaColumn column,
                          std::string_view text);

// The ExtensionData block chosen in the dialog; the start address follows
// (ClipMark start + ClipMark length + 4, or 0 for an empty block).
void setClipInfoExtensionData(TCLPI& clip, TExtensionData block);

// ---- Texts of the clip tab ----

// "res.", "Main TS for a Movie", ... (index = application type, 0..10).
const std::vector<std::string>& applicationTypeItems();

enum class ClipGrid {
    ProgramInfo,
    Sequences,
    StcSequences,
    AtcDelta,
    FontFiles,
    Cpi,
    EpCoarse,
    EpFine
};
struct ClipGridTexts {
    std::vector<std::string> headers;  // row 0, column 0 first (empty)
    std::string hint;
};
const ClipGridTexts& clipGridTexts(ClipGrid grid);

// The "Details" of a ProgramInfo stream: video format, frame rate and
// "4:3"/"16:9"; audio presentation type, sampling frequency and language; the
// language of PG and IG; character code and language of a text subtitle.
std::string streamDetailsText(const TStreamCodingInfo& stream);
// One ProgramInfo row per stream of every program sequence: number (from 1),
// "PID", "Stream type", "Details".
std::vector<std::array<std::string, 4>> programInfoRows(const TProgramInfo& info);
std::array<std::string, 4> programStreamCells(std::size_t row, const TStreamCodingInfo& stream);
// number (from 0), "SPN_ATC_start", "num of STC", "offset STC".
std::array<std::string, 4> sequenceRowCells(std::size_t index, const TATC_sequences& sequence);
// One row per STC sequence: ATC sequence number, "PCR_PID", "SPN_STC_st",
// "present. st.", "present. end".
std::vector<std::array<std::string, 5>> stcRows(const TSequenceInfo& info);
// h:mm:ss.zzz of the time of day the ticks make (hours wrap at 24).
std::string presentationTimeText(std::uint32_t ticks);
// number (from 0), "ATC_delta", "following", "clipcodec".
std::array<std::string, 4> atcDeltaRowCells(std::size_t index, const TATCDeltaEntry& entry);
// number (from 1), "filename".
std::array<std::string, 2> fontRowCells(std::size_t index, const std::string& name);
// number (from 0), "PID", "EP type", "EP coarse", "EP fine", "EP map st.".
std::array<std::string, 6> cpiRowCells(std::size_t index, const TCPI& cpi);
// The EP tables of one PID (the CPI row chosen): number as hex, then the
// fields.
std::array<std::string, 4> epCoarseRowCells(std::size_t index, const TEPCoarseEntry& entry);
std::array<std::string, 5> epFineRowCells(std::size_t index, const TEPFineEntry& entry);

// The stream labels: the stream file's name and size with thousands
// separators, or entry + stream extension and "missing file" (shown in the
// inactive-caption colour) when the stream list has no name for the entry.
struct StreamLabel {
    std::string name;
    std::string size;
    bool missing = false;
};
StreamLabel streamLabel(const DiscFolder& disc, std::size_t clipIndex,
                        std::string_view separator = ",");
// "Pla&y" and "Save P&ID": the stream file exists with a size above 0.
bool streamPlayable(const DiscFolder& disc, std::size_t clipIndex);
// "-> M&enu" after a ProgramInfo click: a playable stream and a PID in
// 0x1400..0x14FF.
bool menuExtractionEnabled(std::uint16_t pid, bool playable);
enum class ProgramInfoAction { None, Play, ExtractMenu };
// A double click on a ProgramInfo row whose "PID" cell shows `pidCell`.
ProgramInfoAction programInfoDoubleClick(std::string_view pidCell, bool playable);

}  // namespace lumora
