#include "menu/menu_edit.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "core/text.h"
#include "navigation/command_list.h"

namespace lumora {
namespace {

// A new menu's interactive_composition_length; the writer recomputes it.
constexpr std::uint32_t kNewCompositionLength = 67;
// The largest value of a 24-bit duration field (90 kHz ticks).
constexpr std::uint32_t kMax24Bit = 0xFFFFFF;

// The button operand of these commands is the low 16 bits of the
// destination word.
constexpr std::uint32_t kSetButtonPageButtonImmediate = 0x51800003;
constexpr std::uint32_t kSetButtonPageBothImmediate = 0x51C00003;
constexpr std::uint32_t kEnableButton = 0x31800004;
constexpr std::uint32_t kDisableButton = 0x31800005;
// SetButtonPage's source: bit 31 asks for a page change, bits 7..0 the page.
constexpr std::uint32_t kPageFlag = 0x80000000;

std::string hex4(std::uint32_t value) {
    return hexText(value, 4);
}

TPage* pageAt(TIGMenu& menu, std::size_t page) {
    return page < menu.ics.pages.size() ? &menu.ics.pages[page] : nullptr;
}

TPageButton& tableOf(TIGMenu& menu, std::size_t page) {
    if (menu.pageButtons.size() < menu.ics.pages.size())
        menu.pageButtons.resize(menu.ics.pages.size());
    return menu.pageButtons[page];
}

TIGbutton* buttonAt(TIGMenu& menu, std::size_t page, std::size_t bog, std::size_t index) {
    TPage* p = pageAt(menu, page);
    if (p == nullptr || bog >= p->bogs.size() || index >= p->bogs[bog].buttons.size())
        return nullptr;
    return &p->bogs[bog].buttons[index];
}

std::string noButton(std::size_t page, std::size_t bog, std::size_t index) {
    return "page " + std::to_string(page) + " BOG " + std::to_string(bog) + " has no button " +
           std::to_string(index);
}

std::string noPage(std::size_t page) {
    return "the menu has no page " + std::to_string(page);
}

std::string noBog(std::size_t page, std::size_t bog) {
    return "page " + std::to_string(page) + " has no BOG " + std::to_string(bog);
}

// Renumbering after button `deleted` went: a larger id moves down by one,
// "none" and smaller ids stay.
std::uint16_t renumbered(std::uint16_t id, std::uint16_t deleted) {
    return id != kIgNone && id > deleted ? static_cast<std::uint16_t>(id - 1) : id;
}

// Whether a SetButtonPage command selects its button on another page than
// `page`: its button operand then names a button of that page, which this
// deletion does not touch.
bool selectsOnOtherPage(const TCommand& command, std::size_t page) {
    return command.opcode == kSetButtonPageBothImmediate && (command.source & kPageFlag) != 0 &&
           (command.source & 0xFF) != page;
}

void renumberCommands(TCommands& commands, std::uint16_t deleted, std::size_t page) {
    for (TCommand& command : commands) {
        const bool namesButton = command.opcode == kSetButtonPageButtonImmediate ||
                                 command.opcode == kSetButtonPageBothImmediate ||
                                 command.opcode == kEnableButton ||
                                 command.opcode == kDisableButton;
        if (!namesButton || selectsOnOtherPage(command, page)) continue;
        const std::uint32_t operand = command.destination & 0xFFFF;
        if (operand == deleted) {
            command = TCommand{};
        } else if (operand > deleted) {
            command.destination = (command.destination & 0xFFFF0000u) | (operand - 1);
        }
    }
}

// A neighbour that pointed at the deleted button takes the deleted button's
// own neighbour in that direction (the button itself when that was the
// deleted one too); then every reference is renumbered once.
void redirectNeighbour(std::uint16_t& neighbour, std::uint16_t deletedsOwn, std::uint16_t self,
                       std::uint16_t deleted) {
    if (neighbour == deleted) neighbour = deletedsOwn == deleted ? self : deletedsOwn;
    neighbour = renumbered(neighbour, deleted);
}

void rebuildTable(TIGMenu& menu, std::size_t page, std::size_t length) {
    TPageButton& table = tableOf(menu, page);
    table.clearSlots();
    table.resize(length);
    for (const TBOG& bog : menu.ics.pages[page].bogs) {
        for (const TIGbutton& button : bog.buttons)
            table.put(button);
    }
}

// Takes button `index` out of its BOG and renumbers the page around it.
void removeButton(TIGMenu& menu, std::size_t page, std::size_t bog, std::size_t index) {
    TPage& p = menu.ics.pages[page];
    auto& buttons = p.bogs[bog].buttons;
    const TIGbutton gone = buttons[index];
    buttons.erase(buttons.begin() + static_cast<std::ptrdiff_t>(index));
    const std::size_t length = tableOf(menu, page).size();
    const std::uint16_t d = gone.id;
    if (d != kIgNone) {
        for (TBOG& group : p.bogs) {
            group.defaultValidButton = renumbered(group.defaultValidButton, d);
            for (TIGbutton& button : group.buttons) {
                redirectNeighbour(button.upper, gone.upper, button.id, d);
                redirectNeighbour(button.lower, gone.lower, button.id, d);
                redirectNeighbour(button.left, gone.left, button.id, d);
                redirectNeighbour(button.right, gone.right, button.id, d);
                renumberCommands(button.commands, d, page);
            }
        }
        // Ids last: the self-references above compare with the old ids.
        for (TBOG& group : p.bogs) {
            for (TIGbutton& button : group.buttons)
                button.id = renumbered(button.id, d);
        }
    }
    rebuildTable(menu, page, length == 0 ? 0 : length - 1);
}

TPage newPage(std::uint8_t id) {
    TPage page;
    page.id = id;
    page.animationFrameRateCode = 1;
    page.defaultSelectedButton = kIgNone;
    page.defaultActivatedButton = kIgNone;
    return page;
}

std::uint8_t freePageId(const TIGSc& ics, std::size_t index) {
    const auto taken = [&ics](std::size_t id) {
        return std::any_of(ics.pages.begin(), ics.pages.end(),
                           [id](const TPage& page) { return page.id == id; });
    };
    if (index <= 0xFF && !taken(index)) return static_cast<std::uint8_t>(index);
    std::size_t id = 0;
    while (id < 0xFF && taken(id))
        ++id;
    return static_cast<std::uint8_t>(id);
}

bool allOf(std::string_view text, int (*accepts)(int)) {
    return std::all_of(text.begin(), text.end(),
                       [accepts](char c) { return accepts(static_cast<unsigned char>(c)) != 0; });
}

std::optional<std::uint32_t> flagCell(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "y" || lower == "yes") return 1;
    if (lower == "n" || lower == "no") return 0;
    return std::nullopt;
}

struct ButtonColumn {
    ButtonField field;
    std::string_view name;
};
constexpr std::array<ButtonColumn, 18> kButtonColumns{{
    {ButtonField::Value, "value"},
    {ButtonField::AutoAction, "a.act."},
    {ButtonField::X, "X"},
    {ButtonField::Y, "Y"},
    {ButtonField::Upper, "upper"},
    {ButtonField::Lower, "lower"},
    {ButtonField::Left, "left"},
    {ButtonField::Right, "right"},
    {ButtonField::NormalStart, "n.start"},
    {ButtonField::NormalEnd, "n.end"},
    {ButtonField::NormalRepeat, "n.repeat"},
    {ButtonField::SelectedSound, "s.sound"},
    {ButtonField::SelectedStart, "s.start"},
    {ButtonField::SelectedEnd, "s.end"},
    {ButtonField::SelectedRepeat, "s.repeat"},
    {ButtonField::ActivatedSound, "a.sound"},
    {ButtonField::ActivatedStart, "a.start"},
    {ButtonField::ActivatedEnd, "a.end"},
}};

// An animation of the button: its start, end and repeat flag (the activated
// one has no repeat flag).
struct Animation {
    std::uint16_t TIGbutton::*start;
    std::uint16_t TIGbutton::*end;
    std::uint8_t TIGbutton::*repeat;
};
constexpr Animation kNormal{&TIGbutton::normalStart, &TIGbutton::normalEnd,
                            &TIGbutton::normalRepeat};
constexpr Animation kSelected{&TIGbutton::selectedStart, &TIGbutton::selectedEnd,
                              &TIGbutton::selectedRepeat};
constexpr Animation kActivated{&TIGbutton::activatedStart, &TIGbutton::activatedEnd, nullptr};

std::optional<Animation> animationOf(ButtonField field) {
    switch (field) {
        case ButtonField::NormalStart:
        case ButtonField::NormalEnd:
        case ButtonField::NormalRepeat:
            return kNormal;
        case ButtonField::SelectedStart:
        case ButtonField::SelectedEnd:
        case ButtonField::SelectedRepeat:
            return kSelected;
        case ButtonField::ActivatedStart:
        case ButtonField::ActivatedEnd:
            return kActivated;
        default:
            return std::nullopt;
    }
}

std::uint16_t* neighbourOf(TIGbutton& button, ButtonField field) {
    switch (field) {
        case ButtonField::Upper:
            return &button.upper;
        case ButtonField::Lower:
            return &button.lower;
        case ButtonField::Left:
            return &button.left;
        case ButtonField::Right:
            return &button.right;
        default:
            return nullptr;
    }
}

bool isStart(ButtonField field) {
    return field == ButtonField::NormalStart || field == ButtonField::SelectedStart ||
           field == ButtonField::ActivatedStart;
}

bool isRepeat(ButtonField field) {
    return field == ButtonField::NormalRepeat || field == ButtonField::SelectedRepeat;
}

MenuEdit setAnimationField(TIGMenu& menu, TIGbutton& button, ButtonField field,
                           std::uint32_t value) {
    const Animation animation = *animationOf(field);
    if (isRepeat(field)) {
        const bool single = button.*animation.start == button.*animation.end;
        button.*animation.repeat = value == 1 && !single ? 1 : 0;
        return {};
    }
    if (value >= menu.objects.size()) {
        return MenuEdit::refused("object " + hex4(value) +
                                 " is not in the object table (objects 0000-" +
                                 hex4(menu.objects.empty() ? 0 : menu.objects.size() - 1) +
                                 (menu.objects.empty() ? ": the menu has none)" : ")"));
    }
    const auto object = static_cast<std::uint16_t>(value);
    if (isStart(field)) {
        button.*animation.start = object;
        std::uint16_t& end = button.*animation.end;
        if (end == kIgNone || end < object) end = object;
    } else {
        button.*animation.end = object;
    }
    return {};
}

MenuEdit setSound(std::uint8_t& sound, std::uint32_t value, std::size_t soundCount) {
    if (value != kIgNoSound && value >= soundCount) {
        return MenuEdit::refused("sound " + hexText(value, 2) + " is not in sound.bdmv (" +
                                 (soundCount == 0 ? std::string("no sounds")
                                                  : "sounds 00-" + hexText(soundCount - 1, 2)) +
                                 "; FF: no sound)");
    }
    sound = static_cast<std::uint8_t>(value);
    return {};
}

MenuEdit belowVideo(std::uint16_t& field, std::uint32_t value, std::uint16_t limit,
                    std::string_view what) {
    if (value >= limit) {
        return MenuEdit::refused(std::string(what) + " " + std::to_string(value) +
                                 " is not below the video " + (what == "X" ? "width " : "height ") +
                                 std::to_string(limit));
    }
    field = static_cast<std::uint16_t>(value);
    return {};
}

struct PageColumn {
    PageField field;
    std::string_view name;
};
constexpr std::array<PageColumn, 6> kPageFields{{
    {PageField::UoMask1, "uo_mask1"},
    {PageField::UoMask2, "uo_mask2"},
    {PageField::AnimationFrameRateCode, "animation_frame_rate_code"},
    {PageField::DefaultSelectedButton, "default_selected_button"},
    {PageField::DefaultActivatedButton, "default_activated_button"},
    {PageField::Palette, "palette"},
}};

}  // namespace

