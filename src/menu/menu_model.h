// The Interactive Graphics (IG) menu in memory: one interactive composition
// of pages, each with its effect sequences and button overlap groups (BOGs),
// the object table (run-length coded bitmaps) and the palette table.
//
// Models hold raw values: ids, 90 kHz ticks, flags and the raw RLE bytes.
// 16-bit button and object references use 0xFFFF for "none", sound
// references 0xFF.  Tables indexed by id keep empty slots, so a view row or a
// reference is always the id itself.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "menu/menu_resource.h"
#include "navigation/command.h"

namespace lumora {

inline constexpr std::uint16_t kIgNone = 0xFFFF;            // no button, no object
inline constexpr std::uint16_t kIgSelectedButton = 0xFFFE;  // default activated: the selected one
inline constexpr std::uint8_t kIgNoSound = 0xFF;
// An effect sequence has room for two windows (window ids 0 and 1).
inline constexpr std::size_t kIgMaxWindows = 2;
// Objects above this size in either direction are not decoded: a stream can
// declare 65535 x 65535 pixels in a few bytes, and no menu plane is larger.
inline constexpr std::uint32_t kIgMaxObjectSide = 4096;
// A new menu starts 2 seconds into its stream.
inline constexpr std::uint32_t kIgDefaultStartTime = 180000;

// Fragment sequence flags as held in TFragment::flags.
inline constexpr std::uint8_t kFirstInSequence = 2;
inline constexpr std::uint8_t kLastInSequence = 1;

// Where one fragment's payload lies in the menu resource (TIGMenu::resource).
struct TFragment {
    std::uint8_t version = 0;  // object_version_number; unused for the ICS
    std::uint8_t flags = 0;    // kFirstInSequence | kLastInSequence
    std::uint64_t position = 0;
    std::uint32_t length = 0;
    bool operator==(const TFragment&) const = default;
};

struct TWindow {
    std::uint8_t id = 0;
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    bool operator==(const TWindow&) const = default;
};

inline constexpr std::uint8_t kObjectCropped = 2;  // TCompositionObject::flags
inline constexpr std::uint8_t kObjectForcedOn = 1;

struct TCompositionObject {
    std::uint16_t objectId = 0;
    std::uint8_t windowId = 0;
    std::uint8_t flags = 0;  // kObjectCropped | kObjectForcedOn
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    // Meaningful only when cropped.
    std::uint16_t cropX = 0;
    std::uint16_t cropY = 0;
    std::uint16_t cropWidth = 0;
    std::uint16_t cropHeight = 0;
    bool cropped() const { return (flags & kObjectCropped) != 0; }
    bool operator==(const TCompositionObject&) const = default;
};

struct Teffect {
    std::uint32_t duration = 0;  // 24-bit effect_duration, 90 kHz ticks
    std::uint8_t palette = 0;
    std::vector<TCompositionObject> objects;
    bool operator==(const Teffect&) const = default;
};

struct Teffectseq {
    std::vector<TWindow> windows;  // never more than kIgMaxWindows
    std::vector<Teffect> effects;
    bool operator==(const Teffectseq&) const = default;
};

struct TIGbutton {
    std::uint16_t id = kIgNone;  // kIgNone marks an empty slot of a button table
    std::uint16_t numericSelectValue = kIgNone;
    std::uint8_t autoAction = 0;  // 0 or 1
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    std::uint16_t upper = kIgNone;
    std::uint16_t lower = kIgNone;
    std::uint16_t left = kIgNone;
    std::uint16_t right = kIgNone;
    std::uint16_t normalStart = kIgNone;
    std::uint16_t normalEnd = kIgNone;
    std::uint8_t normalRepeat = 0;
    std::uint8_t selectedSound = kIgNoSound;
    std::uint16_t selectedStart = kIgNone;
    std::uint16_t selectedEnd = kIgNone;
    std::uint8_t selectedRepeat = 0;
    std::uint8_t activatedSound = kIgNoSound;
    std::uint16_t activatedStart = kIgNone;
    std::uint16_t activatedEnd = kIgNone;
    TCommands commands;
    bool operator==(const TIGbutton&) const = default;
};

// A new button with id n: neighbours pointing at itself, no objects, no
// sounds, no commands.
TIGbutton IGbutton(std::uint16_t id);

struct TBOG {
    std::uint16_t defaultValidButton = kIgNone;
    std::vector<TIGbutton> buttons;  // stream order
    bool operator==(const TBOG&) const = default;
};

struct TPage {
    std::uint8_t id = 0;
    std::uint8_t version = 0;
    std::uint32_t uoMask1 = 0;  // first 32 bits of UO_mask_table
    std::uint32_t uoMask2 = 0;  // last 32 bits
    Teffectseq inEffects;
    Teffectseq outEffects;
    std::uint8_t animationFrameRateCode = 0;  // 0 = no animation
    std::uint16_t defaultSelectedButton = kIgNone;
    std::uint16_t defaultActivatedButton = kIgNone;
    std::uint8_t palette = 0;
    std::vector<TBOG> bogs;  // stream order
    bool operator==(const TPage&) const = default;
};

inline constexpr std::uint8_t kStreamModel = 2;         // TIGSc::modelFlags: 0 = multiplexed
inline constexpr std::uint8_t kUserInterfaceModel = 1;  // 1 = pop-up

// The interactive composition.
struct TIGSc {
    std::uint16_t videoWidth = 1920;
    std::uint16_t videoHeight = 1080;
    std::uint8_t frameRateId = 1;
    std::uint16_t compositionNumber = 0;
    std::uint8_t compositionState = 0;
    std::uint32_t compositionLength = 0;  // interactive_composition_length as read or written
    std::uint8_t modelFlags = kStreamModel | kUserInterfaceModel;
    std::uint64_t compositionTimeOut = 0;  // 40 bits as read; only when stream_model is 0
    std::uint64_t selectionTimeOut = 0;
    std::uint32_t userTimeOut = 0;  // 90 kHz ticks, 0 = none
    std::vector<TPage> pages;       // the index, not the page id, is what views select by
    std::vector<TFragment> fragments;
    bool streamModel() const { return (modelFlags & kStreamModel) != 0; }
    bool operator==(const TIGSc&) const = default;
};

// A page's buttons indexed by button id.  Only filled slots are stored: a
// stream may give a single button the id 0xFFFE on each of 255 pages, and a
// dense table of copies would then take a gigabyte.  Empty slots read as a
// button with id kIgNone.
class TPageButton {
public:
    // The table length: the larger of the page's button count and the largest
    // button id + 1.
    std::size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }
    // The button in `slot`, or null for an empty slot or one beyond the table.
    const TIGbutton* find(std::size_t slot) const;
    TIGbutton* find(std::size_t slot);
    // The slot's button, or an empty button (id kIgNone) for an empty slot.
    const TIGbutton& operator[](std::size_t slot) const;
    // Copies a button into the slot of its id; the table grows when needed.
    // A button with id kIgNone names no slot and is not stored.
    void put(const TIGbutton& button);
    // Grows or cuts the table; buttons beyond the new length go.
    void resize(std::size_t length);
    // Every slot becomes empty; the length stays.
    void clearSlots() { filled_.clear(); }
    // The filled slots in id order.
    const std::vector<TIGbutton>& filled() const { return filled_; }
    bool operator==(const TPageButton&) const = default;

private:
    std::size_t length_ = 0;
    std::vector<TIGbutton> filled_;  // sorted by id
};

