#include "sound/sound_file.h"

#include <algorithm>
#include <limits>

#include "core/file_io.h"
#include "core/text.h"

namespace lumora {
namespace {

constexpr std::string_view kSoundFileName = "sound.bdmv";
constexpr std::string_view kTypeIndicator = "BCLK";
constexpr std::size_t kHeaderSize = 40;
constexpr std::size_t kIndexStart = 46;  // the first entry, after the index length, reserved, N
constexpr std::size_t kEntrySize = 10;
constexpr std::size_t kWavHeaderSize = 44;
constexpr std::size_t kWavFormatBytes = 38;  // what the acceptance rule looks at
constexpr std::uint32_t kSampleRate = 48000;

std::string hex8(std::uint64_t value) {
    return hexText(value, 8);
}

ReadOutcome truncated(std::string_view name, std::string_view field, std::size_t offset) {
    return {ReadStatus::Truncated, offset,
            std::string(name) + ": " + std::string(field) + " runs past the end of the file at $" +
                hex8(offset)};
}

bool knownVersion(const std::string& version) {
    return version == "0100" || version == "0200";
}

// Two zero bytes follow data that does not end on a multiple of 4 bytes from
// the sound data start (16-bit samples leave no other remainder).
std::uint64_t paddedEnd(std::uint64_t end) {
    return end % 4 != 0 ? end + 2 : end;
}

std::uint64_t indexEnd(const TSND& sound) {
    return kIndexStart + kEntrySize * sound.index.entries.size();
}

struct SoundLayout {
    std::uint64_t soundDataStart = 0;
    std::vector<std::uint64_t> starts;  // from the sound data start
    std::uint64_t dataEnd = 0;          // padded, from the sound data start
};

SoundLayout layoutOf(const TSND& sound) {
    SoundLayout layout;
    const std::uint64_t end = indexEnd(sound);
    const bool keepsStart =
        sound.soundDataStart >= end && sound.soundDataStart - end <= kMaxSoundDataGap;
    layout.soundDataStart = keepsStart ? sound.soundDataStart : end;
    for (const auto& entry : sound.index.entries) {
        layout.starts.push_back(layout.dataEnd);
        layout.dataEnd = paddedEnd(layout.dataEnd + entry.data.size());
    }
    return layout;
}

std::uint64_t extensionDataStartOf(const TSND& sound, const SoundLayout& layout) {
    return sound.extensionData.empty() ? 0 : layout.soundDataStart + layout.dataEnd;
}

// ---- Reading ----

TSoundEntries readEntry(ByteReader& reader) {
    TSoundEntries entry;
    const std::uint8_t attributes = reader.readbyte();
    entry.channelConfiguration = attributes >> 4;
    entry.samplingFrequency = attributes & 0xF;
    const std::uint8_t bits = reader.readbyte();
    entry.bitsPerSample = bits >> 6;
    entry.reservedBits = bits & 0x3F;
    entry.start = reader.readlong();
    entry.length = reader.readlong();
    return entry;
}

// The entries' data at sound data start + entry start.  What the file holds
// of a cut entry is kept; the first entry that runs past the end is reported.
ReadOutcome readEntryData(ByteView data, std::string_view name, TSND& sound) {
    ReadOutcome outcome;
    for (std::size_t i = 0; i < sound.index.entries.size(); ++i) {
        TSoundEntries& entry = sound.index.entries[i];
        const std::uint64_t at = std::uint64_t{sound.soundDataStart} + entry.start;
        ByteReader reader(data);
        reader.seek(static_cast<std::size_t>(std::min<std::uint64_t>(at, data.size() + 1)));
        if (!reader.overran() && reader.fits(entry.length, 1)) {
            entry.data = reader.readbytes(entry.length);
            continue;
        }
        entry.data = reader.readrest();
        if (outcome.good()) {
            outcome = truncated(name, "data of sound entry " + std::to_string(i),
                                static_cast<std::size_t>(at));
        }
    }
    return outcome;
}

ReadOutcome readSoundExtensionData(ByteView data, std::string_view name, TSND& sound) {
    if (sound.extensionDataStart == 0) return {};
    ByteReader reader(data);
    reader.seek(sound.extensionDataStart);
    if (reader.overran() || !readExtensionData(reader, sound.extensionData))
        return truncated(name, "ExtensionData()", reader.overrunOffset());
    return {};
}

// ---- Writing ----

void writeEntry(ScratchBuffer& out, const TSoundEntries& entry, std::uint64_t start) {
    out.addbyte(static_cast<std::uint32_t>(entry.channelConfiguration & 0xF) << 4 |
                (entry.samplingFrequency & 0xFu));
    out.addbyte(static_cast<std::uint32_t>(entry.bitsPerSample & 3) << 6);
    out.addlong(static_cast<std::uint32_t>(start));
    out.addlong(static_cast<std::uint32_t>(entry.data.size()));
}

// ---- WAV ----

std::uint32_t littleEndian(ByteView bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

bool hasTag(ByteView bytes, std::size_t at, std::string_view tag) {
    return bytes.size() >= at + tag.size() &&
           std::equal(tag.begin(), tag.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

// RIFF "fmt " of 48 kHz 16-bit PCM; the channel count and block alignment
// are taken as they come.
bool isAcceptedFormat(ByteView wav) {
    return wav.size() >= kWavFormatBytes && hasTag(wav, 0, "RIFF") && hasTag(wav, 8, "WAVE") &&
           hasTag(wav, 12, "fmt ") && littleEndian(wav, 20, 2) == 1 &&
           littleEndian(wav, 24, 4) == kSampleRate && littleEndian(wav, 34, 2) == 16;
}

struct Chunk {
    std::uint64_t start = 0;  // of the contents
    std::uint64_t size = 0;   // as much as the file holds
};

// Walks the chunks from the end of "fmt " to "data".
std::optional<Chunk> findDataChunk(ByteView wav) {
    std::uint64_t at = 20 + std::uint64_t{littleEndian(wav, 16, 4)};
    while (at + 8 <= wav.size()) {
        const auto position = static_cast<std::size_t>(at);
        const std::uint32_t size = littleEndian(wav, position + 4, 4);
        at += 8;
        if (hasTag(wav, position, "data"))
            return Chunk{at, std::min<std::uint64_t>(size, wav.size() - at)};
        at += std::uint64_t{size} + (size & 1);  // chunks are word-aligned
    }
    return std::nullopt;
}

// Sample data changes byte order between the file (big-endian) and WAV
// (little-endian); a trailing odd byte is not a sample and stays.
Bytes swappedPairs(ByteView bytes) {
    Bytes out(bytes.begin(), bytes.end());
    for (std::size_t i = 0; i + 1 < out.size(); i += 2)
        std::swap(out[i], out[i + 1]);
    return out;
}

// ---- Texts ----

// n / d rounded to the nearest integer, ties to even.
std::uint64_t roundedHalfEven(std::uint64_t n, std::uint64_t d) {
    const std::uint64_t quotient = n / d;
    const std::uint64_t twice = 2 * (n % d);
    if (twice > d || (twice == d && quotient % 2 == 1)) return quotient + 1;
    return quotient;
}

// Hundredths as a decimal number without trailing zeros: 100 "1", 50 "0.5".
std::string hundredthsText(std::uint64_t hundredths) {
    std::string text = std::to_string(hundredths / 100);
    const std::uint64_t fraction = hundredths % 100;
    if (fraction == 0) return text;
    text += '.' + zeroPad(static_cast<std::int64_t>(fraction), 2);
    if (text.back() == '0') text.pop_back();
    return text;
}

std::string channelText(std::uint8_t configuration) {
    if (configuration == kSoundMono) return "Mono";
    if (configuration == kSoundStereo) return "Stereo";
    return "-";
}

std::string placementText(std::uint64_t value, std::string_view separator) {
    return hex8(value) + " (" + sizeText(static_cast<std::int64_t>(value), separator) + ")";
}

}  // namespace

ReadOutcome parseSound(ByteView data, std::string_view name, TSND& sound) {
    ByteReader reader(data);
    TSND read;
    read.typeIndicator = reader.readstring(4);
    read.version = reader.readstring(4);
    if (reader.overran() || read.typeIndicator != kTypeIndicator || !knownVersion(read.version)) {
        sound = TSND{};
        sound.typeIndicator = std::move(read.typeIndicator);
        sound.version = std::move(read.version);
        return {ReadStatus::BadFormat, reader.position(),
                std::string(name) + " format error at $" + hex8(reader.position())};
    }
    read.soundDataStart = reader.readlong();
    read.extensionDataStart = reader.readlong();
    read.reserved = reader.readbytes(24);
    if (reader.overran()) {
        const std::size_t at = reader.overrunOffset();
        sound = std::move(read);
        return truncated(name, "header", at);
    }
    read.index.length = reader.readlong();
    read.index.reserved = reader.readbyte();
    const std::size_t count = reader.readbyte();
    if (reader.overran()) {
        const std::size_t at = reader.overrunOffset();
        sound = std::move(read);
        return truncated(name, "SoundIndex()", at);
    }
    // Only as many entries as the file holds are taken into memory.
    const std::size_t present =
        reader.fits(count, kEntrySize) ? count : reader.remaining() / kEntrySize;
    read.index.entries.reserve(present);
    for (std::size_t i = 0; i < present; ++i)
        read.index.entries.push_back(readEntry(reader));
    if (present < count) {
        const std::size_t at = reader.fileOffset();
        sound = std::move(read);
        return truncated(name, "sound entry " + std::to_string(present), at);
    }
    if (read.soundDataStart > data.size()) {
        const std::size_t at = read.soundDataStart;
        sound = std::move(read);
        return truncated(name, "sound data start address", at);
    }
    ReadOutcome outcome = readEntryData(data, name, read);
    const ReadOutcome extension = readSoundExtensionData(data, name, read);
    if (outcome.good()) outcome = extension;
    sound = std::move(read);
    return outcome;
}

void layOutSound(TSND& sound) {
    const SoundLayout layout = layoutOf(sound);
    sound.soundDataStart = static_cast<std::uint32_t>(layout.soundDataStart);
    for (std::size_t i = 0; i < sound.index.entries.size(); ++i) {
        TSoundEntries& entry = sound.index.entries[i];
        entry.start = static_cast<std::uint32_t>(layout.starts[i]);
        entry.length = static_cast<std::uint32_t>(entry.data.size());
    }
    sound.extensionDataStart = static_cast<std::uint32_t>(extensionDataStartOf(sound, layout));
}

Bytes soundBytes(const TSND& sound) {
    const SoundLayout layout = layoutOf(sound);
    const auto& entries = sound.index.entries;
    ScratchBuffer out;
    out.block(0);
    out.addtext(sound.typeIndicator, 4);
    out.addtext(sound.version, 4);
    out.addlong(static_cast<std::uint32_t>(layout.soundDataStart));
    out.addlong(static_cast<std::uint32_t>(extensionDataStartOf(sound, layout)));
    out.setCursor(kHeaderSize);  // 24 reserved bytes, written as zero
    out.addlong(sound.index.length);
    out.addbyte(0);
    out.addbyte(static_cast<std::uint32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i)
        writeEntry(out, entries[i], layout.starts[i]);
    // A kept gap is zeros, also when no data follows it.
    out.size(std::max(out.length(), static_cast<std::size_t>(layout.soundDataStart)));
    out.setCursor(static_cast<std::size_t>(layout.soundDataStart));
    for (const auto& entry : entries) {
        out.addbytes(entry.data);
        const std::size_t written = out.cursor() - static_cast<std::size_t>(layout.soundDataStart);
        if (written % 4 != 0) out.addword(0);
    }
    if (!sound.extensionData.empty()) out.addbytes(extensionDataBytes(sound.extensionData));
    const ByteView bytes = out.first(out.cursor());
    return Bytes(bytes.begin(), bytes.end());
}

ReadOutcome readSoundFile(const std::string& path, TSND& sound, Reporter& reporter) {
    reporter.dlog0("Reading " + std::string(kSoundFileName));
    sound.index.entries.clear();
    const Bytes data = readFileBytes(path);
    const ReadOutcome outcome = parseSound(data, kSoundFileName, sound);
    switch (outcome.status) {
        case ReadStatus::BadFormat:
            return outcome;  // such a file just has no entries
        case ReadStatus::Truncated:
        case ReadStatus::TooManyTitles:
            reporter.erlog(outcome.message);
            return outcome;
        case ReadStatus::Good:
            break;
    }
    const std::size_t count = sound.index.entries.size();
    reporter.log(" Found [b]" + std::to_string(count) + "[/b] sound entr" +
                 (count <= 1 ? "y" : "ies"));
    reporter.slogR();
    return outcome;
}

bool saveSoundFile(const std::string& auxdataFolder, const TSND& sound, Reporter& reporter,
                   const BackupOptions& backup) {
    std::string folder = auxdataFolder;
    if (folder.empty() || folder.back() != '/') folder += '/';
    return saveStructureFile(reporter, backup, folder, std::string(kSoundFileName),
                             soundBytes(sound), SaveSteps{false, false});
}

TSND newSound() {
    return TSND{};
}

WavRead entryFromWav(ByteView wav) {
    if (!isAcceptedFormat(wav)) return {std::nullopt, std::string(kWaveFormatError)};
    const std::optional<Chunk> chunk = findDataChunk(wav);
    if (!chunk) return {std::nullopt, std::string(kWaveDataError)};
    const std::size_t whole = static_cast<std::size_t>(chunk->size) & ~std::size_t{1};
    TSoundEntries entry;
    entry.channelConfiguration = littleEndian(wav, 22, 2) == 1 ? kSoundMono : kSoundStereo;
    entry.samplingFrequency = kSound48kHz;
    entry.bitsPerSample = kSound16Bits;
    entry.data = swappedPairs(wav.subspan(static_cast<std::size_t>(chunk->start), whole));
    entry.length = static_cast<std::uint32_t>(entry.data.size());
    return {std::move(entry), {}};
}

bool insertSoundEntry(TSND& sound, int after, TSoundEntries entry) {
    auto& entries = sound.index.entries;
    if (entries.size() >= kMaxSoundEntries) return false;
    // Every address of the grown file has to fit its 32-bit field.
    const SoundLayout layout = layoutOf(sound);
    const std::uint64_t grownEnd = layout.soundDataStart + kEntrySize + layout.dataEnd +
                                   paddedEnd(entry.data.size()) + 4 + sound.extensionData.length;
    if (grownEnd > std::numeric_limits<std::uint32_t>::max()) return false;

    const std::size_t at =
        std::min(static_cast<std::size_t>(std::max(after + 1, 0)), entries.size());
    entry.start = 0;
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
    sound.index.length += kEntrySize;
    sound.soundDataStart += kEntrySize;
    layOutSound(sound);
    return true;
}

bool deleteSoundEntry(TSND& sound, std::size_t index) {
    auto& entries = sound.index.entries;
    if (index >= entries.size()) return false;
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    sound.index.length -= std::min<std::uint32_t>(sound.index.length, kEntrySize);
    sound.soundDataStart -= std::min<std::uint32_t>(sound.soundDataStart, kEntrySize);
    layOutSound(sound);
    return true;
}

void setSoundExtensionData(TSND& sound, TExtensionData block) {
    sound.extensionData = std::move(block);
    sound.extensionDataStart =
        static_cast<std::uint32_t>(extensionDataStartOf(sound, layoutOf(sound)));
}

Bytes wavImage(const TSoundEntries& entry) {
    const std::uint32_t channels = entry.channelConfiguration == kSoundStereo ? 2 : 1;
    const std::uint32_t blockAlign = channels * 2;
    const auto dataSize = static_cast<std::uint32_t>(entry.data.size());
    // The header's fields by position: one 44-byte block filled in place.
    Bytes out(kWavHeaderSize, 0);
    const auto tag = [&out](std::size_t at, std::string_view text) {
        std::copy(text.begin(), text.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
    };
    const auto field = [&out](std::size_t at, std::uint32_t value, int width) {
        for (int i = 0; i < width; ++i)
            out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    tag(0, "RIFF");
    field(4, static_cast<std::uint32_t>(kWavHeaderSize - 8) + dataSize, 4);
    tag(8, "WAVE");
    tag(12, "fmt ");
    field(16, 16, 4);
    field(20, 1, 2);  // PCM
    field(22, channels, 2);
    field(24, kSampleRate, 4);
    field(28, blockAlign * kSampleRate, 4);
    field(32, blockAlign, 2);
    field(34, 16, 2);
    tag(36, "data");
    field(40, dataSize, 4);
    const Bytes samples = swappedPairs(entry.data);
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

std::string soundFileName(std::size_t index) {
    return "sound_" + zeroPad(static_cast<std::int64_t>(index), 3) + ".wav";
}

const std::vector<std::string>& soundGridHeaders() {
    static const std::vector<std::string> headers{"No.", "channel", "frequency", "bits/sample",
                                                  "length"};
    return headers;
}

std::vector<std::string> soundRowCells(std::size_t index, const TSoundEntries& entry) {
    // 1920 bytes are a hundredth of a second of 48 kHz 16-bit stereo.
    return {zeroPad(static_cast<std::int64_t>(index), 3), channelText(entry.channelConfiguration),
            entry.samplingFrequency == kSound48kHz ? "48kHz" : "-",
            entry.bitsPerSample == kSound16Bits ? "16" : "-",
            hundredthsText(roundedHalfEven(entry.length, 1920)) + " s"};
}

std::string soundEntryInfo(const TSND& sound, std::size_t index, std::string_view separator) {
    const auto& entries = sound.index.entries;
    if (index >= entries.size()) return "";
    const TSoundEntries& entry = entries[index];
    const std::uint64_t total = std::uint64_t{entries.back().start} + entries.back().length;
    return "Data start: " + placementText(entry.start, separator) +
           "  Length: " + placementText(entry.length, separator) +
           "  Total data length: " + hex8(total) + "(" +
           sizeText(static_cast<std::int64_t>(total), separator) + ")";
}

}  // namespace lumora