// ---------------------------------------------------------------------------
// New menu

void newMenu(TIGMenu& menu, std::uint16_t videoWidth, std::uint16_t videoHeight) {
    TIGSc& ics = menu.ics;
    TIGSc fresh;
    fresh.videoWidth = videoWidth;
    fresh.videoHeight = videoHeight;
    fresh.frameRateId = 1;
    fresh.compositionLength = kNewCompositionLength;
    fresh.modelFlags = kStreamModel | kUserInterfaceModel;
    fresh.compositionNumber = ics.compositionNumber;
    fresh.compositionState = ics.compositionState;
    fresh.userTimeOut = ics.userTimeOut;
    ics = std::move(fresh);
    menu.objects.clear();
    menu.palettes.clear();
    menu.pageButtons.clear();
    menu.buttonStates.clear();
    menu.resource = MenuResource{};
    menu.startTime = kIgDefaultStartTime;
    createPage(menu);
}

// ---------------------------------------------------------------------------
// Pages, BOGs and buttons

MenuEdit createPage(TIGMenu& menu) {
    auto& pages = menu.ics.pages;
    if (pages.size() >= kMaxMenuPages) return MenuEdit::refused("a menu holds at most 255 pages");
    pages.push_back(newPage(freePageId(menu.ics, pages.size())));
    menu.pageButtons.resize(pages.size());
    menu.pageButtons.back() = TPageButton{};
    return createBog(menu, pages.size() - 1);
}

