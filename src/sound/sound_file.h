// sound.bdmv: the short sounds menu buttons play when they are selected or
// activated.  The model (`TSND`) holds raw values: addresses and lengths as
// the file has them, each entry's samples as 16-bit big-endian PCM at 48 kHz.
// Reader, writer, the edits that keep the header's counts and addresses in
// step (create, insert from WAV, delete), the WAV image of an entry (for
// export and playback), and the texts of the "Sound entries" grid.
#pragma once

#include <cstddef>
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

namespace lumora {

inline constexpr std::size_t kMaxSoundEntries = 255;
inline constexpr std::uint8_t kSoundMono = 1;
inline constexpr std::uint8_t kSoundStereo = 3;
inline constexpr std::uint8_t kSound48kHz = 1;
inline constexpr std::uint8_t kSound16Bits = 1;

// The refusal of a WAV file that is not 48 kHz 16-bit PCM.
inline constexpr std::string_view kWaveFormatError =
    "Wave format error! (Mandatory 48 kHz, 16 bit, PCM)";
// The refusal of a WAV file whose chunks end before a "data" chunk.
inline constexpr std::string_view kWaveDataError = "Wave file error! (no data chunk)";
// A gap between the sound index and the sound data that Save keeps: room a
// writer left to align the data.  A larger distance is a broken address.
inline constexpr std::uint32_t kMaxSoundDataGap = 65536;

struct TSoundEntries {
    std::uint8_t channelConfiguration = kSoundStereo;  // 4 bits: 1 mono, 3 stereo
    std::uint8_t samplingFrequency = kSound48kHz;      // 4 bits: 1 = 48 kHz
    std::uint8_t bitsPerSample = kSound16Bits;         // 2 bits: 1 = 16 bits
    std::uint8_t reservedBits = 0;                     // the attribute byte's low 6 bits, as read
    std::uint32_t start = 0;                           // from the sound data start address
    std::uint32_t length = 0;                          // bytes of sample data
    Bytes data;  // 16-bit big-endian samples, interleaved for stereo
    bool operator==(const TSoundEntries&) const = default;
};

struct TSoundIndex {
    std::uint32_t length = 2;  // bytes after the length field: 2 + 10 x entries
    std::uint8_t reserved = 0;
    std::vector<TSoundEntries> entries;  // at most kMaxSoundEntries
    bool operator==(const TSoundIndex&) const = default;
};

struct TSND {
    std::string typeIndicator = "BCLK";
    std::string version = "0200";
    std::uint32_t soundDataStart = 46;
    std::uint32_t extensionDataStart = 0;  // 0 = no ExtensionData()
    Bytes reserved = Bytes(24, 0);         // held as read, written as zero
    TSoundIndex index;
    TExtensionData extensionData;
    bool operator==(const TSND&) const = default;
};

// ---- Reading and writing ----

// Parses a whole sound.bdmv.  A wrong type indicator or version gives
// BadFormat and a model with no entries (the indicator and version as read);
// a file cut short, an address past the end or a sound data start address
// past the end gives Truncated with what was read (an entry's data cut at the
// end of the file).  Every count is checked against the bytes there are; an
// error names the file, the field and the offset.
ReadOutcome parseSound(ByteView data, std::string_view name, TSND& sound);
// The file's bytes, laid out as layOutSound() says: the header, the index,
// the sound data at the sound data start address, each entry's data at its
// start, then the ExtensionData() block.  Each entry's data is written as
// held; its length field is the data's size.
Bytes soundBytes(const TSND& sound);
// The layout Save writes, put into the model: each entry's length is its
// data's size and its start follows the previous entry's data, plus 2 bytes
// when that sum is not a multiple of 4; the ExtensionData() start address
// follows the last entry the same way (0 without a block).  The sound data
// start address stays as held when it lies at or after the end of the index
// and at most kMaxSoundDataGap beyond it (a real file's gap is written back
// as zeros); otherwise it becomes the end of the index.  The index length and
// the header's other fields stay as held.
void layOutSound(TSND& sound);
// The Read step with its log lines ("Reading sound.bdmv", errors,
// " Found N sound entries").  A wrong type indicator or version logs nothing
// more: the file just yields no entries.  Throws FileError when the file
// cannot be read.
ReadOutcome readSoundFile(const std::string& path, TSND& sound, Reporter& reporter);
// Save: "Saving sound.bdmv", the backup step (sound.bdmv.backup), the safe
// write of soundBytes() to `auxdataFolder` + "sound.bdmv", "Ready.".  False
// when nothing was written; throws FileError.  The model keeps its addresses:
// layOutSound() gives it those of the file written.
bool saveSoundFile(const std::string& auxdataFolder, const TSND& sound, Reporter& reporter,
                   const BackupOptions& backup);

// ---- Edits ----

// A new, empty file: "BCLK", "0200", sound data at 46, no ExtensionData().
TSND newSound();

// A WAV file as an entry: 48 kHz, 16-bit PCM, any channel count (more than
// one is stereo; the samples are taken as they are).  Nothing, with the
// reason (kWaveFormatError, or kWaveDataError for a missing "data" chunk),
// for anything else.  The chunks before "data" are skipped by their sizes
// (with the pad byte of an odd size); a data chunk that claims more than the
// file holds gives the whole samples that are there.
struct WavRead {
    std::optional<TSoundEntries> entry;
    std::string error;
};
WavRead entryFromWav(ByteView wav);
// The same for any WAV libsndfile reads (other rates, 8/24/32-bit, float,
// more channels), converted to 48 kHz 16-bit, more than two channels mixed
// down to stereo (mono stays mono).  Samples at 48 kHz come through exactly
// when they fit in 16 bits.
WavRead convertedEntryFromWav(ByteView wav);

// Inserts the entry after entry `after` (-1: at the front; past the last
// entry: at the end; into an empty file it becomes entry 0); the counts, the
// addresses and the entries' starts follow at once (layOutSound), so the
// entry information is right before the next save.  Refused (false) at 255
// entries and when the data would put an address beyond 32 bits.
bool insertSoundEntry(TSND& sound, int after, TSoundEntries entry);
// Deletes entry `index`; later entries move up, the counts and addresses
// follow.  False for an index beyond the entries.
bool deleteSoundEntry(TSND& sound, std::size_t index);
// A new ExtensionData() block (empty: none); its start address follows.
void setSoundExtensionData(TSND& sound, TExtensionData block);

// ---- WAV images ----

// The 44-byte RIFF header and the entry's samples, little-endian.
Bytes wavImage(const TSoundEntries& entry);
// "sound_" + index as 3 digits + ".wav".
std::string soundFileName(std::size_t index);

// ---- Texts ----

// "No.", "channel", "frequency", "bits/sample", "length".
const std::vector<std::string>& soundGridHeaders();
// "000", "Stereo", "48kHz", "16", "1 s": the length is the data length in
// hundredths of a second, rounded half to even, without trailing zeros.
std::vector<std::string> soundRowCells(std::size_t index, const TSoundEntries& entry);
// "Data start: 00000000 (0)  Length: 0002EE00 (192,000)  Total data length:
// 0002EE00(192,000)", with `separator` between thousands; the total is the
// last entry's start plus its length.  "" for an index beyond the entries.
std::string soundEntryInfo(const TSND& sound, std::size_t index, std::string_view separator);

}  // namespace lumora
