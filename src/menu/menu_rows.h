// The texts of the menu's grids and fields, shared by the Menu tab and the
// command line: ids as hexadecimal, flags as "Yes"/"No", times as h:mm:ss.zzz.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "menu/menu_model.h"

namespace lumora {

// Objects grid: "   id", "width", "height", "referenced".
const std::array<std::string, 4>& objectGridHeaders();
std::array<std::string, 4> objectRowCells(const TIGMenu& menu, std::size_t slot);
// Palettes grid: " id", "refer.".
const std::array<std::string, 2>& paletteGridHeaders();
std::array<std::string, 2> paletteRowCells(const TIGMenu& menu, std::size_t slot);
// BOG grid (one column per BOG): " id", " default valid button",
// " number of buttons".
const std::array<std::string, 3>& bogGridHeaders();
std::array<std::string, 3> bogColumnCells(std::size_t index, const TBOG& bog);
// Buttons grid: "id", "value", "a.act.", "X", "Y", "upper", "lower", "left",
// "right", "n.start", "n.end", "n.repeat", "s.sound", "s.start", "s.end",
// "s.repeat", "a.sound", "a.start", "a.end", "comm.".
const std::array<std::string, 20>& buttonGridHeaders();
std::array<std::string, 20> buttonRowCells(const TIGbutton& button);
// Windows grid: "id", "X", "Y", "width", "height".
const std::array<std::string, 5>& windowGridHeaders();
std::array<std::string, 5> windowRowCells(const TWindow& window);
// Effects grid: "", "duration", "palette", "c.obj."; `row` counts from 1.
const std::array<std::string, 4>& effectGridHeaders();
std::array<std::string, 4> effectRowCells(std::size_t row, const Teffect& effect);
// Composition objects grid: "", "object", "window", "X pos.", "Y pos.".
const std::array<std::string, 5>& compositionObjectGridHeaders();
std::array<std::string, 5> compositionObjectRowCells(std::size_t row, const TCompositionObject& o);

// The page header fields as shown.
struct PageHeaderTexts {
    std::string uoMask1;                                             // 8 hex digits
    std::string uoMask2;                                             // 1 hex digit
    std::string animationFrameRateCode;                              // decimal
    std::string defaultSelectedButton;                               // 4 hex digits
    std::string defaultActivatedButton;                              // 4 hex digits
    std::string palette;                                             // 2 hex digits
    std::string inWindows, inEffects, outWindows, outEffects, bogs;  // decimal counts
};
PageHeaderTexts pageHeaderTexts(const TPage& page);

std::string yesNo(std::uint8_t flag);  // "Yes" for 1, "No" otherwise

}  // namespace lumora