MenuEdit deletePage(TIGMenu& menu, std::size_t page) {
    auto& pages = menu.ics.pages;
    if (page >= pages.size()) return MenuEdit::refused(noPage(page));
    if (pages.size() < 2) return MenuEdit::refused("a menu keeps at least one page");
    pages.erase(pages.begin() + static_cast<std::ptrdiff_t>(page));
    if (page < menu.pageButtons.size())
        menu.pageButtons.erase(menu.pageButtons.begin() + static_cast<std::ptrdiff_t>(page));
    menu.pageButtons.resize(pages.size());
    return {};
}

MenuEdit createBog(TIGMenu& menu, std::size_t page) {
    TPage* p = pageAt(menu, page);
    if (p == nullptr) return MenuEdit::refused(noPage(page));
    if (p->bogs.size() >= kMaxPageBogs) return MenuEdit::refused("a page holds at most 255 BOGs");
    if (tableOf(menu, page).size() >= kIgNone)
        return MenuEdit::refused("the page's button ids are used up");
    p->bogs.push_back(TBOG{});
    return createButton(menu, page, p->bogs.size() - 1);
}

MenuEdit deleteBog(TIGMenu& menu, std::size_t page, std::size_t bog) {
    TPage* p = pageAt(menu, page);
    if (p == nullptr) return MenuEdit::refused(noPage(page));
    if (bog >= p->bogs.size()) return MenuEdit::refused(noBog(page, bog));
    if (p->bogs.size() < 2) return MenuEdit::refused("a page keeps at least one BOG");
    while (!p->bogs[bog].buttons.empty())
        removeButton(menu, page, bog, 0);
    p->bogs.erase(p->bogs.begin() + static_cast<std::ptrdiff_t>(bog));
    return {};
}

