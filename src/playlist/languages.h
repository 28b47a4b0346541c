// The three-letter language codes offered by every language selector: stream
// attributes of playlists and clips, and the player's language preferences.
#pragma once

#include <string_view>
#include <vector>

namespace lumora {

// 431 codes in list order; "eng" comes first and again at its alphabetical
// place.
const std::vector<std::string_view>& languageCodes();

}  // namespace lumora
