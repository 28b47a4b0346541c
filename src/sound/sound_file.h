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
// BadFormat and no entries; a file cut short gives Truncated with what was
// read.  Every count is checked against the bytes there are; an error names
// the file, the field and the offset.
ReadOutcome parseSound(ByteView data, std::string_view name, TSND& sound);
// The file's bytes: the header, the index, each entry's data at its start
// (recomputed: back to back, each padded to a multiple of 4 bytes), then the
// ExtensionData() block.
Bytes soundBytes(const TSND& sound);
// The Read step with its log lines ("Reading sound.bdmv", errors,
// " Found N sound entries").  Throws FileError when the file cannot be read.
ReadOutcome readSoundFile(const std::string& path, TSND& sound, Reporter& reporter);
// Save: "Saving sound.bdmv", the backup step (sound.bdmv.backup), the safe
// write.  False when nothing was written; throws FileError.
bool saveSoundFile(const std::string& auxdataFolder, const TSND& sound, Reporter& reporter,
                   const BackupOptions& backup);

// ---- Edits ----

// A new, empty file: "BCLK", "0200", sound data at 46, no ExtensionData().
TSND newSound();

// A WAV file as an entry: 48 kHz, 16-bit PCM, any channel count (more than
// one is stereo).  Nothing, with the reason (kWaveFormatError, or a missing
// "data" chunk), for anything else.
struct WavRead {
    std::optional<TSoundEntries> entry;
    std::string error;
};
WavRead entryFromWav(ByteView wav);
// The same for any WAV libsndfile reads (other rates, 8/24/32-bit, float,
// more channels), converted to 48 kHz 16-bit, more than two channels mixed
// down to stereo.
WavRead convertedEntryFromWav(ByteView wav);

// Inserts the entry after entry `after` (-1: at the front; into an empty
// file it becomes entry 0); the counts, the addresses and the later entries'
// starts follow.  Refused (false) at 255 entries.
bool insertSoundEntry(TSND& sound, int after, TSoundEntries entry);
// Deletes entry `index`; later entries move up.  False for an index beyond
// the entries.
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
// "000", "Stereo", "48kHz", "16", "1 s".
std::vector<std::string> soundRowCells(std::size_t index, const TSoundEntries& entry);
// "Data start: 00000000 (0)  Length: ...  Total data length: ...", with
// `separator` between thousands; "" for an index beyond the entries.
std::string soundEntryInfo(const TSND& sound, std::size_t index, std::string_view separator);

}  // namespace lumora