MenuEdit createButton(TIGMenu& menu, std::size_t page, std::size_t bog) {
    TPage* p = pageAt(menu, page);
    if (p == nullptr) return MenuEdit::refused(noPage(page));
    if (bog >= p->bogs.size()) return MenuEdit::refused(noBog(page, bog));
    if (p->bogs[bog].buttons.size() >= kMaxBogButtons)
        return MenuEdit::refused("a BOG holds at most 32 buttons");
    TPageButton& table = tableOf(menu, page);
    // Id 0xFFFF means "no button": a table that long has no id left.
    if (table.size() >= kIgNone) return MenuEdit::refused("the page's button ids are used up");
    const TIGbutton button = IGbutton(static_cast<std::uint16_t>(table.size()));
    p->bogs[bog].buttons.push_back(button);
    table.put(button);
    return {};
}

MenuEdit deleteButton(TIGMenu& menu, std::size_t page, std::size_t bog, std::size_t index) {
    if (buttonAt(menu, page, bog, index) == nullptr)
        return MenuEdit::refused(noButton(page, bog, index));
    if (menu.ics.pages[page].bogs[bog].buttons.size() < 2)
        return MenuEdit::refused("a BOG keeps at least one button (delete the BOG instead)");
    removeButton(menu, page, bog, index);
    return {};
}

