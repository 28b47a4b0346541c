// The menu page renderer: draws a page as a player shows it, into a 1920 x
// 1080 page image: the background, the page's in-effects, the shown button of
// every BOG in its normal state and the selected button; single buttons one
// animation step at a time in their normal, selected and activated states;
// effect sequences with their timing; the optional overlays (button ids,
// object ids, button and window frames); the effect preview, object and
// palette previews and the palette readout.
//
// It changes no page, button, object or palette: only the animation counters
// and flags of the button states (TIGMenu::buttonStates) and PSR43.  The
// button states and PSR10 (the selected button) decide what is drawn.  Time
// comes from a MenuClock; the window around it hears of changed areas,
// sounds and the rest through a MenuViewHost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/report.h"
#include "menu/frame_buffer.h"
#include "menu/menu_clock.h"
#include "menu/menu_model.h"
#include "playback/registers.h"

namespace lumora {

inline constexpr std::uint32_t kPsrPageBackup = 43;  // the page id's back-up register

// The interface colours of the menu views (R in the low byte, as stored).
struct MenuColours {
    std::uint32_t background = 0x800000;        // "Menu background": navy
    std::uint32_t objectBackground = 0xC0C0C0;  // "Object background": silver
    std::uint32_t selectedButton = 0x00FFFF;    // yellow
    std::uint32_t selectedFrame = 0x0000FF;     // red
    std::uint32_t normalButton = 0xFFFFFF;      // white
    std::uint32_t normalFrame = 0xC0C0C0;       // silver
    std::uint32_t invalidButton = 0x808080;     // grey: a button without commands
    std::uint32_t invalidFrame = 0x000000;      // black
    std::uint32_t window = 0x00FF00;            // "Window frame": lime
};

// The Menu tab's check boxes (and their Options twins) that drawing follows.
struct RenderOptions {
    bool showButtonId = false;     // "Show Button ID"
    bool showObjectId = false;     // "Show Object ID"
    bool showButtonFrame = false;  // "Show Button frame"
    bool showWindowFrame = false;  // "Show Window frame"
    bool showInEffects = true;     // "Show InEffect() effects"
    bool showOutEffects = true;    // "Show OutEffects() effects"
    bool animate = false;          // "Button animation"
    bool fullScreen = false;       // "Show Full Screen": overlay labels twice as large
    // The overlay labels' size in page pixels per font pixel when the view
    // sets it (a page shown smaller gets larger labels, so they stay
    // readable on the screen); 0 leaves it to "Show Full Screen".
    int labelScale = 0;
    bool playSound = false;        // "Play button sound"
    bool preload = true;           // "Preload all bitmap of the page"
    bool viewPaletteOnly = false;  // "View palette only"
    // Entries of sound.bdmv: sounds with lower ids play.
    std::size_t soundCount = 0;
    // Thousands separator of the object preview's sizes (the user's locale).
    std::string thousandsSeparator = ",";
};

// What the page is drawn on.
struct BackgroundChoice {
    enum class Kind {
        BuiltIn,  // the program's own picture over the menu background colour
        Picture,  // the user's BMP or PNG file ("Background" checked, a file named)
        Flat,     // the menu background colour alone
    };
    Kind kind = Kind::BuiltIn;
    std::string file;
};

enum class ButtonDrawState { Normal, Selected, Activated };
enum class MenuCursor { Arrow, Hand, Move };

// The window around the renderer and the simulator.  Every call is a notice;
// the defaults ignore it.
class MenuViewHost {
public:
    virtual ~MenuViewHost() = default;
    // The page image changed inside `area` (clipped to the page).
    virtual void pageChanged(const PixelRect& /*area*/) {}
    // Paint the page view now: a blocking effect or activated animation is
    // about to wait.
    virtual void refreshView() {}
    // The effect preview changed.
    virtual void effectPreviewChanged() {}
    // "Play button sound" is checked and the sound exists in sound.bdmv.
    virtual void playSound(std::uint8_t /*soundId*/) {}
    // The simulator's timers changed: re-arm the window's timer for
    // MenuSimulator::msUntilNextTimer().
    virtual void timersChanged() {}
    // The "Button" selector shows this slot.
    virtual void buttonChosen(std::uint16_t /*slot*/) {}
    // A button command chose this page (SetButtonPage): the page selector,
    // the page header and the BOG views follow it.
    virtual void pageShown(std::size_t /*page*/) {}
    virtual void cursorChanged(MenuCursor /*cursor*/) {}
    // A drag moved this button of the current page (both of its copies).
    virtual void buttonMoved(std::uint16_t /*slot*/) {}
};

// An object or palette preview (ShowButtonPic).
struct ButtonPicture {
    FrameBuffer picture;
    bool paletteView = false;
    // The object and palette to select in their selectors; set only when an
    // object was drawn.
    bool showsObject = false;
};

// What the pointer over the palette view reads (status panel 1).
struct PaletteReadout {
    bool overSwatch = false;  // the pointer is a hand
    int entry = -1;
    std::string text;
};

class PageRenderer {
public:
    static constexpr int kWidth = 1920;
    static constexpr int kHeight = 1080;

