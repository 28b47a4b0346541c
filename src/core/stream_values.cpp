#include "core/stream_values.h"

namespace lumora {

const std::vector<std::string>& videoFormatItems() {
    static const std::vector<std::string> items{"-",     "480i", "576i",  "480p",
                                                "1080i", "720p", "1080p", "576p"};
    return items;
}

const std::vector<std::string>& frameRateItems() {
    static const std::vector<std::string> items{"-",     "23.976", "24", "25",
                                                "29.97", "-",      "50", "59.94"};
    return items;
}

}  // namespace lumora