std::optional<ButtonPlace> findButton(const TPage& page, std::uint16_t id) {
    for (std::size_t b = 0; b < page.bogs.size(); ++b) {
        const auto& buttons = page.bogs[b].buttons;
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            if (buttons[i].id == id) return ButtonPlace{b, i};
        }
    }
    return std::nullopt;
}

void storeButton(TIGMenu& menu, std::size_t page, std::size_t bog, std::size_t index) {
    if (const TIGbutton* button = buttonAt(menu, page, bog, index))
        tableOf(menu, page).put(*button);
}

// ---------------------------------------------------------------------------
// BOG grid

MenuEdit setDefaultValidButton(TIGMenu& menu, std::size_t page, std::size_t bog,
                               std::uint16_t button) {
    TPage* p = pageAt(menu, page);
    if (p == nullptr) return MenuEdit::refused(noPage(page));
    if (bog >= p->bogs.size()) return MenuEdit::refused(noBog(page, bog));
    const std::size_t length = tableOf(menu, page).size();
    if (button != kIgNone && button >= length) {
        return MenuEdit::refused(
            "button " + hex4(button) + " is not in the page's button table (" +
            (length == 0 ? std::string("it is empty") : "ids 0000-" + hex4(length - 1)) +
            "; FFFF: none)");
    }
    p->bogs[bog].defaultValidButton = button;
    return {};
}

std::optional<std::size_t> cycleDefaultValidButton(TIGMenu& menu, std::size_t page,
                                                   std::size_t bog) {
    TPage* p = pageAt(menu, page);
    if (p == nullptr || bog >= p->bogs.size()) return std::nullopt;
    TBOG& group = p->bogs[bog];
    const auto& buttons = group.buttons;
    if (buttons.empty()) return std::nullopt;
    std::optional<std::size_t> next;
    if (group.defaultValidButton == kIgNone) {
        next = 0;
    } else {
        const auto at = std::find_if(buttons.begin(), buttons.end(), [&group](const TIGbutton& b) {
            return b.id == group.defaultValidButton;
        });
        if (at == buttons.end()) return std::nullopt;
        const auto index = static_cast<std::size_t>(at - buttons.begin());
        if (index + 1 < buttons.size()) next = index + 1;
    }
    group.defaultValidButton = next ? buttons[*next].id : kIgNone;
    return next;
}

// ---------------------------------------------------------------------------
// Buttons grid

std::optional<std::uint32_t> parseHexCell(std::string_view text, std::size_t digits) {
    if (text.empty() || text.size() > digits || !allOf(text, std::isxdigit)) return std::nullopt;
    return static_cast<std::uint32_t>(hexToNumber(text));
}

std::optional<std::uint32_t> parseDecimalCell(std::string_view text, std::size_t digits) {
    if (text.empty() || text.size() > digits || !allOf(text, std::isdigit)) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text)
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    return value;
}

std::optional<ButtonField> buttonFieldNamed(std::string_view column) {
    for (const ButtonColumn& entry : kButtonColumns) {
        if (entry.name == column) return entry.field;
    }
    return std::nullopt;
}

std::string_view buttonFieldName(ButtonField field) {
    for (const ButtonColumn& entry : kButtonColumns) {
        if (entry.field == field) return entry.name;
    }
    return {};
}

