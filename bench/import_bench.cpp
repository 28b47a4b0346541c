// Importing true-colour artwork: a 1920 x 1080 RGBA picture (smooth colour
// ramps with fine noise and a soft alpha edge, as painted artwork has them)
// read from its PNG, reduced to 255 colours and imported as an object with
// its palette.
#include <memory>
#include <random>

#include "bench.h"
#include "menu/menu_edit.h"
#include "menu/object_import.h"
#include "menu/picture_png.h"

namespace lumora::bench {
namespace {

constexpr std::uint32_t kWidth = 1920;
constexpr std::uint32_t kHeight = 1080;

Bytes artworkPng() {
    Picture picture{kWidth, kHeight, {}};
    picture.pixels.reserve(std::size_t{kWidth} * kHeight);
    std::mt19937 noise(7);
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            const std::uint32_t grain = noise() % 9;
            const std::uint32_t r = (x * 255 / kWidth + grain) & 0xFF;
            const std::uint32_t g = (y * 255 / kHeight + grain) & 0xFF;
            const std::uint32_t b = ((x + y) * 255 / (kWidth + kHeight)) & 0xFF;
            const std::uint32_t a = x < 200 ? x * 255 / 200 : 255;
            picture.pixels.push_back(r | g << 8 | b << 16 | a << 24);
        }
    }
    return rgbaPngBytes(picture);
}

std::function<void()> importArtwork() {
    auto png = std::make_shared<Bytes>(artworkPng());
    return [png] {
        std::string error;
        const auto pictures = readImportPictures({*png}, {"artwork.png"}, true, error);
        TIGMenu menu;
        newMenu(menu);
        if (!pictures || !importPictures(menu, *pictures, {}).edit.done()) std::abort();
    };
}

const Register kImport{{"import 1920x1080 RGBA, 255 colours", importArtwork, "pictures", 1}};

}  // namespace
}  // namespace lumora::bench
