// The menu's text and JSON forms for `dump`, and the composition summary of
// `menu info`.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>

#include "menu/menu_model.h"

namespace lumora::cli {

// Video format, frame rate, user time-out, IN_time and the page ids.
void printMenuSummary(std::ostream& out, const TIGMenu& menu);
// Every field: records, then each page with its effects, BOGs and buttons,
// then the objects and palettes grids.
void printMenuText(std::ostream& out, const TIGMenu& menu);
nlohmann::ordered_json menuJson(const TIGMenu& menu);

}  // namespace lumora::cli