std::optional<std::uint32_t> parseButtonCell(ButtonField field, std::string_view text) {
    switch (field) {
        case ButtonField::AutoAction:
        case ButtonField::NormalRepeat:
        case ButtonField::SelectedRepeat:
            return flagCell(text);
        case ButtonField::X:
        case ButtonField::Y:
            return parseDecimalCell(text, 4);
        case ButtonField::SelectedSound:
        case ButtonField::ActivatedSound:
            return parseHexCell(text, 2);
        default:
            return parseHexCell(text, 4);
    }
}

MenuEdit setButtonField(TIGMenu& menu, std::size_t page, std::size_t bog, std::size_t index,
                        ButtonField field, std::uint32_t value, std::size_t soundCount) {
    TIGbutton* button = buttonAt(menu, page, bog, index);
    if (button == nullptr) return MenuEdit::refused(noButton(page, bog, index));
    TIGbutton edited = *button;
    MenuEdit edit;
    const TIGSc& ics = menu.ics;
    const std::size_t length = tableOf(menu, page).size();
    if (std::uint16_t* neighbour = neighbourOf(edited, field)) {
        if (value >= length) {
            edit = MenuEdit::refused("button " + hex4(value) +
                                     " is not in the page's button table (ids 0000-" +
                                     hex4(length == 0 ? 0 : length - 1) + ")");
        } else {
            *neighbour = static_cast<std::uint16_t>(value);
        }
    } else if (animationOf(field)) {
        edit = setAnimationField(menu, edited, field, value);
    } else {
        switch (field) {
            case ButtonField::Value:
                edited.numericSelectValue = static_cast<std::uint16_t>(value);
                break;
            case ButtonField::AutoAction:
                edited.autoAction = value == 1 ? 1 : 0;
                break;
            case ButtonField::X:
                edit = belowVideo(edited.x, value, ics.videoWidth, "X");
                break;
            case ButtonField::Y:
                edit = belowVideo(edited.y, value, ics.videoHeight, "Y");
                break;
            case ButtonField::SelectedSound:
                edit = setSound(edited.selectedSound, value, soundCount);
                break;
            case ButtonField::ActivatedSound:
                edit = setSound(edited.activatedSound, value, soundCount);
                break;
            default:
                break;
        }
    }
    if (edit.done()) *button = std::move(edited);
    storeButton(menu, page, bog, index);
    return edit;
}

MenuEdit setButtonCommands(TIGMenu& menu, std::size_t page, std::size_t bog, std::size_t index,
                           TCommands commands) {
    TIGbutton* button = buttonAt(menu, page, bog, index);
    if (button == nullptr) return MenuEdit::refused(noButton(page, bog, index));
    if (commands.size() > kMaxCommands)
        return MenuEdit::refused("a button holds at most 9999 commands");
    button->commands = std::move(commands);
    storeButton(menu, page, bog, index);
    return {};
}

// ---------------------------------------------------------------------------
// Page header

std::optional<PageField> pageFieldNamed(std::string_view name) {
    for (const PageColumn& entry : kPageFields) {
        if (entry.name == name) return entry.field;
    }
    return std::nullopt;
}

std::string_view pageFieldName(PageField field) {
    for (const PageColumn& entry : kPageFields) {
        if (entry.field == field) return entry.name;
    }
    return {};
}

std::optional<std::uint32_t> parsePageField(PageField field, std::string_view text) {
    switch (field) {
        case PageField::UoMask1:
        case PageField::UoMask2:
            return parseHexCell(text, 8);
        case PageField::AnimationFrameRateCode:
            return parseDecimalCell(text, 3);
        case PageField::Palette:
            return parseHexCell(text, 2);
        default:
            return parseHexCell(text, 4);
    }
}

