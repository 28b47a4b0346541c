// The video format and frame rate lists that index.bdmv, the STN tables and
// the clip information share (index = the 4-bit value).
#pragma once

#include <string>
#include <vector>

namespace lumora {

const std::vector<std::string>& videoFormatItems();  // "-", "480i", ... "576p" (values 0..7)
const std::vector<std::string>& frameRateItems();    // "-", "23.976", ... "59.94" (values 0..7)

}  // namespace lumora
