#include "menu/object_import.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "menu/menu_edit.h"
#include "menu/rle_codec.h"
#include "menu_fixtures.h"
#include "support/test_support.h"

namespace lumora {
namespace {

// An 8-bit palette PNG of width x height whose pixel (x, y) has index
// (x + 3y) % colours, with `colours` grey entries and the given tRNS.
Bytes palettePng(std::uint32_t width, std::uint32_t height, int colours, Bytes trns = {}) {
    test::PngSpec spec;
    spec.width = width;
    spec.height = height;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x)
            spec.rows.push_back(static_cast<std::uint8_t>((x + 3 * y) % colours));
    }
    for (int i = 0; i < colours; ++i) {
        const auto level = static_cast<std::uint8_t>(i * 7);
        spec.plte.insert(spec.plte.end(), {level, static_cast<std::uint8_t>(255 - level), 40});
    }
    spec.trns = std::move(trns);
    return test::pngFile(spec);
}

// A true-colour RGBA picture: smooth colour ramps with an alpha ramp.
RgbaImage rampPicture(std::uint32_t width, std::uint32_t height, int phase) {
    RgbaImage image{width, height, {}};
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            image.rgba.push_back(static_cast<std::uint8_t>((x * 255 / width + phase) % 256));
            image.rgba.push_back(static_cast<std::uint8_t>(y * 255 / height));
            image.rgba.push_back(static_cast<std::uint8_t>(128 + phase));
            image.rgba.push_back(static_cast<std::uint8_t>(x < width / 4 ? 0 : x * 255 / width));
        }
    }
    return image;
}

Bytes rgbaPng(const RgbaImage& image) {
    test::PngSpec spec;
    spec.width = image.width;
    spec.height = image.height;
    spec.colourType = 6;
    spec.rows = image.rgba;
    return test::pngFile(spec);
}

std::optional<std::vector<PalettePicture>> read(const std::vector<Bytes>& files, bool quantize,
                                                std::string& error) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < files.size(); ++i)
        names.push_back("f" + std::to_string(i) + ".png");
    return readImportPictures(files, names, quantize, error);
}

TIGMenu menuOfSize(std::uint16_t width, std::uint16_t height) {
    TIGMenu menu;
    newMenu(menu, width, height);
    return menu;
}

