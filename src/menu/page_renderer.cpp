#include "menu/page_renderer.h"

#include <algorithm>

#include "core/file_io.h"
#include "core/text.h"
#include "menu/background_picture.h"
#include "menu/rle_codec.h"

namespace lumora {
namespace {

constexpr std::uint32_t kInk = 0x000000;  // label text
constexpr std::uint32_t kSwatchEdge = 0x000000;

// The union of two rectangles; an empty one counts as nothing.
PixelRect unite(const PixelRect& a, const PixelRect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

PixelRect pageBounds() {
    return {0, 0, PageRenderer::kWidth, PageRenderer::kHeight};
}

const TWindow* windowOf(const Teffectseq& sequence, std::uint8_t windowId) {
    // The window id is the index into the sequence's (at most two) windows.
    return windowId < sequence.windows.size() ? &sequence.windows[windowId] : nullptr;
}

PixelRect windowRect(const TWindow& window) {
    return PixelRect::sized(window.x, window.y, window.width, window.height);
}

// A rectangle without its four corner pixels.
void fillCutCorners(FrameBuffer& picture, const PixelRect& rect, std::uint32_t rgb) {
    picture.fillRect({rect.left + 1, rect.top, rect.right - 1, rect.bottom}, rgb);
    picture.fillRect({rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1}, rgb);
    picture.fillRect({rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1}, rgb);
}

// Whether the object has pixels to show.
bool hasPixels(const TIGobject& object) {
    return object.width > 0 && object.height > 0 && (object.dataLength > 0 || object.bitmap);
}

}  // namespace

// What one state of a button draws and how its animation runs.
struct PageRenderer::StateFields {
    std::uint16_t start = kIgNone;
    std::uint16_t end = kIgNone;
    std::uint8_t* running = nullptr;
    bool repeat = false;
};

// Marks a wait in progress: timer ticks that arrive meanwhile are skipped.
struct PageRenderer::Blocking {
    explicit Blocking(int& depth) : depth_(depth) { ++depth_; }
    ~Blocking() { --depth_; }
    Blocking(const Blocking&) = delete;
    Blocking& operator=(const Blocking&) = delete;
    int& depth_;
};

PageRenderer::PageRenderer(TIGMenu& menu, Registers& registers, Reporter& reporter,
                           MenuClock& clock, MenuViewHost& host)
    : menu_(menu), registers_(registers), reporter_(reporter), clock_(clock), host_(host) {
    backchange();
    clearEffectPreview();
}

// ---- Background ----

void PageRenderer::setBackground(BackgroundChoice choice) {
    backgroundChoice_ = std::move(choice);
    backchange();
}

void PageRenderer::backchange() {
    background_.reset(kWidth, kHeight, colours_.background);
    const Picture* picture = &builtInBackgroundPicture();
    PictureLoad load;
    if (backgroundChoice_.kind == BackgroundChoice::Kind::Flat) {
        picture = nullptr;
    } else if (backgroundChoice_.kind == BackgroundChoice::Kind::Picture &&
               !backgroundChoice_.file.empty()) {
        try {
            load = loadBackgroundPicture(backgroundChoice_.file);
        } catch (const FileError& error) {
            load.problem = error.what();
        }
        if (load.picture) {
            picture = &*load.picture;
        } else {
            reporter_.log("[re]Background picture[/re] [b]" + backgroundChoice_.file + "[/b] " +
                          load.problem + "; the built-in picture is shown.");
        }
    }
    // A picture of another size lies at the top-left corner over the
    // background colour.
    if (picture != nullptr) background_.blend(*picture, 0, 0);
    pageImage_ = background_;
    changed(pageBounds());
}

// ---- Page image ----

void PageRenderer::changed(const PixelRect& area) {
    const PixelRect clipped = area.intersected(pageBounds());
    if (!clipped.empty()) host_.pageChanged(clipped);
}

void PageRenderer::DelPage() {
    pageImage_ = background_;
    changed(pageBounds());
}

void PageRenderer::DelRect(const PixelRect& rect) {
    pageImage_.copyRect(background_, rect);
    changed(rect);
}

const TPage* PageRenderer::currentPage() const {
    return page_ < menu_.ics.pages.size() ? &menu_.ics.pages[page_] : nullptr;
}

const TPageButton* PageRenderer::currentTable() const {
    return page_ < menu_.pageButtons.size() ? &menu_.pageButtons[page_] : nullptr;
}

TButtonState* PageRenderer::stateOf(std::size_t slot) {
    return slot < menu_.buttonStates.size() ? &menu_.buttonStates[slot] : nullptr;
}

const TIGbutton* PageRenderer::buttonAt(std::size_t slot) const {
    const TPageButton* table = currentTable();
    return table != nullptr ? table->find(slot) : nullptr;
}

const TIGbutton* PageRenderer::selectedButton() const {
    return buttonAt(registers_.psr(kPsrSelectedButton));
}

std::uint8_t PageRenderer::pagePalette() const {
    const TPage* page = currentPage();
    return page != nullptr ? page->palette : 0;
}

std::uint32_t PageRenderer::stepMs() const {
    const TPage* page = currentPage();
    return page != nullptr ? animationStepMs(menu_.ics.frameRateId, page->animationFrameRateCode)
                           : 0;
}

PixelRect PageRenderer::objectRect(const TIGbutton& button, std::uint32_t object) const {
    if (object >= menu_.objects.size()) return {};
    const TIGobject& o = menu_.objects[object];
    return PixelRect::sized(button.x, button.y, o.width, o.height);
}

void PageRenderer::DelButton(std::size_t slot) {
    const TIGbutton* button = buttonAt(slot);
    const TButtonState* state = stateOf(slot);
    if (button == nullptr || state == nullptr || button->normalStart >= menu_.objects.size())
        return;
    // Another button of the BOG may cover the area; it stays.
    for (const TIGbutton& other : currentTable()->filled()) {
        const TButtonState* otherState = stateOf(other.id);
        if (otherState != nullptr && otherState->bog == state->bog && otherState->shown) return;
    }
    DelRect(objectRect(*button, button->normalStart));
}

void PageRenderer::DrawPage() {
    const std::uint32_t page = registers_.psr(kPsrMenuPage);
    if (registers_.psr(kPsrPageBackup) != page) registers_.setPsr(kPsrPageBackup, page);
    if (options_.preload) LoadBmps(page_);
    // A page drawn anew shows no activation.
    selectAfterActivation_.reset();
    for (TButtonState& state : menu_.buttonStates)
        state.activatedRunning = 0;
    DelPage();
    const TPage* current = currentPage();
    if (current != nullptr && options_.showInEffects) DrawEffects(current->inEffects);
    if (const TPageButton* table = currentTable()) {
        for (const TIGbutton& button : table->filled()) {
            const TButtonState* state = stateOf(button.id);
            if (state != nullptr && state->shown) DrawButton(button.id);
        }
    }
    if (registers_.psr(kPsrSelectedButton) < kIgNone) DrawSButton();
    const std::uint32_t psr10 = registers_.psr(kPsrSelectedButton);
    const std::uint32_t psr11 = registers_.psr(kPsrMenuPage);
    reporter_.slog("PSR10: " + hexText(psr10, 4) + " (" + std::to_string(psr10) +
                       "), PSR11: " + hexText(psr11, 2) + " (" + std::to_string(psr11) + ")",
                   1);
}

void PageRenderer::playButtonSound(std::uint8_t sound) {
    if (options_.playSound && sound < options_.soundCount) host_.playSound(sound);
}

void PageRenderer::DrawButton(std::size_t slot) {
    const TIGbutton* button = buttonAt(slot);
    TButtonState* state = stateOf(slot);
    if (button == nullptr || state == nullptr) return;
    state->frame = 0;
    state->normalRunning = button->normalStart < button->normalEnd ? 1 : 0;
    // A button in its normal state is neither selected nor activated.
    state->activatedRunning = 0;
    if (selectAfterActivation_ == slot) selectAfterActivation_.reset();
    DrawButt(slot);
}

void PageRenderer::DrawSButton() {
    const std::uint32_t slot = registers_.psr(kPsrSelectedButton);
    const TIGbutton* button = buttonAt(slot);
    TButtonState* state = stateOf(slot);
    if (button == nullptr || state == nullptr) return;
    playButtonSound(button->selectedSound);
    // While the activated animation runs (it shares the frame counter), the
    // selected state waits for its end.
    if (state->activatedRunning) {
        selectAfterActivation_ = slot;
        return;
    }
    state->frame = 0;
    state->selectedRunning = button->selectedStart < button->selectedEnd ? 1 : 0;
    DrawSButt();
}

void PageRenderer::stepSelectedButton() {
    const std::uint32_t slot = registers_.psr(kPsrSelectedButton);
    const TIGbutton* button = buttonAt(slot);
    TButtonState* state = stateOf(slot);
    if (button == nullptr || state == nullptr) return;
    if (state->activatedRunning) {
        DrawAButt();
    } else if (selectAfterActivation_ == slot) {
        selectAfterActivation_.reset();
        state->frame = 0;
        state->selectedRunning = button->selectedStart < button->selectedEnd ? 1 : 0;
        DrawSButt();
    } else if (state->selectedRunning) {
        DrawSButt();
    }
}

void PageRenderer::DrawAButton() {
    const std::uint32_t slot = registers_.psr(kPsrSelectedButton);
    const TIGbutton* button = buttonAt(slot);
    TButtonState* state = stateOf(slot);
    if (button == nullptr || state == nullptr) return;
    playButtonSound(button->activatedSound);
    if (selectAfterActivation_ == slot) selectAfterActivation_.reset();
    state->frame = 0;
    state->activatedRunning = button->activatedStart < button->activatedEnd ? 1 : 0;
    if (options_.animate) {
        DrawAButt();
        return;
    }
    DrawAButt2();
    // The whole animation has been shown.
    if (TButtonState* after = stateOf(slot)) {
        after->activatedRunning = 0;
        after->frame = 0;
    }
}

void PageRenderer::DrawButt(std::size_t slot) {
    drawStep(slot, ButtonDrawState::Normal, true);
}

void PageRenderer::DrawSButt() {
    drawStep(registers_.psr(kPsrSelectedButton), ButtonDrawState::Selected, true);
}

void PageRenderer::DrawAButt() {
    drawStep(registers_.psr(kPsrSelectedButton), ButtonDrawState::Activated, true);
}

void PageRenderer::redrawButton(std::size_t slot, ButtonDrawState state) {
    drawStep(slot, state, false);
}

void PageRenderer::drawStep(std::size_t slot, ButtonDrawState state, bool advance) {
    const TPageButton* table = currentTable();
    TButtonState* buttonState = stateOf(slot);
    if (table == nullptr || slot >= table->size() || buttonState == nullptr) return;
    const TIGbutton& button = (*table)[slot];
    if (button.id == kIgNone && state != ButtonDrawState::Activated) return;

    StateFields fields;
    switch (state) {
        case ButtonDrawState::Normal:
            fields = {button.normalStart, button.normalEnd, &buttonState->normalRunning,
                      buttonState->normalRepeat != 0};
            break;
        case ButtonDrawState::Selected:
            fields = {button.selectedStart, button.selectedEnd, &buttonState->selectedRunning,
                      buttonState->selectedRepeat != 0};
            break;
        case ButtonDrawState::Activated:  // never repeats
            fields = {button.activatedStart, button.activatedEnd, &buttonState->activatedRunning,
                      false};
            break;
    }
    const std::uint32_t object = std::uint32_t{fields.start} + buttonState->frame;
    if (advance && *fields.running) {
        ++buttonState->frame;
        if (int{buttonState->frame} > int{fields.end} - int{fields.start}) {
            buttonState->frame = 0;
            if (!fields.repeat) *fields.running = 0;
        }
    }
    if (object >= menu_.objects.size()) return;

    const PixelRect rect = objectRect(button, object);
    pageImage_.copyRect(background_, rect);
    pageImage_.blend(*Obj2Pic(menu_, object, pagePalette(), &reporter_), button.x, button.y);
    changed(unite(rect, drawOverlays(button, state, fields.start, rect)));
}

PixelRect PageRenderer::drawOverlays(const TIGbutton& button, ButtonDrawState state,
                                     std::uint32_t startObject, const PixelRect& rect) {
    const bool valid = !button.commands.empty();
    const bool normal = state == ButtonDrawState::Normal;
    const std::uint32_t label = !valid   ? colours_.invalidButton
                                : normal ? colours_.normalButton
                                         : colours_.selectedButton;
    const std::uint32_t frame = !valid   ? colours_.invalidFrame
                                : normal ? colours_.normalFrame
                                         : colours_.selectedFrame;
    const int scale = options_.labelScale > 0 ? options_.labelScale : options_.fullScreen ? 2 : 1;
    PixelRect touched;
    if (options_.showButtonFrame) pageImage_.frameRect(rect, frame);
    if (options_.showButtonId) {
        touched = unite(touched, pageImage_.drawLabel(button.x + 3, button.y + 3,
                                                      hexText(button.id, 4), label, kInk, scale));
    }
    if (options_.showObjectId) {
        touched =
            unite(touched, pageImage_.drawLabel(rect.right - 28 * scale, rect.bottom - 16 * scale,
                                                hexText(startObject, 4), label, kInk, scale));
    }
    return touched;
}

void PageRenderer::DrawAButt2() {
    const TIGbutton* found = selectedButton();
    if (found == nullptr) return;
    const TIGbutton button = *found;
    const std::uint32_t step = stepMs();
    if (button.activatedStart != kIgNone && button.activatedEnd >= button.activatedStart) {
        Blocking blocking(blocking_);
        for (std::uint32_t object = button.activatedStart;
             object <= button.activatedEnd && object < menu_.objects.size(); ++object) {
            const PixelRect rect = objectRect(button, object);
            pageImage_.copyRect(background_, rect);
            pageImage_.blend(*Obj2Pic(menu_, object, pagePalette(), &reporter_), button.x,
                             button.y);
            changed(rect);
            host_.refreshView();
            clock_.waitMs(step);
        }
    }
    showRegisters();
}

void PageRenderer::showRegisters() {
    reporter_.slog("PSR10: " + hexText(registers_.psr(kPsrSelectedButton), 4) +
                       ", PSR11: " + hexText(registers_.psr(kPsrMenuPage), 2),
                   1);
}

// ---- Effects ----

void PageRenderer::DrawEffects(const Teffectseq& sequence) {
    Blocking blocking(blocking_);
    PixelRect touched;
    for (std::size_t k = 0; k < sequence.effects.size(); ++k) {
        const Teffect& effect = sequence.effects[k];
        const std::int64_t start = clock_.nowMs();
        drawEffect(sequence, effect, touched);
        host_.refreshView();
        // The wall clock decides: slow drawing shortens the wait instead of
        // lengthening the effect.
        const std::int64_t elapsed = clock_.nowMs() - start;
        const std::int64_t duration = effect.duration;
        if (elapsed < duration / 90) clock_.waitMs((duration - elapsed * 90) / 90);
        reporter_.slog("Effect: " + std::to_string(k) +
                           "  duration: " + std::to_string(duration / 90) +
                           "ms, displayed: " + std::to_string(clock_.nowMs() - start) + " ms",
                       1);
    }
    for (const TWindow& window : sequence.windows) {
        pageImage_.copyRect(background_, windowRect(window));
        touched = unite(touched, windowRect(window));
    }
    changed(touched);
}

void PageRenderer::drawEffect(const Teffectseq& sequence, const Teffect& effect,
                              PixelRect& touched) {
    for (const TCompositionObject& composed : effect.objects) {
        const TWindow* window = windowOf(sequence, composed.windowId);
        if (window == nullptr) continue;
        pageImage_.copyRect(background_, windowRect(*window));
        if (options_.showWindowFrame) pageImage_.frameRect(windowRect(*window), colours_.window);
        touched = unite(touched, windowRect(*window));
    }
    for (const TCompositionObject& composed : effect.objects) {
        // An object whose window the sequence lacks has nowhere to show.
        const TWindow* window = windowOf(sequence, composed.windowId);
        if (window == nullptr) continue;
        // Objects show at their own position, and only inside their window,
        // as on a player.
        const PixelRect clip = windowRect(*window);
        if (composed.cropped()) {
            const Picture part =
                Obj2PicCr(menu_, composed.objectId, effect.palette, composed.cropX, composed.cropY,
                          std::uint32_t{composed.cropX} + composed.cropWidth,
                          std::uint32_t{composed.cropY} + composed.cropHeight, &reporter_);
            pageImage_.blend(part, composed.x, composed.y, clip);
            const PixelRect frame =
                PixelRect::sized(composed.x, composed.y, composed.cropWidth, composed.cropHeight);
            if (options_.showButtonFrame) pageImage_.frameRect(frame, colours_.normalButton);
            touched = unite(touched, frame);
        } else {
            const auto picture = Obj2Pic(menu_, composed.objectId, effect.palette, &reporter_);
            pageImage_.blend(*picture, composed.x, composed.y, clip);
            const PixelRect frame =
                PixelRect::sized(composed.x, composed.y, picture->width, picture->height);
            if (options_.showWindowFrame) pageImage_.frameRect(frame, colours_.normalButton);
            touched = unite(touched, frame);
        }
    }
    changed(touched);
}

void PageRenderer::LoadBmps(std::size_t page) {
    if (page >= menu_.ics.pages.size()) return;
    const TPage& p = menu_.ics.pages[page];
    const auto loadRange = [&](std::uint16_t start, std::uint16_t end, std::uint8_t palette) {
        if (start == kIgNone) return;
        for (std::uint32_t id = start; id <= end && id < menu_.objects.size(); ++id)
            Obj2Pic(menu_, id, palette, &reporter_);
    };
    for (const TBOG& bog : p.bogs) {
        for (const TIGbutton& button : bog.buttons) {
            loadRange(button.normalStart, button.normalEnd, p.palette);
            loadRange(button.selectedStart, button.selectedEnd, p.palette);
            loadRange(button.activatedStart, button.activatedEnd, p.palette);
        }
    }
    for (const Teffectseq* sequence : {&p.inEffects, &p.outEffects}) {
        for (const Teffect& effect : sequence->effects) {
            for (const TCompositionObject& composed : effect.objects)
                Obj2Pic(menu_, composed.objectId, effect.palette, &reporter_);
        }
    }
}

// ---- Previews ----

void PageRenderer::clearEffectPreview() {
    effectPreview_.reset(kWidth, kHeight, colours_.objectBackground);
    host_.effectPreviewChanged();
}

void PageRenderer::EffPreview(const Teffectseq& sequence, std::size_t effect, std::size_t object) {
    if (effectPreview_.empty()) clearEffectPreview();
    if (effect >= sequence.effects.size() || object >= sequence.effects[effect].objects.size())
        return;
    const Teffect& e = sequence.effects[effect];
    const TCompositionObject& composed = e.objects[object];
    if (const TWindow* window = windowOf(sequence, composed.windowId)) {
        effectPreview_.fillRect(windowRect(*window), colours_.objectBackground);
        if (options_.showWindowFrame)
            effectPreview_.frameRect(windowRect(*window), colours_.window);
    }
    Picture picture;
    if (composed.cropped()) {
        picture = Obj2PicCr(menu_, composed.objectId, e.palette, composed.cropX, composed.cropY,
                            std::uint32_t{composed.cropX} + composed.cropWidth,
                            std::uint32_t{composed.cropY} + composed.cropHeight, &reporter_);
    } else {
        picture = *Obj2Pic(menu_, composed.objectId, e.palette, &reporter_);
    }
    effectPreview_.blend(picture, composed.x, composed.y);
    if (options_.showButtonFrame && !picture.empty()) {
        effectPreview_.frameRect(
            PixelRect::sized(composed.x, composed.y, picture.width, picture.height),
            colours_.normalButton);
    }
    host_.effectPreviewChanged();
}

FrameBuffer PageRenderer::palettePicture(std::uint32_t palette) const {
    FrameBuffer picture(350, 180, colours_.objectBackground);
    const TRGBApalettes colours = id2pal(menu_, palette);
    for (std::size_t n = 0; n < 256; ++n) {
        const std::int64_t x = 10 + 10 * static_cast<std::int64_t>(n % 16);
        const std::int64_t y = 10 + 10 * static_cast<std::int64_t>(n / 16);
        const std::uint32_t colour = colours[n];
        // Left: the colour; right: white as opaque as the entry.
        for (const std::int64_t left : {x, x + 170}) {
            fillCutCorners(picture, PixelRect::sized(left, y, 9, 9), kSwatchEdge);
            const PixelRect inner = PixelRect::sized(left + 1, y + 1, 7, 7);
            if (left == x) {
                fillCutCorners(picture, inner, colour & 0x00FFFFFFu);
            } else {
                FrameBuffer swatch(7, 7, colours_.objectBackground);
                swatch.blendRect(swatch.bounds(), 0xFFFFFF,
                                 static_cast<std::uint8_t>(colour >> 24));
                fillCutCorners(picture, inner, swatch.pixel(0, 0));
            }
        }
    }
    return picture;
}

ButtonPicture PageRenderer::ShowButtonPic(std::uint32_t object, std::uint32_t palette) {
    ButtonPicture result;
    if (options_.viewPaletteOnly) {
        result.picture = palettePicture(palette);
        result.paletteView = true;
        reporter_.slog("Palette: " + hexText(palette, 2) + " (" + std::to_string(palette) + ")", 1);
        return result;
    }
    if (object == kIgNone) {
        result.picture.reset(1, 1, colours_.objectBackground);
        reporter_.slog("No object assigned", 1);
        return result;
    }
    if (object >= menu_.objects.size() || !hasPixels(menu_.objects[object])) {
        result.picture.reset(1, 1, colours_.objectBackground);
        return result;
    }
    const TIGobject& o = menu_.objects[object];
    result.picture.reset(o.width, o.height, colours_.objectBackground);
    result.picture.blend(*Obj2Pic(menu_, object, palette, &reporter_), 0, 0);
    result.showsObject = true;
    if (!reporter_.inProgress()) {
        const std::string& separator = options_.thousandsSeparator;
        reporter_.slog("Size: " + std::to_string(o.width) + "x" + std::to_string(o.height) +
                           ",  Object: " + hexText(object, 4) +
                           ",  Palette: " + hexText(palette, 2) +
                           ",  RLE pixel data: " + sizeText(o.dataLength, separator) + " (" +
                           sizeText(std::int64_t{o.width} * o.height, separator) + ")",
                       1);
    }
    return result;
}

PaletteReadout PageRenderer::paletteReadout(std::uint32_t palette, std::int64_t x,
                                            std::int64_t y) const {
    PaletteReadout readout;
    const std::string name =
        "Palette: " + hexText(palette, 2) + " (" + std::to_string(palette) + ")";
    readout.text = name;
    // The swatches of the left grid start at 11, those of the right one at
    // 181; 16 columns and rows of 10 pixels each.
    const std::int64_t left = x >= 181 ? 181 : 11;
    if (y < 11 || y > 170 || x < left || x > left + 159) return readout;
    const int entry = static_cast<int>((y - 11) / 10 * 16 + (x - left) / 10);
    const TRGBA colour = palette < menu_.palettes.size()
                             ? menu_.palettes[palette].rgba[static_cast<std::size_t>(entry)]
                             : TRGBA{};
    const int t = colour.a;
    readout.overSwatch = true;
    readout.entry = entry;
    readout.text = name + "      Color: " + hexText(entry, 2) + " (" + std::to_string(entry) +
                   ")      RGB: #" + hexText(colour.r, 2) + hexText(colour.g, 2) +
                   hexText(colour.b, 2) + "  (" + std::to_string(colour.r) + "," +
                   std::to_string(colour.g) + "," + std::to_string(colour.b) +
                   ")      Opacity: " + hexText(t, 2) + " (" + std::to_string(t) + ")" +
                   "      Transparency: " + hexText(255 - t, 2) + " (" + std::to_string(255 - t) +
                   ")  " + std::to_string((255 - t) * 100 / 255) + "%";
    return readout;
}

// ---- Page view sizing ----

PixelRect fitFullScreen(int areaWidth, int areaHeight) {
    const std::int64_t width = std::max(areaWidth - 2, 0);
    const std::int64_t height = std::max(areaHeight - 2, 0);
    std::int64_t shownWidth = width;
    std::int64_t shownHeight = width * 9 / 16;
    if (shownHeight > height) {
        shownHeight = height;
        shownWidth = height * 16 / 9;
    }
    const std::int64_t x = (areaWidth - shownWidth) / 2;
    const std::int64_t y = (areaHeight - shownHeight) / 2;
    return PixelRect::sized(x, y, shownWidth, shownHeight);
}

std::int64_t toPageX(std::int64_t x, std::int64_t shownWidth) {
    return shownWidth > 0 ? x * PageRenderer::kWidth / shownWidth : x;
}

std::int64_t toPageY(std::int64_t y, std::int64_t shownHeight) {
    return shownHeight > 0 ? y * PageRenderer::kHeight / shownHeight : y;
}

}  // namespace lumora