MenuEdit setPageField(TIGMenu& menu, std::size_t page, PageField field, std::uint32_t value) {
    TPage* p = pageAt(menu, page);
    if (p == nullptr) return MenuEdit::refused(noPage(page));
    switch (field) {
        case PageField::UoMask1:
            p->uoMask1 = value;
            break;
        case PageField::UoMask2:
            p->uoMask2 = value;
            break;
        case PageField::AnimationFrameRateCode:
            if (value > 0xFF) return MenuEdit::refused("the animation frame rate code is 0-255");
            p->animationFrameRateCode = static_cast<std::uint8_t>(value);
            break;
        case PageField::DefaultSelectedButton:
            p->defaultSelectedButton = static_cast<std::uint16_t>(value);
            break;
        case PageField::DefaultActivatedButton:
            p->defaultActivatedButton = static_cast<std::uint16_t>(value);
            break;
        case PageField::Palette:
            if (value >= menu.palettes.size()) {
                return MenuEdit::refused(
                    "palette " + hexText(value, 2) + " is not in the menu (" +
                    (menu.palettes.empty()
                         ? std::string("it has none")
                         : "palettes 00-" + hexText(menu.palettes.size() - 1, 2)) +
                    ")");
            }
            p->palette = static_cast<std::uint8_t>(value);
            break;
    }
    return {};
}

// ---------------------------------------------------------------------------
// Objects and palettes

namespace {

// A reference to an object behind a deleted range moves down with it.
void shiftObject(std::uint16_t& object, std::size_t last, std::size_t count) {
    if (object != kIgNone && object > last) object = static_cast<std::uint16_t>(object - count);
}

void shiftButtonObjects(TIGbutton& button, std::size_t last, std::size_t count) {
    for (std::uint16_t* object :
         {&button.normalStart, &button.normalEnd, &button.selectedStart, &button.selectedEnd,
          &button.activatedStart, &button.activatedEnd})
        shiftObject(*object, last, count);
}

template <typename Change>
void forEachEffect(TPage& page, Change change) {
    for (Teffectseq* sequence : {&page.inEffects, &page.outEffects}) {
        for (Teffect& effect : sequence->effects)
            change(effect);
    }
}

bool rangeInTable(std::size_t first, std::size_t last, std::size_t size) {
    return first <= last && last < size;
}

}  // namespace