TEST(ObjectImport, OnlyEightBitPalettePicturesWithoutTheRequest) {
    test::PngSpec rgb;
    rgb.width = 2;
    rgb.height = 1;
    rgb.colourType = 2;
    rgb.rows = {1, 2, 3, 4, 5, 6};
    test::PngSpec fourBit;
    fourBit.width = 2;
    fourBit.height = 1;
    fourBit.bitDepth = 4;
    fourBit.rows = {0x01};
    fourBit.plte = {0, 0, 0, 255, 255, 255};
    const struct {
        const char* name;
        Bytes png;
        std::string error;
    } cases[] = {
        {"24-bit", test::pngFile(rgb), "Not supported file format!"},
        {"4-bit palette", test::pngFile(fourBit), "Not supported file format!"},
        {"16-bit RGBA",
         [] {
             test::PngSpec spec;
             spec.colourType = 6;
             spec.bitDepth = 16;
             spec.rows = Bytes(8, 0x80);
             return test::pngFile(spec);
         }(),
         "Not supported file format!"},
        {"cut",
         [] {
             Bytes png = palettePng(4, 4, 4);
             png.resize(png.size() - 20);
             return png;
         }(),
         ""},
        {"no PNG", Bytes(40, 7), "not a PNG file"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(read({c.png}, false, error)) << c.name;
        if (!c.error.empty()) {
            EXPECT_EQ(error, c.error) << c.name;
        } else {
            EXPECT_FALSE(error.empty()) << c.name << ": the library's message";
        }
    }
    // With the request every readable kind comes in.
    for (const auto& c : cases) {
        if (c.error != "Not supported file format!") continue;
        std::string error;
        const auto pictures = read({c.png}, true, error);
        ASSERT_TRUE(pictures) << c.name << ": " << error;
        EXPECT_EQ(pictures->front().indices.size(),
                  std::size_t{pictures->front().width} * pictures->front().height);
    }
}

TEST(ObjectImport, PictureAndPaletteComeInExactly) {
    std::string error;
    // tRNS for entries 0-2 only: the others used are opaque, entry 255 stays 0.
    const auto pictures = read({palettePng(16, 8, 20, {0, 100, 200})}, false, error);
    ASSERT_TRUE(pictures) << error;
    TIGMenu menu = menuOfSize(1920, 1080);
    const ImportResult result = importPictures(menu, *pictures, {});
    ASSERT_TRUE(result.edit.done()) << result.edit.refusal;
    ASSERT_EQ(menu.objects.size(), 1u);
    ASSERT_EQ(menu.palettes.size(), 1u);
    const TIGobject& object = menu.objects[0];
    EXPECT_EQ(object.width, 16);
    EXPECT_EQ(object.height, 8);
    EXPECT_EQ(*object.bitmap, pictures->front().indices);
    EXPECT_GT(object.dataLength, 0u);
    const TIGpalette& palette = menu.palettes[0];
    EXPECT_EQ(palette.rgba[0].a, 0);
    EXPECT_EQ(palette.rgba[1].a, 100);
    EXPECT_EQ(palette.rgba[2].a, 200);
    EXPECT_EQ(palette.rgba[3].a, 255);
    EXPECT_EQ(palette.rgba[19].a, 255);
    EXPECT_EQ(palette.rgba[5], (TRGBA{35, 220, 40, 255}));
    EXPECT_EQ(palette.ycrcb[5], rgbToYcrcb(35, 220, 40));
    EXPECT_EQ(palette.rgba[255], TRGBA{});
    EXPECT_EQ(palette.ycrcb[255], TYCrCb{});
}

TEST(ObjectImport, PicturesMustFitTheVideo) {
    std::string error;
    const auto sd = read({palettePng(720, 576, 4)}, false, error);
    const auto wide = read({palettePng(1920, 4, 4)}, false, error);
    ASSERT_TRUE(sd && wide);
    TIGMenu menu = menuOfSize(1280, 720);
    EXPECT_TRUE(importPictures(menu, *sd, {}).edit.done());
    const ImportResult refused = importPictures(menu, *wide, {});
    EXPECT_EQ(refused.edit.refusal, "Not supported file format!");
    EXPECT_EQ(menu.objects.size(), 1u);
    EXPECT_EQ(menu.palettes.size(), 1u);
}

TEST(ObjectImport, ReplacingObjectsAndPalettes) {
    TIGMenu menu = test::sampleMenu();
    std::string error;
    const auto pictures = read({palettePng(8, 8, 5), palettePng(4, 4, 5)}, false, error);
    ASSERT_TRUE(pictures) << error;
    (void)Obj2Pic(menu, 3, 1);
    ImportTarget target;
    target.replaceObject = 3;
    target.replacePalette = 1;
    const ImportResult result = importPictures(menu, *pictures, target);
    ASSERT_TRUE(result.edit.done()) << result.edit.refusal;
    EXPECT_EQ(menu.objects.size(), 8u) << "objects 3 and 4 replaced";
    EXPECT_EQ(menu.palettes.size(), 3u);
    EXPECT_EQ(menu.objects[3].width, 8);
    EXPECT_EQ(menu.objects[4].width, 4);
    EXPECT_EQ(menu.objects[4].id, 4);
    EXPECT_TRUE(menu.objects[3].cache.pictures.empty()) << "its old pictures are gone";
    EXPECT_EQ(menu.palettes[1], paletteOfPicture(pictures->front(), 1));
    // Past the table's end, replacing appends.
    target.replaceObject = 7;
    ASSERT_TRUE(importPictures(menu, *pictures, target).edit.done());
    EXPECT_EQ(menu.objects.size(), 9u);
    // Two palettes cannot be one.
    const auto differ = read({palettePng(8, 8, 5), palettePng(8, 8, 6)}, false, error);
    ASSERT_TRUE(differ);
    const TIGMenu before = menu;
    EXPECT_FALSE(importPictures(menu, *differ, {}).edit.done());
    EXPECT_EQ(menu.objects.size(), before.objects.size());
    EXPECT_EQ(menu.palettes, before.palettes);
}

TEST(ObjectImport, ExportThenImportGivesTheSameIndicesAndColours) {
    std::string error;
    const auto pictures = read({palettePng(33, 17, 254, {0, 1, 2, 3})}, false, error);
    ASSERT_TRUE(pictures);
    TIGMenu menu = menuOfSize(1920, 1080);
    ASSERT_TRUE(importPictures(menu, *pictures, {}).edit.done());
    const Bytes png = objectPngBytes(menu, 0, 0, "Lumora v0.36b");
    ASSERT_FALSE(png.empty());
    EXPECT_NE(std::string(png.begin(), png.end()).find("Software"), std::string::npos);
    const auto again = read({png}, false, error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(again->front().indices, pictures->front().indices);
    EXPECT_EQ(again->front().colours.size(), 256u);
    TIGMenu other = menuOfSize(1920, 1080);
    ASSERT_TRUE(importPictures(other, *again, {}).edit.done());
    for (std::size_t i = 0; i < 255; ++i) {
        EXPECT_EQ(other.palettes[0].rgba[i], menu.palettes[0].rgba[i]) << i;
        EXPECT_EQ(other.palettes[0].ycrcb[i], menu.palettes[0].ycrcb[i]) << i;
    }
    // An object of a loaded menu is decoded first.
    TIGMenu sample = test::sampleMenu();
    sample.objects[2].bitmap.reset();
    ASSERT_FALSE(rle_encode(sample, 2).empty());
    EXPECT_FALSE(objectPngBytes(sample, 2, 0, "x").empty());
    EXPECT_TRUE(objectPngBytes(sample, 2, 3, "x").empty()) << "no palette 3";
}

TEST(ObjectImport, ReducedArtworkStaysCloseToItsSource) {
    const std::vector<RgbaImage> frames = {rampPicture(160, 90, 0), rampPicture(160, 90, 20),
                                           rampPicture(160, 90, 40)};
    std::vector<Bytes> files;
    for (const RgbaImage& frame : frames)
        files.push_back(rgbaPng(frame));
    std::string error;
    const auto pictures = read(files, true, error);
    ASSERT_TRUE(pictures) << error;
    TIGMenu menu = menuOfSize(1920, 1080);
    const ImportResult result = importPictures(menu, *pictures, {});
    ASSERT_TRUE(result.edit.done()) << result.edit.refusal;
    EXPECT_EQ(menu.objects.size(), 3u);
    ASSERT_EQ(menu.palettes.size(), 1u) << "one palette for the three frames";
    // Decoded under its palette, each frame is close to its source: the
    // colours weighted by their alpha (a transparent pixel's colour is never
    // seen), and the alpha itself.
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const auto picture = Obj2Pic(menu, f, 0);
        double squared = 0;
        int alphaError = 0;
        for (std::size_t p = 0; p < picture->pixels.size(); ++p) {
            const std::uint32_t pixel = picture->pixels[p];
            const double alpha = static_cast<double>(pixel >> 24) / 255.0;
            const double sourceAlpha = frames[f].rgba[4 * p + 3] / 255.0;
            for (int c = 0; c < 3; ++c) {
                const double d = static_cast<double>((pixel >> (8 * c)) & 0xFF) * alpha -
                                 frames[f].rgba[4 * p + static_cast<std::size_t>(c)] * sourceAlpha;
                squared += d * d;
            }
            alphaError = std::max(
                alphaError, std::abs(static_cast<int>(pixel >> 24) - frames[f].rgba[4 * p + 3]));
        }
        const double mse = squared / (3.0 * static_cast<double>(picture->pixels.size()));
        const double psnr = 10 * std::log10(255.0 * 255.0 / std::max(mse, 1e-9));
        std::printf("frame %zu: PSNR %.1f dB, largest alpha error %d\n", f, psnr, alphaError);
        EXPECT_GT(psnr, 30.0) << f;
        EXPECT_LE(alphaError, 32) << f;
    }
    // Entry 255 is never used.
    for (const PalettePicture& picture : *pictures) {
        EXPECT_EQ(std::count(picture.indices.begin(), picture.indices.end(), 255), 0);
        EXPECT_LE(picture.colours.size(), 255u);
    }
}

TEST(ObjectImport, PaletteFiles) {
    TIGpalette palette;
    palette.rgba[0] = {1, 2, 3, 4};
    palette.ycrcb[0] = {5, 6, 7};
    palette.rgba[255] = {250, 251, 252, 253};
    const std::string pxml = pxmlText(palette);
    EXPECT_TRUE(
        pxml.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n"
                         "<PaletteDefinition UseForm=\"YCrCb\">\r\n\r\n  <PaletteData"));
    EXPECT_NE(pxml.find("\r\n\r\n  <PaletteData PaletteEntryId=\"0\" UseForm=\"YCrCb\">\r\n"
                        "    <R>1</R>\r\n    <G>2</G>\r\n    <B>3</B>\r\n    <T>4</T>\r\n"
                        "    <Y>5</Y>\r\n    <Cr>6</Cr>\r\n    <Cb>7</Cb>\r\n  </PaletteData>\r\n"),
              std::string::npos);
    EXPECT_TRUE(
        pxml.ends_with("    <Cb>0</Cb>\r\n  </PaletteData>\r\n\r\n</PaletteDefinition>\r\n"));
    EXPECT_EQ(std::count(pxml.begin(), pxml.end(), '\n'), 2 + 256 * 10 + 2);
    const Bytes act = actBytes(palette);
    ASSERT_EQ(act.size(), 768u);
    EXPECT_EQ(act[0], 1);
    EXPECT_EQ(act[767], 252);

    test::TempDir dir;
    const struct {
        const char* name;
        std::size_t size;
    } files[] = {{"p.pxml", pxml.size()}, {"p.act", 768}, {"p.ACT", 0}, {"p.PXML", 0}, {"p", 0}};
    for (const auto& f : files) {
        savePaletteFile(dir / f.name, palette);
        EXPECT_EQ(std::filesystem::file_size(dir / f.name), f.size) << f.name;
    }
    EXPECT_EQ(objectImageName(3, 1), "IGobject_0003_pal_01");
    EXPECT_EQ(paletteFileName(7), "palette_007");
}

