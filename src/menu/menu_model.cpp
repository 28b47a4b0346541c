#include "menu/menu_model.h"

#include <algorithm>
#include <utility>

namespace lumora {
namespace {

bool inRange(std::size_t id, std::uint16_t start, std::uint16_t end) {
    // A start of "none" means the state shows nothing, whatever its end says.
    return start != kIgNone && start <= id && id <= end;
}

bool sequenceUsesPalette(const Teffectseq& sequence, std::size_t palette) {
    return std::any_of(sequence.effects.begin(), sequence.effects.end(),
                       [palette](const Teffect& effect) { return effect.palette == palette; });
}

bool sequenceUsesObject(const Teffectseq& sequence, std::size_t object) {
    for (const Teffect& effect : sequence.effects) {
        for (const TCompositionObject& composed : effect.objects) {
            if (composed.objectId == object) return true;
        }
    }
    return false;
}

// "i", "o", "io" or "" for a page's effect sequences.
template <typename Uses>
std::string effectLetters(const TPage& page, Uses uses) {
    std::string letters;
    if (uses(page.inEffects)) letters += 'i';
    if (uses(page.outEffects)) letters += 'o';
    return letters;
}

// "3ns,5a" for the buttons of a page that show the object.
std::string buttonPieces(const TPageButton& table, std::size_t object) {
    std::string pieces;
    for (const TIGbutton& button : table.filled()) {
        std::string letters;
        if (inRange(object, button.normalStart, button.normalEnd)) letters += 'n';
        if (inRange(object, button.selectedStart, button.selectedEnd)) letters += 's';
        if (inRange(object, button.activatedStart, button.activatedEnd)) letters += 'a';
        if (letters.empty()) continue;
        pieces += std::to_string(button.id) + letters + ',';
    }
    if (!pieces.empty()) pieces.pop_back();
    return pieces;
}

std::string twoDigits(std::uint64_t value) {
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
           static_cast<char>('0' + value % 10);
}

}  // namespace

TIGbutton IGbutton(std::uint16_t id) {
    TIGbutton button;
    button.id = id;
    button.upper = id;
    button.lower = id;
    button.left = id;
    button.right = id;
    return button;
}

const TIGbutton* TPageButton::find(std::size_t slot) const {
    const auto it =
        std::lower_bound(filled_.begin(), filled_.end(), slot,
                         [](const TIGbutton& button, std::size_t id) { return button.id < id; });
    return it != filled_.end() && it->id == slot ? &*it : nullptr;
}

TIGbutton* TPageButton::find(std::size_t slot) {
    return const_cast<TIGbutton*>(std::as_const(*this).find(slot));
}

const TIGbutton& TPageButton::operator[](std::size_t slot) const {
    static const TIGbutton kEmpty{};
    const TIGbutton* button = find(slot);
    return button ? *button : kEmpty;
}

void TPageButton::put(const TIGbutton& button) {
    if (button.id == kIgNone) {
        length_ = std::max<std::size_t>(length_, kIgNone + 1u);
        return;
    }
    length_ = std::max<std::size_t>(length_, button.id + 1u);
    const auto it =
        std::lower_bound(filled_.begin(), filled_.end(), button.id,
                         [](const TIGbutton& held, std::uint16_t id) { return held.id < id; });
    if (it != filled_.end() && it->id == button.id) {
        *it = button;
    } else {
        filled_.insert(it, button);
    }
}

void TPageButton::resize(std::size_t length) {
    length_ = length;
    std::erase_if(filled_, [length](const TIGbutton& button) { return button.id >= length; });
}

TPageButton pageButtonTable(const TPage& page) {
    TPageButton table;
    std::size_t count = 0;
    for (const TBOG& bog : page.bogs) {
        count += bog.buttons.size();
        for (const TIGbutton& button : bog.buttons)
            table.put(button);
    }
    if (table.size() < count) table.resize(count);
    return table;
}

std::vector<TButtonState> makeButtonStates(const TIGMenu& menu, std::size_t page) {
    if (page >= menu.ics.pages.size() || page >= menu.pageButtons.size()) return {};
    const TPageButton& table = menu.pageButtons[page];
    std::vector<TButtonState> states(table.size());
    const auto& bogs = menu.ics.pages[page].bogs;
    for (std::size_t b = 0; b < bogs.size(); ++b) {
        for (std::size_t i = 0; i < bogs[b].buttons.size(); ++i) {
            const TIGbutton& button = bogs[b].buttons[i];
            if (button.id >= states.size()) continue;
            TButtonState& state = states[button.id];
            state.shown = bogs[b].defaultValidButton == button.id ? 1 : 0;
            state.bog = static_cast<std::uint8_t>(b);
            state.index = static_cast<std::uint8_t>(i);
            state.normalRepeat = button.normalRepeat == 1 ? 1 : 0;
            state.selectedRepeat = button.selectedRepeat == 1 ? 1 : 0;
        }
    }
    return states;
}

TRGBApalettes id2pal(const TIGMenu& menu, std::size_t palette) {
    TRGBApalettes colours{};
    if (palette >= menu.palettes.size()) return colours;
    const auto& rgba = menu.palettes[palette].rgba;
    for (std::size_t i = 0; i < colours.size(); ++i)
        colours[i] = packRgba(rgba[i]);
    return colours;
}

std::string getpalref(const TIGMenu& menu, std::size_t palette) {
    std::string text;
    const auto uses = [palette](const Teffectseq& s) { return sequenceUsesPalette(s, palette); };
    for (std::size_t i = 0; i < menu.ics.pages.size(); ++i) {
        const TPage& page = menu.ics.pages[i];
        const std::string letters = effectLetters(page, uses);
        if (!letters.empty()) text += std::to_string(i) + letters + ' ';
        if (page.palette == palette) text += std::to_string(i) + ' ';
    }
    return text;
}

std::string getobjref(const TIGMenu& menu, std::size_t object) {
    std::string text;
    const auto uses = [object](const Teffectseq& s) { return sequenceUsesObject(s, object); };
    for (std::size_t i = 0; i < menu.ics.pages.size(); ++i) {
        const std::string letters = effectLetters(menu.ics.pages[i], uses);
        if (!letters.empty()) text += std::to_string(i) + letters + ' ';
        if (i >= menu.pageButtons.size()) continue;
        const std::string pieces = buttonPieces(menu.pageButtons[i], object);
        if (!pieces.empty()) text += std::to_string(i) + ':' + pieces + ' ';
    }
    if (!text.empty()) text.pop_back();
    return text;
}

void dropObjectPictures(TIGMenu& menu, std::size_t object) {
    if (object < menu.objects.size()) menu.objects[object].cache.pictures.clear();
}

void dropPalettePictures(TIGMenu& menu, std::size_t palette) {
    for (TIGobject& object : menu.objects) {
        auto& pictures = object.cache.pictures;
        if (palette < pictures.size()) pictures[palette].reset();
    }
}

std::optional<FrameDuration> menuFrameDuration(std::uint8_t frameRateId) {
    switch (frameRateId) {
        case 1:
            return FrameDuration{1001, 24000};
        case 2:
            return FrameDuration{1000, 24000};
        case 3:
            return FrameDuration{1000, 25000};
        case 4:
            return FrameDuration{1001, 30000};
        case 6:
            return FrameDuration{1000, 50000};
        case 7:
            return FrameDuration{1001, 60000};
        default:
            return std::nullopt;
    }
}

std::string menuFrameRateText(std::uint8_t frameRateId) {
    switch (frameRateId) {
        case 1:
            return "23.97";
        case 2:
            return "24";
        case 3:
            return "25";
        case 4:
            return "29.97";
        case 6:
            return "50";
        case 7:
            return "59.94";
        default:
            return "-";
    }
}

std::uint32_t animationStepMs(std::uint8_t frameRateId, std::uint8_t animationFrameRateCode) {
    const auto duration = menuFrameDuration(frameRateId);
    if (!duration) return 0;
    return duration->numerator * (animationFrameRateCode * 1000u) / duration->denominator;
}

const std::vector<std::string>& menuVideoFormatTexts() {
    static const std::vector<std::string> texts{"1920x1080", "1280x720", "720x576", "720x480"};
    return texts;
}

int menuVideoFormatIndex(const TIGSc& ics) {
    int index = -1;
    if (ics.videoWidth == 1920) index = 0;
    if (ics.videoWidth == 1280) index = 1;
    if (ics.videoHeight == 576) index = 2;
    if (ics.videoHeight == 480) index = 3;
    return index;
}

std::string menuTimeText(std::uint64_t ticks90k) {
    const std::uint64_t ms = ticks90k / 90;
    const std::uint64_t seconds = ms / 1000;
    const std::string millis = std::to_string(1000 + ms % 1000).substr(1);
    return menuClockText(seconds * 90000) + "." + millis;
}

std::string menuClockText(std::uint64_t ticks90k) {
    const std::uint64_t seconds = ticks90k / 90000;
    return std::to_string(seconds / 3600) + ":" + twoDigits(seconds / 60 % 60) + ":" +
           twoDigits(seconds % 60);
}

std::optional<std::uint64_t> menuTimeTicks(std::string_view text) {
    // h:mm:ss.zzz: the fields between the separators, digits only.
    std::uint64_t fields[4] = {0, 0, 0, 0};
    const char separators[3] = {':', ':', '.'};
    std::size_t field = 0;
    std::size_t digits = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            if (++digits > (field == 0 ? 6u : field == 3 ? 3u : 2u)) return std::nullopt;
            fields[field] = fields[field] * 10 + static_cast<std::uint64_t>(c - '0');
        } else if (field < 3 && c == separators[field] && digits > 0) {
            ++field;
            digits = 0;
        } else {
            return std::nullopt;
        }
    }
    if (field != 3 || digits == 0 || fields[1] > 59 || fields[2] > 59) return std::nullopt;
    const std::uint64_t ms = fields[3] * (digits == 1 ? 100 : digits == 2 ? 10 : 1);
    return ((fields[0] * 3600 + fields[1] * 60 + fields[2]) * 1000 + ms) * 90;
}

TIGobject bitmapObject(std::uint16_t id, std::uint16_t width, std::uint16_t height, Bytes bitmap) {
    TIGobject object;
    object.id = id;
    object.filled = true;
    object.width = width;
    object.height = height;
    object.bitmap = std::move(bitmap);
    return object;
}

namespace {

bool sameObjectContent(const TIGobject& a, const TIGobject& b) {
    if (a.id != b.id || a.filled != b.filled || a.width != b.width || a.height != b.height ||
        a.dataLength != b.dataLength || a.fragments != b.fragments || a.problem != b.problem) {
        return false;
    }
    // Objects with RLE data in the resource decode their bitmap lazily; only
    // for those made in the program is the bitmap the content.
    if (!a.fragments.empty()) return true;
    return a.bitmap == b.bitmap;
}

}  // namespace

bool sameMenuContent(const TIGMenu& a, const TIGMenu& b) {
    if (!(a.ics == b.ics) || a.palettes != b.palettes || a.startTime != b.startTime ||
        a.objects.size() != b.objects.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.objects.size(); ++i) {
        if (!sameObjectContent(a.objects[i], b.objects[i])) return false;
    }
    return true;
}

}  // namespace lumora