MenuEdit deleteObjects(TIGMenu& menu, std::size_t first, std::size_t last) {
    if (!rangeInTable(first, last, menu.objects.size()))
        return MenuEdit::refused("the menu has no such objects");
    for (std::size_t object = first; object <= last; ++object) {
        if (!getobjref(menu, object).empty())
            return MenuEdit::refused(std::string(kObjectReferenced));
    }
    const std::size_t count = last - first + 1;
    menu.objects.erase(menu.objects.begin() + static_cast<std::ptrdiff_t>(first),
                       menu.objects.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    for (std::size_t slot = first; slot < menu.objects.size(); ++slot)
        menu.objects[slot].id = static_cast<std::uint16_t>(slot);
    for (std::size_t p = 0; p < menu.ics.pages.size(); ++p) {
        TPage& page = menu.ics.pages[p];
        forEachEffect(page, [last, count](Teffect& effect) {
            for (TCompositionObject& composed : effect.objects)
                shiftObject(composed.objectId, last, count);
        });
        for (TBOG& bog : page.bogs) {
            for (TIGbutton& button : bog.buttons) {
                shiftButtonObjects(button, last, count);
                tableOf(menu, p).put(button);
            }
        }
    }
    return {};
}

MenuEdit deletePalettes(TIGMenu& menu, std::size_t first, std::size_t last) {
    if (!rangeInTable(first, last, menu.palettes.size()))
        return MenuEdit::refused("the menu has no such palettes");
    if (menu.palettes.size() < 2) return MenuEdit::refused(std::string(kLastPalettes));
    for (std::size_t palette = first; palette <= last; ++palette) {
        const std::string references = getpalref(menu, palette);
        const bool used =
            std::any_of(references.begin(), references.end(), [](char c) { return c != ' '; });
        if (used) return MenuEdit::refused(std::string(kPaletteReferenced));
    }
    const std::size_t count = last - first + 1;
    menu.palettes.erase(menu.palettes.begin() + static_cast<std::ptrdiff_t>(first),
                        menu.palettes.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    for (std::size_t slot = first; slot < menu.palettes.size(); ++slot)
        menu.palettes[slot].id = static_cast<std::uint16_t>(slot);
    // Pictures under the moved palettes are made again when next shown.
    for (TIGobject& object : menu.objects) {
        auto& pictures = object.cache.pictures;
        if (pictures.size() > first) pictures.resize(first);
    }
    const auto shift = [last, count](std::uint8_t& palette) {
        if (palette > last) palette = static_cast<std::uint8_t>(palette - count);
    };
    for (TPage& page : menu.ics.pages) {
        shift(page.palette);
        forEachEffect(page, [&shift](Teffect& effect) { shift(effect.palette); });
    }
    return {};
}

// ---------------------------------------------------------------------------
// Effects

MenuEdit setWindowField(TIGMenu& menu, Teffectseq& sequence, std::size_t window, WindowField field,
                        std::uint32_t value) {
    if (window >= sequence.windows.size()) return MenuEdit::refused("no such window");
    TWindow& w = sequence.windows[window];
    const TIGSc& ics = menu.ics;
    switch (field) {
        case WindowField::Id:
            if (value > 0xFF) return MenuEdit::refused("a window id is 0-255");
            w.id = static_cast<std::uint8_t>(value);
            return {};
        case WindowField::X:
            return belowVideo(w.x, value, ics.videoWidth, "X");
        case WindowField::Y:
            return belowVideo(w.y, value, ics.videoHeight, "Y");
        case WindowField::Width:
            if (value > ics.videoWidth)
                return MenuEdit::refused("the width is larger than the video width");
            w.width = static_cast<std::uint16_t>(value);
            return {};
        case WindowField::Height:
            if (value > ics.videoHeight)
                return MenuEdit::refused("the height is larger than the video height");
            w.height = static_cast<std::uint16_t>(value);
            return {};
    }
    return {};
}

MenuEdit setEffectField(TIGMenu& menu, Teffect& effect, EffectField field, std::uint32_t value) {
    if (field == EffectField::Duration) {
        if (value > kMax24Bit)
            return MenuEdit::refused("an effect lasts at most " + menuTimeText(kMax24Bit));
        effect.duration = value;
        return {};
    }
    if (value >= menu.palettes.size())
        return MenuEdit::refused("palette " + hexText(value, 2) + " is not in the menu");
    effect.palette = static_cast<std::uint8_t>(value);
    return {};
}

MenuEdit setCompositionField(TIGMenu& menu, const Teffectseq& sequence, TCompositionObject& object,
                             CompositionField field, std::uint32_t value) {
    switch (field) {
        case CompositionField::Object:
            if (value >= menu.objects.size())
                return MenuEdit::refused("object " + hex4(value) + " is not in the object table");
            object.objectId = static_cast<std::uint16_t>(value);
            return {};
        case CompositionField::Window: {
            const bool known =
                std::any_of(sequence.windows.begin(), sequence.windows.end(),
                            [value](const TWindow& window) { return window.id == value; });
            if (!known)
                return MenuEdit::refused("window " + hexText(value, 2) + " is not in the sequence");
            object.windowId = static_cast<std::uint8_t>(value);
            return {};
        }
        case CompositionField::X:
            return belowVideo(object.x, value, menu.ics.videoWidth, "X");
        case CompositionField::Y:
            return belowVideo(object.y, value, menu.ics.videoHeight, "Y");
    }
    return {};
}

void setObjectCropped(const TIGMenu& menu, TCompositionObject& object, bool cropped) {
    if (cropped == object.cropped()) return;
    if (!cropped) {
        object.flags &= static_cast<std::uint8_t>(~kObjectCropped);
        object.cropX = object.cropY = object.cropWidth = object.cropHeight = 0;
        return;
    }
    object.flags |= kObjectCropped;
    object.cropX = object.cropY = 0;
    const bool known = object.objectId < menu.objects.size();
    object.cropWidth = known ? menu.objects[object.objectId].width : 0;
    object.cropHeight = known ? menu.objects[object.objectId].height : 0;
}

}  // namespace lumora