// The sample menu (whose buttons and effects use all its objects 0-7) with
// `count` unused objects in front: every reference moves up by `count`.
TIGMenu withUnusedObjectsInFront(std::size_t count) {
    TIGMenu menu = test::sampleMenu();
    for (std::size_t i = 0; i < count; ++i)
        menu.objects.insert(menu.objects.begin(), bitmapObject(0, 2, 2, Bytes(4, 1)));
    for (std::size_t i = 0; i < menu.objects.size(); ++i)
        menu.objects[i].id = static_cast<std::uint16_t>(i);
    const auto up = [count](std::uint16_t& object) {
        if (object != kIgNone) object = static_cast<std::uint16_t>(object + count);
    };
    for (TPage& page : menu.ics.pages) {
        for (Teffectseq* sequence : {&page.inEffects, &page.outEffects}) {
            for (Teffect& effect : sequence->effects) {
                for (TCompositionObject& o : effect.objects)
                    up(o.objectId);
            }
        }
        for (TBOG& bog : page.bogs) {
            for (TIGbutton& b : bog.buttons) {
                for (std::uint16_t* o : {&b.normalStart, &b.normalEnd, &b.selectedStart,
                                         &b.selectedEnd, &b.activatedStart, &b.activatedEnd})
                    up(*o);
            }
        }
    }
    test::rebuildButtonTables(menu);
    return menu;
}

