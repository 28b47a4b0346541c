// IG menus: loading a menu with 50 MB of object data, and the RLE decoder's
// output rate on menu-like pictures and on its worst case, literal pixels.
#include <filesystem>
#include <memory>
#include <random>

#include "bench.h"
#include "core/report.h"
#include "menu/menu_reader.h"
#include "menu/menu_writer.h"
#include "menu/rle_codec.h"

namespace lumora::bench {
namespace {
namespace fs = std::filesystem;

constexpr std::uint16_t kWidth = 1920;
constexpr std::uint16_t kHeight = 1080;
constexpr std::size_t kPixels = std::size_t{kWidth} * kHeight;

// A menu-like picture: transparent space, solid shapes and anti-aliased edges
// (stretches of 1 to 4 literal pixels), and now and then a gradient of
// literal pixels.
Bytes menuPicture(std::mt19937& random) {
    Bytes bitmap(kPixels);
    for (std::size_t y = 0; y < kHeight; ++y) {
        std::uint8_t* row = bitmap.data() + y * kWidth;
        std::size_t x = 0;
        while (x < kWidth) {
            const std::uint32_t kind = random() % 10;
            std::size_t run;
            if (kind < 4) {  // transparent
                run = 20 + random() % 300;
                std::fill_n(row + x, std::min(run, kWidth - x), std::uint8_t{0});
            } else if (kind < 7) {  // solid
                run = 10 + random() % 200;
                std::fill_n(row + x, std::min(run, kWidth - x),
                            static_cast<std::uint8_t>(1 + random() % 255));
            } else if (kind < 9) {  // edge
                run = 1 + random() % 4;
                for (std::size_t k = 0; k < run && x + k < kWidth; ++k)
                    row[x + k] = static_cast<std::uint8_t>(1 + (x + k) % 250);
            } else {  // gradient
                run = 30 + random() % 120;
                for (std::size_t k = 0; k < run && x + k < kWidth; ++k)
                    row[x + k] = static_cast<std::uint8_t>(1 + (x + k) / 2 % 250);
            }
            x += run;
        }
    }
    return bitmap;
}

// The decoder's worst case: a code for every single pixel, literals between
// transparent pixels (00 01).
Bytes singlePixelPicture() {
    Bytes bitmap(kPixels);
    for (std::size_t i = 0; i < kPixels; ++i)
        bitmap[i] = i % 2 ? 0 : static_cast<std::uint8_t>(1 + i / 2 % 255);
    return bitmap;
}

// Every pixel differs from its neighbours: one code byte per pixel, so the
// menu's file holds about as many bytes as its objects have pixels.
Bytes literalPicture() {
    Bytes bitmap(kPixels);
    for (std::size_t i = 0; i < kPixels; ++i)
        bitmap[i] = static_cast<std::uint8_t>(1 + i % 255);
    return bitmap;
}

TIGobject object(std::uint16_t id, Bytes bitmap) {
    return bitmapObject(id, kWidth, kHeight, std::move(bitmap));
}

// A written and re-read menu, so the objects' RLE data lies in the resource
// the way a load leaves it.
TIGMenu loadedMenu(std::vector<TIGobject> objects) {
    TIGMenu menu;
    menu.objects = std::move(objects);
    menu.palettes.resize(1);
    SilentSink sink;
    Reporter reporter(sink);
    const Bytes file = *igsBytes(menu, IGSForm::MenuFile, reporter);
    TIGMenu loaded;
    parseMenu(file, "bench.mnu", loaded, reporter);
    return loaded;
}

std::size_t rleBytes(const TIGMenu& menu) {
    std::size_t total = 0;
    for (const TIGobject& o : menu.objects)
        total += o.dataLength;
    return total;
}

constexpr int kMenuObjects = 24;
// Objects of the 50 MB menu: half literal pictures, half menu-like ones.
std::vector<TIGobject> largeMenuObjects() {
    std::mt19937 random(5);
    std::vector<TIGobject> objects;
    for (int i = 0; i < 2 * kMenuObjects; ++i) {
        objects.push_back(
            object(static_cast<std::uint16_t>(i), i % 2 ? menuPicture(random) : literalPicture()));
    }
    return objects;
}

std::function<void()> loadLargeMenu() {
    std::shared_ptr<fs::path> file(new fs::path(fs::temp_directory_path() / "lumora-bench.mnu"),
                                   [](fs::path* path) {
                                       std::error_code ec;
                                       fs::remove(*path, ec);
                                       delete path;
                                   });
    TIGMenu menu;
    menu.objects = largeMenuObjects();
    menu.palettes.resize(1);
    SilentSink sink;
    Reporter reporter(sink);
    saveIGS(menu, IGSForm::MenuFile, file->string(), reporter);
    std::printf("  (menu file of %.1f MB, %.1f MB of RLE data)\n",
                static_cast<double>(fs::file_size(*file)) / 1e6,
                static_cast<double>(rleBytes(menu)) / 1e6);
    return [file] {
        SilentSink quiet;
        Reporter loadReporter(quiet);
        TIGMenu loaded;
        loadMNU(file->string(), loaded, loadReporter);
    };
}

std::function<void()> decodeAll(std::shared_ptr<TIGMenu> menu) {
    return [menu] {
        for (std::size_t id = 0; id < menu->objects.size(); ++id)
            rle_decode(*menu, id);
    };
}

constexpr int kDecodeObjects = 8;

std::function<void()> decodeMenuPictures() {
    std::mt19937 random(7);
    std::vector<TIGobject> objects;
    for (int i = 0; i < kDecodeObjects; ++i)
        objects.push_back(object(static_cast<std::uint16_t>(i), menuPicture(random)));
    auto menu = std::make_shared<TIGMenu>(loadedMenu(std::move(objects)));
    std::printf("  (menu-like pictures: %.2f RLE bytes per pixel)\n",
                static_cast<double>(rleBytes(*menu)) / (kDecodeObjects * kPixels));
    return decodeAll(menu);
}

std::function<void()> decodeSinglePixels() {
    std::vector<TIGobject> objects;
    for (int i = 0; i < kDecodeObjects; ++i)
        objects.push_back(object(static_cast<std::uint16_t>(i), singlePixelPicture()));
    return decodeAll(std::make_shared<TIGMenu>(loadedMenu(std::move(objects))));
}

std::function<void()> encodeMenuPictures() {
    std::mt19937 random(7);
    auto pictures = std::make_shared<std::vector<Bytes>>();
    for (int i = 0; i < kDecodeObjects; ++i)
        pictures->push_back(menuPicture(random));
    return [pictures] {
        for (const Bytes& picture : *pictures)
            encodeRle(picture.data(), kWidth, kHeight);
    };
}

constexpr double kDecodedMB = kDecodeObjects * static_cast<double>(kPixels) / 1e6;

const Register kLoad{{"menu load, 50 MB of object data", loadLargeMenu, "loads", 1}};
const Register kDecode{
    {"RLE decode, menu-like pictures", decodeMenuPictures, "MB pixels", kDecodedMB}};
const Register kDecodeSinglePixels{
    {"RLE decode, a code per pixel", decodeSinglePixels, "MB pixels", kDecodedMB}};
const Register kEncode{
    {"RLE encode, menu-like pictures", encodeMenuPictures, "MB pixels", kDecodedMB}};

}  // namespace
}  // namespace lumora::bench
