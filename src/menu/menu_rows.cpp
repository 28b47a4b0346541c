#include "menu/menu_rows.h"

#include "core/text.h"

namespace lumora {

std::string yesNo(std::uint8_t flag) {
    return flag == 1 ? "Yes" : "No";
}

const std::array<std::string, 4>& objectGridHeaders() {
    static const std::array<std::string, 4> headers{"   id", "width", "height", "referenced"};
    return headers;
}

std::array<std::string, 4> objectRowCells(const TIGMenu& menu, std::size_t slot) {
    if (slot >= menu.objects.size()) return {};
    const TIGobject& o = menu.objects[slot];
    return {hexText(o.id, 4), std::to_string(o.width), std::to_string(o.height),
            getobjref(menu, slot)};
}

const std::array<std::string, 2>& paletteGridHeaders() {
    static const std::array<std::string, 2> headers{" id", "refer."};
    return headers;
}

std::array<std::string, 2> paletteRowCells(const TIGMenu& menu, std::size_t slot) {
    if (slot >= menu.palettes.size()) return {};
    return {hexText(slot, 2), getpalref(menu, slot)};
}

const std::array<std::string, 3>& bogGridHeaders() {
    static const std::array<std::string, 3> headers{" id", " default valid button",
                                                    " number of buttons"};
    return headers;
}

std::array<std::string, 3> bogColumnCells(std::size_t index, const TBOG& bog) {
    return {std::to_string(index), hexText(bog.defaultValidButton, 4),
            std::to_string(bog.buttons.size())};
}

const std::array<std::string, 20>& buttonGridHeaders() {
    static const std::array<std::string, 20> headers{
        "id",    "value",    "a.act.",  "X",       "Y",        "upper",   "lower",
        "left",  "right",    "n.start", "n.end",   "n.repeat", "s.sound", "s.start",
        "s.end", "s.repeat", "a.sound", "a.start", "a.end",    "comm."};
    return headers;
}

std::array<std::string, 20> buttonRowCells(const TIGbutton& b) {
    return {hexText(b.id, 4),
            hexText(b.numericSelectValue, 4),
            yesNo(b.autoAction),
            std::to_string(b.x),
            std::to_string(b.y),
            hexText(b.upper, 4),
            hexText(b.lower, 4),
            hexText(b.left, 4),
            hexText(b.right, 4),
            hexText(b.normalStart, 4),
            hexText(b.normalEnd, 4),
            yesNo(b.normalRepeat),
            hexText(b.selectedSound, 2),
            hexText(b.selectedStart, 4),
            hexText(b.selectedEnd, 4),
            yesNo(b.selectedRepeat),
            hexText(b.activatedSound, 2),
            hexText(b.activatedStart, 4),
            hexText(b.activatedEnd, 4),
            std::to_string(b.commands.size())};
}

const std::array<std::string, 5>& windowGridHeaders() {
    static const std::array<std::string, 5> headers{"id", "X", "Y", "width", "height"};
    return headers;
}

std::array<std::string, 5> windowRowCells(const TWindow& w) {
    return {zeroPad(w.id, 2), std::to_string(w.x), std::to_string(w.y), std::to_string(w.width),
            std::to_string(w.height)};
}

const std::array<std::string, 4>& effectGridHeaders() {
    static const std::array<std::string, 4> headers{"", "duration", "palette", "c.obj."};
    return headers;
}

std::array<std::string, 4> effectRowCells(std::size_t row, const Teffect& effect) {
    return {zeroPad(static_cast<std::int64_t>(row), 3), menuTimeText(effect.duration),
            hexText(effect.palette, 2), std::to_string(effect.objects.size())};
}

const std::array<std::string, 5>& compositionObjectGridHeaders() {
    static const std::array<std::string, 5> headers{"", "object", "window", "X pos.", "Y pos."};
    return headers;
}

std::array<std::string, 5> compositionObjectRowCells(std::size_t row, const TCompositionObject& o) {
    return {std::to_string(row), hexText(o.objectId, 4), hexText(o.windowId, 2),
            std::to_string(o.x), std::to_string(o.y)};
}

PageHeaderTexts pageHeaderTexts(const TPage& page) {
    PageHeaderTexts texts;
    texts.uoMask1 = hexText(page.uoMask1, 8);
    texts.uoMask2 = hexText(page.uoMask2, 1);
    texts.animationFrameRateCode = std::to_string(page.animationFrameRateCode);
    texts.defaultSelectedButton = hexText(page.defaultSelectedButton, 4);
    texts.defaultActivatedButton = hexText(page.defaultActivatedButton, 4);
    texts.palette = hexText(page.palette, 2);
    texts.inWindows = std::to_string(page.inEffects.windows.size());
    texts.inEffects = std::to_string(page.inEffects.effects.size());
    texts.outWindows = std::to_string(page.outEffects.windows.size());
    texts.outEffects = std::to_string(page.outEffects.effects.size());
    texts.bogs = std::to_string(page.bogs.size());
    return texts;
}

}  // namespace lumora
