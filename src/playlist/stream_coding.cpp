#include "playlist/stream_coding.h"

#include "core/stream_values.h"

namespace lumora {
namespace {

std::string item(const std::vector<std::string>& list, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < list.size()
               ? list[static_cast<std::size_t>(index)]
               : std::string();
}

}  // namespace

StreamKind streamKind(std::uint8_t coding) {
    switch (coding) {
        case 0x02:
        case 0x1B:
        case 0xEA:
            return StreamKind::Video;
        case 0xA1:
        case 0xA2:
            return StreamKind::SecondaryAudio;
        case 0x90:
        case 0x91:
            return StreamKind::Graphics;
        case 0x92:
            return StreamKind::Text;
        default:
            return coding >= 0x80 && coding <= 0x86 ? StreamKind::Audio : StreamKind::Unknown;
    }
}

std::string codingTypeText(std::uint8_t coding) {
    switch (coding) {
        case 0x02:
            return "MPEG-2";
        case 0x1B:
            return "AVC";
        case 0xEA:
            return "VC1";
        case 0x80:
            return "LPCM";
        case 0x81:
            return "DD";
        case 0x82:
            return "DTS";
        case 0x83:
            return "Dolby Lossless";
        case 0x84:
            return "DD+";
        case 0x85:
            return "DTS-HD ex. XLL";
        case 0x86:
            return "DTS-HD XLL";
        case 0xA1:
            return "DD+";
        case 0xA2:
            return "DTS-HD";
        case 0x90:
            return "PG";
        case 0x91:
            return "IG";
        case 0x92:
            return "Text";
        default:
            return "";
    }
}

std::string videoFormatText(std::uint8_t value) {
    return value < videoFormatItems().size() ? videoFormatItems()[value] : "res.";
}

std::string frameRateText(std::uint8_t value) {
    return value < frameRateItems().size() ? frameRateItems()[value] : "res.";
}

std::string presentationTypeText(std::uint8_t value) {
    switch (value) {
        case 1:
            return "Mono";
        case 3:
            return "Stereo";
        case 6:
            return "Multi-ch.";
        case 12:
            return "St.+M-ch.";
        default:
            return value >= 13 ? "res." : "-";
    }
}

std::string samplingFrequencyText(std::uint8_t value) {
    switch (value) {
        case 1:
            return "48 kHz";
        case 4:
            return "96 kHz";
        case 5:
            return "192 kHz";
        case 12:
            return "c:48/96, e:192 kHz";
        case 14:
            return "c:48, e:192 kHz";
        case 15:
            return "res.";
        default:
            return "-";
    }
}

std::string markTypeText(std::uint8_t type) {
    if (type == 1) return "entry-mark";
    if (type == 2) return "link point";
    return type == 0 ? "" : std::to_string(type);
}

std::string subPathTypeText(std::uint8_t type) {
    static const std::vector<std::string> texts{"-",        "-",        "p. Audio",  "IG menu",
                                                "Text sub", "OoM Sync", "OoM Async", "IM Sync"};
    // Types the table does not know show their number.
    return type < texts.size() ? texts[type] : std::to_string(type);
}

std::string entryTypeText(std::uint8_t type) {
    switch (type) {
        case 1:
            return "PlayItem";
        case 2:
            return "SubPath";
        case 3:
            return "IM PIP";
        default:
            return type == 0 ? "" : std::to_string(type);
    }
}

const std::vector<std::string>& videoCodingItems() {
    static const std::vector<std::string> items{"MPEG-2", "AVC", "VC1"};
    return items;
}

const std::vector<std::string>& audioCodingItems() {
    static const std::vector<std::string> items{"LPCM",           "DD",  "DTS",
                                                "Dolby Lossless", "DD+", "DTS-HD ex. XLL",
                                                "DTS-HD XLL",     "DD+", "DTS-HD"};
    return items;
}

const std::vector<std::string>& presentationTypeItems() {
    static const std::vector<std::string> items = [] {
        std::vector<std::string> list;
        for (std::uint8_t v = 0; v <= 12; ++v)
            list.push_back(presentationTypeText(v));
        return list;
    }();
    return items;
}

const std::vector<std::string>& samplingFrequencyItems() {
    static const std::vector<std::string> items = [] {
        std::vector<std::string> list;
        for (std::uint8_t v = 0; v <= 14; ++v)
            list.push_back(samplingFrequencyText(v));
        return list;
    }();
    return items;
}

const std::vector<std::string>& entryTypeItems() {
    static const std::vector<std::string> items{"---", "PlayItem", "SubPath", "IM PIP"};
    return items;
}

std::uint8_t videoCodingForItem(int index) {
    static constexpr std::uint8_t kCodings[] = {0x02, 0x1B, 0xEA};
    return index >= 0 && index < 3 ? kCodings[index] : 0x1B;
}

int videoCodingItem(std::uint8_t coding) {
    if (coding == 0x02) return 0;
    if (coding == 0x1B) return 1;
    if (coding == 0xEA) return 2;
    return -1;
}

std::uint8_t audioCodingForItem(int index) {
    if (index >= 0 && index <= 6) return static_cast<std::uint8_t>(0x80 + index);
    if (index == 7 || index == 8) return static_cast<std::uint8_t>(0x9A + index);
    return 0x81;
}

int audioCodingItem(std::uint8_t coding) {
    if (coding >= 0x80 && coding <= 0x86) return coding - 0x80;
    if (coding == 0xA1 || coding == 0xA2) return coding - 0x9A;
    return -1;
}

std::string entryTypeHint(std::uint8_t type) {
    switch (type) {
        case 1:
            return "Identify an elementary stream of the Clip used by the PlayItem.";
        case 2:
            return "Identify an elementary stream of the Clip used by a SubPath with SubPath_type "
                   "set to "
                   "2,3,4,5 or 6 associated with the PlayItem.";
        case 3:
            return "Identify an elementary stream of the Clip used by a SubPath with SubPath_type "
                   "set to 7 "
                   "(IM Sync) associated with the PlayItem.";
        default:
            return "";
    }
}

std::string videoCodingHint(int index) {
    static const std::vector<std::string> hints{
        "MPEG-2 video stream for Primary / Secondary video",
        "MPEG-4 AVC video stream for Primary / Secondary video",
        "SMPTE VC-1 video stream for Primary / Secondary video"};
    return item(hints, index);
}

std::string audioCodingHint(int index) {
    static const std::vector<std::string> hints{
        "HDMV LPCM audio stream for Primary audio",
        "Dolby Digital (AC-3) audio stream for Primary audio",
        "DTS audio stream for Primary audio",
        "Dolby Lossless audio stream for Primary audio",
        "Dolby Digital Plus audio stream for Primary audio",
        "DTS-HD audio stream except XLL for Primary audio",
        "DTS-HD audio stream XLL for Primary audio",
        "Dolby Digital Plus audio stream for Secondary audio",
        "DTS-HD audio stream for Secondary audio stream"};
    return item(hints, index);
}

std::string presentationTypeHint(std::uint8_t value) {
    switch (value) {
        case 1:
            return "single mono channel";
        case 3:
            return "stereo (2-channel)";
        case 6:
            return "multi-channel";
        case 12:
            return "stereo (2-channel) and multi-channel for the DTS-HD/Dolby Lossless";
        default:
            return "";
    }
}

}  // namespace lumora