// Rebuilds a page's button table from its BOGs: as long as the button count
// or the largest id + 1, every button copied into the slot of its id (a later
// button with the same id wins).
TPageButton pageButtonTable(const TPage& page);

struct TYCrCb {
    std::uint8_t y = 0;
    std::uint8_t cr = 0;
    std::uint8_t cb = 0;
    bool operator==(const TYCrCb&) const = default;
};

struct TRGBA {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;  // the entry's transparency byte T: 0 transparent, 255 opaque
    bool operator==(const TRGBA&) const = default;
};

struct TIGpalette {
    std::uint16_t id = 0;
    std::uint8_t version = 0;
    std::array<TYCrCb, 256> ycrcb{};
    std::array<TRGBA, 256> rgba{};  // from ycrcb by the colour conversion; A = T
    bool operator==(const TIGpalette&) const = default;
};

// 256 RGBA values for drawing: R in bits 0-7, G 8-15, B 16-23, A 24-31 (the
// bytes R, G, B, A in memory on a little-endian machine).
using TRGBApalettes = std::array<std::uint32_t, 256>;

inline constexpr std::uint32_t packRgba(const TRGBA& c) {
    return static_cast<std::uint32_t>(c.r) | (static_cast<std::uint32_t>(c.g) << 8) |
           (static_cast<std::uint32_t>(c.b) << 16) | (static_cast<std::uint32_t>(c.a) << 24);
}

// An RGBA picture, pixels row by row in the packing of TRGBApalettes.
struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels;
    bool empty() const { return width == 0 || height == 0; }
    bool operator==(const Picture&) const = default;
};

// One object's pictures, one slot per palette id, made on first use.
struct TObjectCache {
    std::vector<std::shared_ptr<const Picture>> pictures;
};

struct TIGobject {
    std::uint16_t id = 0;          // equals the slot index for every object that was read
    bool filled = false;           // false for slots no ODS filled; those are never written
    std::int32_t writeOrder = -1;  // the writer's working value: position in the write order
    std::uint32_t dataLength = 0;  // bytes of RLE data: object_data_length - 4
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::vector<TFragment> fragments;  // stream order, positions in the menu resource
    // Why the object cannot be decoded (too large, RLE data missing from the
    // file); empty when it can.  Such an object shows nothing and is written
    // back with the RLE bytes it was read with.
    std::string problem;
    // width x height palette indices, decoded from the RLE data on first use.
    std::optional<Bytes> bitmap;
    TObjectCache cache;
};

