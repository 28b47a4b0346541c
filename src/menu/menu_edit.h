// Editing the structure of an IG menu: a new menu, pages, button overlap
// groups (BOGs) and buttons created and deleted within their limits, button
// ids kept dense when a button goes (neighbours, default valid buttons,
// button commands and the page's button table follow), and the field edits
// of the page header, the BOG, buttons, windows, effects and composition
// object grids with their acceptance rules.
//
// The BOG records are what the writer writes; the page button tables are
// what the simulator and the renderer play.  Every operation here keeps the
// two in step, so a view that edits through these functions never shows
// something Save would not write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "menu/menu_model.h"

namespace lumora {

inline constexpr std::size_t kMaxMenuPages = 255;
inline constexpr std::size_t kMaxPageBogs = 255;
inline constexpr std::size_t kMaxBogButtons = 32;

// The outcome of an edit: done, or refused with the rule it broke (the
// model is then unchanged).
struct MenuEdit {
    std::string refusal;
    bool done() const { return refusal.empty(); }
    static MenuEdit refused(std::string why) { return MenuEdit{std::move(why)}; }
};

// ---- New menu ----

// Replaces the whole menu by an empty one of the given video size with one
// page holding one BOG with one button: frame rate id 1 (23.976), stream
// model 1 with the pop-up user interface, no time-outs, start time 2 s.  The
// composition number, composition state and user time-out stay.
void newMenu(TIGMenu& menu, std::uint16_t videoWidth = 1920, std::uint16_t videoHeight = 1080);

// ---- Pages, BOGs and buttons ----

// Appends a page (with one BOG of one button).  Its id is its index when no
// other page holds that id, otherwise the lowest id no page holds: after a
// delete the ids of the remaining pages stay, and a new page must not repeat
// one of them.
MenuEdit createPage(TIGMenu& menu);
// Later pages move one place down; page ids and commands stay as they are.
MenuEdit deletePage(TIGMenu& menu, std::size_t page);
// Appends a BOG (default valid button none) with one new button.
MenuEdit createBog(TIGMenu& menu, std::size_t page);
// Deletes every button of the BOG, then the BOG.
MenuEdit deleteBog(TIGMenu& menu, std::size_t page, std::size_t bog);
// Appends a button whose id is the button table's length; the table grows by
// one slot.
MenuEdit createButton(TIGMenu& menu, std::size_t page, std::size_t bog);
// Deletes button `index` of the BOG (which keeps at least one) and renumbers
// the page: ids above the deleted one drop by one in ids, neighbours, default
// valid buttons and the button operands of SetButtonPage, EnableButton and
// DisableButton; references to the deleted button take its own neighbour in
// the same direction, and commands naming it become NOPs.  The page button
// table is rebuilt one slot shorter (slots no button claims are cleared).
MenuEdit deleteButton(TIGMenu& menu, std::size_t page, std::size_t bog, std::size_t index);

// Where button `id` lies on a page.
struct ButtonPlace {
    std::size_t bog = 0;
    std::size_t index = 0;
    bool operator==(const ButtonPlace&) const = default;
};
std::optional<ButtonPlace> findButton(const TPage& page, std::uint16_t id);

// Copies button `index` of the BOG into its slot of the page button table
// (after its record was changed in place, as the command list edits do).
void storeButton(TIGMenu& menu, std::size_t page, std::size_t bog, std::size_t index);

// ---- BOG grid ----

// 0xFFFF is always taken, another value only below the button table length.
MenuEdit setDefaultValidButton(TIGMenu& menu, std::size_t page, std::size_t bog,
                               std::uint16_t button);
// The double click: none -> the first button, the last button -> none, any
// other button of the BOG -> the next one; a value naming none of the BOG's
// buttons stays.  Returns the index of the button now shown, or nothing.
std::optional<std::size_t> cycleDefaultValidButton(TIGMenu& menu, std::size_t page,
                                                   std::size_t bog);

// ---- Buttons grid ----

enum class ButtonField {
    Value,
    AutoAction,
    X,
    Y,
    Upper,
    Lower,
    Left,
    Right,
    NormalStart,
    NormalEnd,
    NormalRepeat,
    SelectedSound,
    SelectedStart,
    SelectedEnd,
    SelectedRepeat,
    ActivatedSound,
    ActivatedStart,
    ActivatedEnd,
};
// The buttons grid's column names: "value", "a.act.", "X", "Y", "upper",
// "lower", "left", "right", "n.start", "n.end", "n.repeat", "s.sound",
// "s.start", "s.end", "s.repeat", "a.sound", "a.start", "a.end".  "id" and
// "comm." name no editable field.
std::optional<ButtonField> buttonFieldNamed(std::string_view column);
std::string_view buttonFieldName(ButtonField field);
// A cell's text in the column's format: 1-4 hexadecimal digits for ids and
// objects, 1-2 for sounds, 1-4 decimal digits for "X" and "Y", "Y"/"Yes" or
// "N"/"No" (any case) for the flags.  Nothing for any other text.
std::optional<std::uint32_t> parseButtonCell(ButtonField field, std::string_view text);
// Stores the value when the column's rule accepts it: X and Y below the
// video size, neighbours within the button table, objects within the object
// table (an end follows a start that passes it), sounds below `soundCount`
// or 0xFF; a repeat flag is 0 when the animation has a single object.
MenuEdit setButtonField(TIGMenu& menu, std::size_t page, std::size_t bog, std::size_t index,
                        ButtonField field, std::uint32_t value, std::size_t soundCount);
// Replaces the button's commands (at most 9999).
MenuEdit setButtonCommands(TIGMenu& menu, std::size_t page, std::size_t bog, std::size_t index,
                           TCommands commands);

// 1 to `digits` hexadecimal or decimal digits; nothing for another text.
std::optional<std::uint32_t> parseHexCell(std::string_view text, std::size_t digits);
std::optional<std::uint32_t> parseDecimalCell(std::string_view text, std::size_t digits);

// ---- Page header ----

enum class PageField {
    UoMask1,
    UoMask2,
    AnimationFrameRateCode,
    DefaultSelectedButton,
    DefaultActivatedButton,
    Palette,
};
// The names `dump` prints them by: "uo_mask1", "uo_mask2",
// "animation_frame_rate_code", "default_selected_button",
// "default_activated_button", "palette".
std::optional<PageField> pageFieldNamed(std::string_view name);
std::string_view pageFieldName(PageField field);
// 1-8 hexadecimal digits for the UO masks, 1-3 decimal digits for the code,
// 1-4 hexadecimal digits for the buttons, 1-2 for the palette.
std::optional<std::uint32_t> parsePageField(PageField field, std::string_view text);
// The code within 0-255, the palette one the menu has; the masks and the
// default buttons take any value of their field.
MenuEdit setPageField(TIGMenu& menu, std::size_t page, PageField field, std::uint32_t value);

// ---- Objects and palettes ----

inline constexpr std::string_view kObjectReferenced =
    "Cannot delete object. Remove all reference first.";
inline constexpr std::string_view kLastPalettes =
    "Cannot delete palette. Remove all objects first.";
inline constexpr std::string_view kPaletteReferenced =
    "Cannot delete palette. Remove all reference first.";

// Deletes objects first..last when none of them is used; later objects move
// down, and every reference to them (button animations, composition objects
// of effects) follows, so the menu shows what it showed.
MenuEdit deleteObjects(TIGMenu& menu, std::size_t first, std::size_t last);
// Deletes palettes first..last when at least two palettes exist and none of
// them is used; later palettes move down, and page and effect palettes
// follow.
MenuEdit deletePalettes(TIGMenu& menu, std::size_t first, std::size_t last);

// ---- Effects (windows, effects, composition objects) ----

enum class WindowField { Id, X, Y, Width, Height };
enum class EffectField { Duration, Palette };
enum class CompositionField { Object, Window, X, Y };
// A window's position lies on the video plane and its size fits it.
MenuEdit setWindowField(TIGMenu& menu, Teffectseq& sequence, std::size_t window, WindowField field,
                        std::uint32_t value);
// The duration within the 24-bit field (90 kHz ticks), a palette the menu has.
MenuEdit setEffectField(TIGMenu& menu, Teffect& effect, EffectField field, std::uint32_t value);
// An object the menu has, a window of the sequence, a position on the plane.
MenuEdit setCompositionField(TIGMenu& menu, const Teffectseq& sequence, TCompositionObject& object,
                             CompositionField field, std::uint32_t value);
// Turning cropping on crops to the whole object; off clears the crop values.
void setObjectCropped(const TIGMenu& menu, TCompositionObject& object, bool cropped);

}  // namespace lumora