TEST(ObjectDelete, UnusedObjectsGoAndReferencesFollow) {
    TIGMenu menu = withUnusedObjectsInFront(2);
    menu.objects.push_back(bitmapObject(10, 2, 2, Bytes(4, 1)));
    const TIGMenu before = menu;
    // The last one: the others keep their ids.
    ASSERT_TRUE(deleteObjects(menu, 10, 10).done());
    EXPECT_EQ(menu.objects.size(), 10u);
    EXPECT_EQ(menu.ics.pages, before.ics.pages);
    // The two in front: every later reference moves down by 2, and the
    // menu is the sample menu again.
    ASSERT_TRUE(deleteObjects(menu, 0, 1).done());
    const TIGMenu sample = test::sampleMenu();
    EXPECT_EQ(menu.ics.pages, sample.ics.pages);
    EXPECT_EQ(menu.pageButtons, sample.pageButtons);
    ASSERT_EQ(menu.objects.size(), sample.objects.size());
    for (std::size_t id = 0; id < menu.objects.size(); ++id) {
        EXPECT_EQ(menu.objects[id].id, id);
        EXPECT_EQ(menu.objects[id].width, sample.objects[id].width);
        EXPECT_EQ(getobjref(menu, id), getobjref(sample, id)) << id;
    }
}