    // Nothing is owned; everything outlives the renderer.  Starts with the
    // built-in background.
    PageRenderer(TIGMenu& menu, Registers& registers, Reporter& reporter, MenuClock& clock,
                 MenuViewHost& host);

    RenderOptions& options() { return options_; }
    const RenderOptions& options() const { return options_; }
    MenuColours& colours() { return colours_; }
    const MenuColours& colours() const { return colours_; }

    // The page drawn (an index into the page array); its button table and
    // TIGMenu::buttonStates belong together.
    void setPage(std::size_t page) { page_ = page; }
    std::size_t page() const { return page_; }

    const FrameBuffer& pageImage() const { return pageImage_; }
    const FrameBuffer& background() const { return background_; }
    const FrameBuffer& effectPreview() const { return effectPreview_; }

    // ---- Background ----
    // `backchange`: rebuilds the background from the choice and resets the
    // page image.  A picture file that cannot be used is logged and the
    // built-in picture is taken.
    void setBackground(BackgroundChoice choice);
    void backchange();
    const BackgroundChoice& backgroundChoice() const { return backgroundChoice_; }

    // ---- Page image ----
    void DelPage();
    void DelRect(const PixelRect& rect);
    // Erases the button's normal-start-object area, unless a button of its
    // BOG (the button included) is shown.
    void DelButton(std::size_t slot);
    void DrawPage();
    // Restart a state's animation and draw its first step.
    void DrawButton(std::size_t slot);
    void DrawSButton();  // the button PSR10, with its sound
    void DrawAButton();  // the button PSR10, with its sound; the whole
                         // animation at once when animation is off
    // One animation step.
    void DrawButt(std::size_t slot);
    void DrawSButt();
    void DrawAButt();
    // Every activated object of the button PSR10 in turn, one animation
    // step apart.
    void DrawAButt2();
    // The animation timer's step of the button PSR10: its activated
    // animation while that runs, then the selected state again (when the
    // button is to be selected once its activation has been shown), else
    // its selected animation.
    void stepSelectedButton();
    // Draws the state's current step again without moving its counter (a
    // dragged button).
    void redrawButton(std::size_t slot, ButtonDrawState state);
    // Plays an effect sequence on the page image.
    void DrawEffects(const Teffectseq& sequence);
    // Makes every picture the page can need.
    void LoadBmps(std::size_t page);

    // Milliseconds of one animation step of the current page; 0 = no
    // animation.
    std::uint32_t stepMs() const;
    // An effect sequence or the activated animation is waiting out its time.
    bool blocking() const { return blocking_ > 0; }

    // ---- Previews ----
    void clearEffectPreview();
    void EffPreview(const Teffectseq& sequence, std::size_t effect, std::size_t object);
    ButtonPicture ShowButtonPic(std::uint32_t object, std::uint32_t palette);
    // The palette view's readout at (x, y) of the 350 x 180 picture.
    PaletteReadout paletteReadout(std::uint32_t palette, std::int64_t x, std::int64_t y) const;

    // The rectangle a button's object takes on the page (empty when the
    // object is not in the table).
    PixelRect objectRect(const TIGbutton& button, std::uint32_t object) const;

private:
    struct Blocking;
    struct StateFields;

    const TPage* currentPage() const;
    const TPageButton* currentTable() const;
    TButtonState* stateOf(std::size_t slot);
    const TIGbutton* buttonAt(std::size_t slot) const;
    const TIGbutton* selectedButton() const;
    std::uint8_t pagePalette() const;
    void drawStep(std::size_t slot, ButtonDrawState state, bool advance);
    PixelRect drawOverlays(const TIGbutton& button, ButtonDrawState state,
                           std::uint32_t startObject, const PixelRect& rect);
    void playButtonSound(std::uint8_t sound);
    void showRegisters();
    void changed(const PixelRect& area);
    void drawEffect(const Teffectseq& sequence, const Teffect& effect, PixelRect& touched);
    FrameBuffer palettePicture(std::uint32_t palette) const;

    TIGMenu& menu_;
    Registers& registers_;
    Reporter& reporter_;
    MenuClock& clock_;
    MenuViewHost& host_;
    RenderOptions options_;
    MenuColours colours_;
    BackgroundChoice backgroundChoice_;
    FrameBuffer background_;
    FrameBuffer pageImage_;
    FrameBuffer effectPreview_;
    std::size_t page_ = 0;
    int blocking_ = 0;
    // A button to show selected once its activated animation is over.
    std::optional<std::size_t> selectAfterActivation_;
};

// Full-screen view: where the page image goes in a viewing area of the given
// size (2 pixels smaller, 16:9 kept, centred).
PixelRect fitFullScreen(int areaWidth, int areaHeight);
// A pointer position in a scaled page view as page coordinates.
std::int64_t toPageX(std::int64_t x, std::int64_t shownWidth);
std::int64_t toPageY(std::int64_t y, std::int64_t shownHeight);

}  // namespace lumora
