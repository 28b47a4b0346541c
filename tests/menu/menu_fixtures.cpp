#include "menu_fixtures.h"

#include <algorithm>
#include <random>

#include "menu/rle_codec.h"

namespace lumora::test {

Bytes segment(std::uint8_t type, ByteView payload, std::uint32_t pts, std::uint32_t dts) {
    Bytes out{'I', 'G'};
    appendBigEndian(out, pts, 4);
    appendBigEndian(out, dts, 4);
    out.push_back(type);
    appendBigEndian(out, payload.size(), 2);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

namespace {

void compositionHeader(Bytes& out, std::uint8_t flags) {
    appendBigEndian(out, 1920, 2);
    appendBigEndian(out, 1080, 2);
    out.push_back(0x10);  // frame rate id 1
    appendBigEndian(out, 7, 2);
    out.push_back(0x80);  // composition state 2
    out.push_back(flags);
}

}  // namespace

Bytes icsPayload(std::uint8_t pages, ByteView pageData, bool timeOuts, std::uint8_t flags) {
    Bytes out;
    compositionHeader(out, flags);
    appendBigEndian(out, pageData.size() + (timeOuts ? 15 : 5), 3);
    out.push_back(timeOuts ? 0x40 : 0xC0);
    if (timeOuts) {
        appendBigEndian(out, 0x1234567890ull, 5);
        appendBigEndian(out, 0x00ABCDEF01ull, 5);
    }
    appendBigEndian(out, 90000, 3);
    out.push_back(pages);
    out.insert(out.end(), pageData.begin(), pageData.end());
    return out;
}

Bytes icsContinuation(ByteView pageData, std::uint8_t flags) {
    Bytes out;
    compositionHeader(out, flags);
    out.insert(out.end(), pageData.begin(), pageData.end());
    return out;
}

Bytes odsPayload(std::uint16_t id, std::uint8_t flags, ByteView rle, std::uint16_t width,
                 std::uint16_t height, std::uint32_t dataLength) {
    Bytes out;
    appendBigEndian(out, id, 2);
    out.push_back(0);
    out.push_back(flags);
    if (flags & 0x80) {
        appendBigEndian(out, dataLength ? dataLength : rle.size() + 4, 3);
        appendBigEndian(out, width, 2);
        appendBigEndian(out, height, 2);
    }
    out.insert(out.end(), rle.begin(), rle.end());
    return out;
}

Bytes pdsPayload(std::uint8_t id, const std::vector<std::array<std::uint8_t, 5>>& entries) {
    Bytes out{id, 0};
    for (const auto& entry : entries)
        out.insert(out.end(), entry.begin(), entry.end());
    return out;
}

TPage simplePage(std::uint8_t id, std::vector<TIGbutton> buttons) {
    TPage page;
    page.id = id;
    page.animationFrameRateCode = 1;
    TBOG bog;
    bog.defaultValidButton = buttons.empty() ? kIgNone : buttons.front().id;
    bog.buttons = std::move(buttons);
    page.bogs.push_back(std::move(bog));
    return page;
}

TIGobject objectOfEncodedLength(std::uint16_t id, std::size_t length) {
    constexpr std::size_t kLines = 53;
    // Each line of literals takes width + 2 bytes; a 0 pixel between two
    // literals takes one byte more than a literal.
    const std::size_t width = length / kLines - 2;
    std::size_t extra = length - kLines * (width + 2);
    Bytes bitmap(width * kLines);
    for (std::size_t y = 0; y < kLines; ++y) {
        for (std::size_t x = 0; x < width; ++x)
            bitmap[y * width + x] = static_cast<std::uint8_t>(1 + (x % 2));
    }
    for (std::size_t x = 1; extra > 0 && x + 1 < width; x += 2, --extra)
        bitmap[x] = 0;
    return bitmapObject(id, static_cast<std::uint16_t>(width), kLines, std::move(bitmap));
}

TIGpalette greyPalette(std::uint16_t id, int count) {
    TIGpalette palette;
    palette.id = id;
    for (int i = 1; i <= count && i < 256; ++i) {
        const auto level = static_cast<std::uint8_t>(16 + i * 219 / std::max(count, 1));
        palette.ycrcb[static_cast<std::size_t>(i)] = {level, 128, 128};
        palette.rgba[static_cast<std::size_t>(i)] = paletteColour({level, 128, 128}, 255);
    }
    return palette;
}

void rebuildButtonTables(TIGMenu& menu) {
    menu.pageButtons.clear();
    for (const TPage& page : menu.ics.pages)
        menu.pageButtons.push_back(pageButtonTable(page));
}

namespace {

Bytes patternBitmap(std::uint16_t width, std::uint16_t height, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bitmap(std::size_t{width} * height);
    for (std::size_t y = 0; y < height; ++y) {
        std::size_t x = 0;
        while (x < width) {
            const std::size_t run = 1 + random() % 40;
            const auto colour = static_cast<std::uint8_t>(random() % 3 == 0 ? 0 : random() % 8);
            for (std::size_t k = 0; k < run && x < width; ++k, ++x)
                bitmap[y * width + x] = colour;
        }
    }
    return bitmap;
}

TIGbutton button(std::uint16_t id, std::uint16_t x, std::uint16_t normal, std::uint16_t selected,
                 std::uint16_t activated) {
    TIGbutton b = IGbutton(id);
    b.x = x;
    b.y = 800;
    b.normalStart = normal;
    b.normalEnd = static_cast<std::uint16_t>(normal + 1);
    b.normalRepeat = 1;
    b.selectedStart = selected;
    b.selectedEnd = selected;
    b.activatedStart = activated;
    b.activatedEnd = activated;
    b.selectedSound = 0;
    b.commands = {{0x21810000, 1, 0}};
    return b;
}

}  // namespace

TIGMenu sampleMenu() {
    TIGMenu menu;
    menu.ics.compositionNumber = 3;
    menu.ics.compositionState = 2;
    menu.ics.userTimeOut = 900000;
    TPage first = simplePage(0, {button(0, 100, 0, 2, 3), button(1, 400, 0, 2, 3)});
    first.bogs[0].buttons[0].right = 1;
    first.bogs[0].buttons[1].left = 0;
    first.defaultSelectedButton = 0;
    first.palette = 1;
    first.inEffects.windows = {{0, 0, 0, 600, 200}, {1, 0, 300, 600, 200}};
    Teffect in;
    in.duration = 45000;
    in.palette = 2;
    TCompositionObject cropped;
    cropped.objectId = 4;
    cropped.flags = kObjectCropped | kObjectForcedOn;
    cropped.x = 10;
    cropped.y = 20;
    cropped.cropX = 5;
    cropped.cropY = 6;
    cropped.cropWidth = 30;
    cropped.cropHeight = 12;
    TCompositionObject plain;
    plain.objectId = 5;
    plain.windowId = 1;
    in.objects = {cropped, plain};
    first.inEffects.effects = {in};
    first.outEffects.windows = {{0, 0, 0, 600, 200}};
    Teffect out;
    out.duration = 9000;
    out.objects = {plain};
    first.outEffects.effects = {out};
    TPage second = simplePage(1, {button(0, 700, 6, 7, 7)});
    second.bogs[0].buttons[0].commands = {{0x51C00003, 0x80000000, 0x80000000}};
    menu.ics.pages = {first, second};
    rebuildButtonTables(menu);
    for (std::uint16_t id = 0; id < 8; ++id) {
        const std::uint16_t width = static_cast<std::uint16_t>(40 + 7 * id);
        const std::uint16_t height = static_cast<std::uint16_t>(20 + 3 * id);
        menu.objects.push_back(bitmapObject(id, width, height, patternBitmap(width, height, id)));
    }
    menu.palettes = {greyPalette(0, 7), greyPalette(1, 7), greyPalette(2, 3)};
    return menu;
}

}  // namespace lumora::test
