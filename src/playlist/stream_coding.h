// Stream coding values and their texts, shared by the playlist's STN tables
// and the clip information's ProgramInfo.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

enum class StreamKind { Video, Audio, SecondaryAudio, Graphics, Text, Unknown };

StreamKind streamKind(std::uint8_t codingType);
std::string codingTypeText(std::uint8_t codingType);    // "AVC", "DD", ... ("" when unknown)
std::string videoFormatText(std::uint8_t value);        // 0..15, "res." from 8
std::string frameRateText(std::uint8_t value);          // 0..15, "res." from 8
std::string presentationTypeText(std::uint8_t value);   // "Mono", "Stereo", ...
std::string samplingFrequencyText(std::uint8_t value);  // "48 kHz", ...
std::string markTypeText(std::uint8_t type);            // "entry-mark", "link point", ""
std::string subPathTypeText(std::uint8_t type);         // "-", "p. Audio", "IG menu", ...
std::string entryTypeText(std::uint8_t type);           // "PlayItem", "SubPath", "IM PIP", ""

// The items of the selection lists of the STN edit row.
const std::vector<std::string>& videoCodingItems();        // "MPEG-2", "AVC", "VC1"
const std::vector<std::string>& audioCodingItems();        // 9 items
const std::vector<std::string>& presentationTypeItems();   // values 0..12
const std::vector<std::string>& samplingFrequencyItems();  // values 0..14
const std::vector<std::string>& entryTypeItems();          // "---", "PlayItem", "SubPath", "IM PIP"
// Coding type of a list item and back (-1 when the coding has no item).
std::uint8_t videoCodingForItem(int item);
int videoCodingItem(std::uint8_t codingType);
std::uint8_t audioCodingForItem(int item);
int audioCodingItem(std::uint8_t codingType);
// The hints that follow the selections.
std::string entryTypeHint(std::uint8_t type);
std::string videoCodingHint(int item);
std::string audioCodingHint(int item);
std::string presentationTypeHint(std::uint8_t value);  // "" when the value has none

}  // namespace lumora