TEST(ObjectDelete, UsedObjectsAndPalettesStay) {
    TIGMenu menu = withUnusedObjectsInFront(2);
    const TIGMenu before = menu;
    // Every object of the range is checked, not only the first.
    EXPECT_EQ(deleteObjects(menu, 1, 2).refusal,
              "Cannot delete object. Remove all reference first.");
    EXPECT_EQ(deleteObjects(menu, 9, 10).refusal, "the menu has no such objects");
    EXPECT_EQ(deletePalettes(menu, 0, 0).refusal,
              "Cannot delete palette. Remove all reference first.");
    EXPECT_EQ(menu.objects.size(), before.objects.size());
    EXPECT_EQ(menu.ics.pages, before.ics.pages);
    TIGMenu one = menuOfSize(1920, 1080);
    one.palettes.resize(1);
    EXPECT_EQ(deletePalettes(one, 0, 0).refusal,
              "Cannot delete palette. Remove all objects first.");
}

TEST(PaletteDelete, LaterPalettesAndTheirUsersMoveDown) {
    TIGMenu menu = test::sampleMenu();
    // Palettes: 0 out-effect, 1 page 0, 2 in-effect; page 1 uses 0.  Put an
    // unused one in front of the others.
    menu.palettes.insert(menu.palettes.begin(), test::greyPalette(0, 3));
    for (std::size_t i = 0; i < menu.palettes.size(); ++i)
        menu.palettes[i].id = static_cast<std::uint16_t>(i);
    for (TPage& page : menu.ics.pages) {
        ++page.palette;
        for (Teffectseq* s : {&page.inEffects, &page.outEffects}) {
            for (Teffect& e : s->effects)
                ++e.palette;
        }
    }
    (void)Obj2Pic(menu, 2, 2);
    ASSERT_TRUE(deletePalettes(menu, 0, 0).done());
    const TIGMenu sample = test::sampleMenu();
    EXPECT_EQ(menu.ics.pages, sample.ics.pages);
    EXPECT_EQ(menu.palettes, sample.palettes);
    EXPECT_TRUE(menu.objects[2].cache.pictures.empty());
}

}  // namespace
}  // namespace lumora