// An object made in the program (demo, import) from a decoded bitmap of
// width x height palette indices; the writer encodes it.
TIGobject bitmapObject(std::uint16_t id, std::uint16_t width, std::uint16_t height, Bytes bitmap);

// One per slot of the current page's button table (the simulator drives
// them).
struct TButtonState {
    std::uint8_t shown = 0;  // the default valid button of its BOG: the one it displays
    std::uint8_t bog = 0;
    std::uint8_t index = 0;  // within the BOG
    std::uint8_t normalRunning = 0;
    std::uint8_t selectedRunning = 0;
    std::uint8_t activatedRunning = 0;
    std::uint8_t normalRepeat = 0;
    std::uint8_t selectedRepeat = 0;
    std::uint16_t frame = 0;  // step of the running animation, from 0
    bool operator==(const TButtonState&) const = default;
};

// The whole menu.  The fragment records point into `resource`: after a load
// the menu file itself, after a save the written page data and RLE data.
struct TIGMenu {
    TIGSc ics;
    std::vector<TIGobject> objects;          // indexed by object id
    std::vector<TIGpalette> palettes;        // indexed by palette id
    std::vector<TPageButton> pageButtons;    // one per page
    std::vector<TButtonState> buttonStates;  // of the current page
    MenuResource resource;
    std::uint32_t startTime = kIgDefaultStartTime;  // PTS of the first segment, 90 kHz
};

// Whether two menus hold the same content: composition, objects, palettes
// and start time.  What the program keeps beside the content (button states,
// pictures, bitmaps decoded on first use, the writer's working values) does
// not count.  An object read from a file is its RLE data, known by where it
// lies in the menu resource; one made in the program is its bitmap.
bool sameMenuContent(const TIGMenu& a, const TIGMenu& b);
struct SameMenuContent {
    bool operator()(const TIGMenu& a, const TIGMenu& b) const { return sameMenuContent(a, b); }
};

// The button states of a page as a page change sets them up: one per slot,
// shown for each BOG's default valid button, repeat flags from the buttons.
std::vector<TButtonState> makeButtonStates(const TIGMenu& menu, std::size_t page);

// The 256 colours of a palette; all transparent black for an id outside the
// table.
TRGBApalettes id2pal(const TIGMenu& menu, std::size_t palette);
// Where a palette is used, page by page: "0i 0 1" = page 0's in-effects and
// buttons, page 1's buttons.
std::string getpalref(const TIGMenu& menu, std::size_t palette);
// Where an object is used: "0io 0:3ns,5a 1:2n" = page 0's in- and
// out-effects, its button 3 in the normal and selected and button 5 in the
// activated animation, and button 2 of page 1.
std::string getobjref(const TIGMenu& menu, std::size_t object);

// Cached pictures are dropped when their object or palette changes.
void dropObjectPictures(TIGMenu& menu, std::size_t object);
void dropPalettePictures(TIGMenu& menu, std::size_t palette);

// Frame rates: duration of one video frame in seconds as a fraction.
struct FrameDuration {
    std::uint32_t numerator = 0;
    std::uint32_t denominator = 1;
};
// Ids 1-4, 6 and 7 have a duration; the others none.
std::optional<FrameDuration> menuFrameDuration(std::uint8_t frameRateId);
// "23.97", "24", "25", "29.97", "50", "59.94"; "-" for the others.
std::string menuFrameRateText(std::uint8_t frameRateId);
// Milliseconds of one animation step: numerator x (code x 1000) / denominator,
// truncated.  0 (no animation) for code 0 and for frame rates without a
// duration: an animation needs a frame clock, and guessing one would play it
// at a speed the disc never shows.
std::uint32_t animationStepMs(std::uint8_t frameRateId, std::uint8_t animationFrameRateCode);

// "1920x1080", "1280x720", "720x576", "720x480".
const std::vector<std::string>& menuVideoFormatTexts();
// The format a loaded menu selects (the width picks 0 or 1, the height 2 or 3,
// the last match wins), or -1.
int menuVideoFormatIndex(const TIGSc& ics);

// "h:mm:ss.zzz" of a 90 kHz time (IN_time, effect durations).
std::string menuTimeText(std::uint64_t ticks90k);
// "h:mm:ss" of a 90 kHz time (the user time-out).
std::string menuClockText(std::uint64_t ticks90k);
// The 90 kHz time of an "h:mm:ss.zzz" text (minutes and seconds below 60,
// one to three digits of milliseconds); nothing for another text.
std::optional<std::uint64_t> menuTimeTicks(std::string_view text);

}  // namespace lumora
