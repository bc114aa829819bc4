#include "gfx/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <set>
#include <vector>

namespace gfx {
namespace {

uint32_t read_u32(const std::vector<std::byte>& buffer, std::size_t at) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::to_integer<uint32_t>(buffer[at + i]) << (8 * i);
    return value;
}

uint16_t read_u16(const std::vector<std::byte>& buffer, std::size_t at) {
    return static_cast<uint16_t>(std::to_integer<uint32_t>(buffer[at]) |
                                 (std::to_integer<uint32_t>(buffer[at + 1]) << 8));
}

void write_u32(std::vector<std::byte>& buffer, std::size_t at, uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) buffer[at + i] = std::byte((value >> (8 * i)) & 0xFFu);
}

std::vector<uint32_t> snapshot(const Surface& surface) {
    std::vector<uint32_t> copy;
    surface.read([&](const uint32_t* pixels, int width, int height) {
        copy.assign(pixels, pixels + std::size_t(width) * height);
    });
    return copy;
}

std::vector<std::byte> whole_image(const Surface& surface) {
    std::vector<std::byte> buffer(
        Surface::image_size(0, 0, surface.width() - 1, surface.height() - 1));
    EXPECT_TRUE(surface.get_image(0, 0, surface.width() - 1, surface.height() - 1, buffer));
    return buffer;
}

// A surface with a few shapes on it, so that every row and column differ.
void paint(Surface& surface) {
    const int width = surface.width();
    const int height = surface.height();
    surface.fill(0x203040);
    surface.line(0, 0, width - 1, height - 1, 0x0000FF, 0xFFFF);
    surface.rectangle(Shape::filled, 2, 1, width / 2, height / 3, 0x00FF00, 0xFFFF);
    surface.ellipse(Shape::outline, width / 3, height / 3, width - 2, height - 2, 0xFF0000);
    surface.set_pixel(width - 1, 0, 0x123456);
}

// ---- pixels and colours

GTEST_TEST(Surface, StartsBlackAndKeepsColoursInTheProgramsByteOrder) {
    Surface surface(4, 3);
    EXPECT_EQ(surface.pixel(2, 1), k_black);
    for (const uint32_t stored : snapshot(surface)) EXPECT_EQ(stored, 0xFF000000u);

    surface.set_pixel(1, 2, 0x00336699);  // blue 0x33, green 0x66, red 0x99
    EXPECT_EQ(surface.pixel(1, 2), 0x00336699u);
    EXPECT_EQ(snapshot(surface)[2 * 4 + 1], 0xFF996633u) << "stored as 0xFFRRGGBB";

    surface.set_pixel(-1, 0, k_white);
    surface.set_pixel(4, 0, k_white);
    surface.set_pixel(0, 3, k_white);
    const std::vector<uint32_t> after = snapshot(surface);
    EXPECT_EQ(std::count(after.begin(), after.end(), 0xFFFFFFFFu), 0) << "outside is clipped";
    EXPECT_EQ(surface.pixel(-1, 0), k_black);
    EXPECT_EQ(surface.pixel(0, 99), k_black);
}

GTEST_TEST(Surface, StoredColourConversionRoundTrips) {
    struct Case {
        const char* what;
        Colour colour;
        uint32_t stored;
    };
    constexpr Case cases[] = {
        {"black", 0x000000, 0xFF000000},
        {"white", 0xFFFFFF, 0xFFFFFFFF},
        {"red is the lowest byte", 0x0000FF, 0xFFFF0000},
        {"blue is the third byte", 0xFF0000, 0xFF0000FF},
        {"mixed", 0xDDAA00, 0xFF00AADD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(to_stored(c.colour), c.stored);
        EXPECT_EQ(from_stored(c.stored), c.colour);
    }
    EXPECT_EQ(to_stored(0xAB123456), 0xFF563412u) << "the program's highest byte is ignored";
}

GTEST_TEST(Surface, EveryChangeCountsAGeneration) {
    Surface surface(8, 8);
    uint64_t last = surface.generation();
    const auto changed = [&] {
        const uint64_t now = surface.generation();
        const bool moved = now > last;
        last = now;
        return moved;
    };
    surface.fill(k_white);
    EXPECT_TRUE(changed());
    surface.line(0, 0, 7, 7, 0x0000FF, 0xFFFF);
    EXPECT_TRUE(changed());
    const std::vector<Point> triangle = {{0, 0}, {5, 0}, {0, 5}};
    surface.polygon(Shape::filled, triangle, 0x00FF00, 0xFFFF);
    EXPECT_TRUE(changed());
    std::vector<std::byte> image = whole_image(surface);
    EXPECT_FALSE(changed()) << "reading the image changes nothing";
    EXPECT_TRUE(surface.put_image(0, 0, image, ImageAction::copy));
    EXPECT_TRUE(changed());
}

GTEST_TEST(Surface, ChangedAreaHoldsEveryChangedPixelAndLittleElse) {
    // A 3 x 2 picture to put, white on a black surface.
    Surface source(3, 2);
    source.fill(k_white);
    std::vector<std::byte> picture(Surface::image_size(0, 0, 2, 1));
    ASSERT_TRUE(source.get_image(0, 0, 2, 1, picture));
    const std::vector<Point> triangle = {{2, 1}, {8, 3}, {4, 9}};

    struct Case {
        const char* what;
        std::function<void(Surface&)> draw;
        PixelArea area;
    };
    const Case cases[] = {
        {"nothing", [](Surface&) {}, {}},
        {"fill", [](Surface& s) { s.fill(k_white); }, {0, 0, 19, 9}},
        {"pixel", [](Surface& s) { s.set_pixel(3, 4, k_white); }, {3, 4, 3, 4}},
        {"pixel outside", [](Surface& s) { s.set_pixel(-1, 4, k_white); }, {}},
        {"line drawn right to left",
         [](Surface& s) { s.line(5, 2, 1, 7, k_white, 0xFFFF); },
         {1, 2, 5, 7}},
        {"rectangle with its corners reversed",
         [](Surface& s) { s.rectangle(Shape::filled, 9, 8, 2, 1, k_white, 0xFFFF); },
         {2, 1, 9, 8}},
        {"rectangle running off the surface",
         [](Surface& s) { s.rectangle(Shape::outline, 15, 5, 30, 30, k_white, 0xFFFF); },
         {15, 5, 19, 9}},
        {"ellipse",
         [](Surface& s) { s.ellipse(Shape::filled, 1, 1, 6, 8, k_white); },
         {1, 1, 6, 8}},
        {"polygon",
         [&](Surface& s) { s.polygon(Shape::filled, triangle, k_white, 0xFFFF); },
         {2, 1, 8, 9}},
        {"image", [&](Surface& s) { s.put_image(5, 4, picture, ImageAction::copy); }, {5, 4, 7, 5}},
        {"image partly off the surface",
         [&](Surface& s) { s.put_image(18, 9, picture, ImageAction::copy); },
         {18, 9, 19, 9}},
        {"text, which may be turned any way",
         [](Surface& s) {
             s.draw_text(2, 2, "A", FontSpec{"Liberation Serif", 8, 4}, 450, k_white);
         },
         {0, 0, 19, 9}},
        {"two changes make one area",
         [](Surface& s) {
             s.set_pixel(1, 8, k_white);
             s.set_pixel(12, 2, k_white);
         },
         {1, 2, 12, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Surface surface(20, 10);
        surface.take_changes();
        const std::vector<uint32_t> before = snapshot(surface);
        c.draw(surface);
        const std::vector<uint32_t> after = snapshot(surface);
        const Surface::Changes changes = surface.take_changes();
        EXPECT_EQ(changes.generation, surface.generation());
        EXPECT_EQ(changes.area, c.area);
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 20; ++x) {
                if (before[y * 20 + x] == after[y * 20 + x]) continue;
                EXPECT_TRUE(x >= changes.area.x1 && x <= changes.area.x2 && y >= changes.area.y1 &&
                            y <= changes.area.y2)
                    << "changed pixel " << x << ", " << y << " outside the area";
            }
        }
        EXPECT_TRUE(surface.take_changes().area.empty()) << "taken changes are forgotten";
    }
}

// ---- images

GTEST_TEST(SurfaceImage, SizeCountsBothCornersInAnyOrder) {
    struct Case {
        const char* what;
        int x1, y1, x2, y2;
        std::size_t size;
    };
    constexpr Case cases[] = {
        {"the whole 980 x 650 window", 0, 0, 979, 649, 2'548'054},
        {"the same, corners reversed", 979, 649, 0, 0, 2'548'054},
        {"one pixel", 5, 5, 5, 5, 58},
        {"the training field", 0, 0, 979, 629, 54 + 4 * 980 * 630},
        {"partly outside", -2, -1, 1, 1, 54 + 4 * 4 * 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Surface::image_size(c.x1, c.y1, c.x2, c.y2), c.size);
    }
}

GTEST_TEST(SurfaceImage, WholeWindowImageHasTheBitmapLayout) {
    Surface surface(980, 650);
    surface.fill(0x808080);
    surface.set_pixel(0, 0, 0x010203);
    surface.set_pixel(979, 0, 0x040506);
    surface.set_pixel(7, 649, 0x0A0B0C);
    surface.set_pixel(500, 321, 0x112233);
    const std::vector<std::byte> image = whole_image(surface);
    ASSERT_EQ(image.size(), std::size_t(2'548'054));

    EXPECT_EQ(image[0], std::byte{'B'});
    EXPECT_EQ(image[1], std::byte{'M'});
    struct Field {
        const char* what;
        std::size_t at;
        int bytes;
        uint32_t value;
    };
    constexpr Field fields[] = {
        {"file size", 2, 4, 2'548'054},
        {"reserved", 6, 4, 0},
        {"pixel offset", 10, 4, 54},
        {"info header size", 14, 4, 40},
        {"width", 18, 4, 980},
        {"height, positive", 22, 4, 650},
        {"planes", 26, 2, 1},
        {"bits per pixel", 28, 2, 32},
        {"compression", 30, 4, 0},
        {"image bytes", 34, 4, 4 * 980 * 650},
        {"horizontal resolution", 38, 4, 0},
        {"vertical resolution", 42, 4, 0},
        {"palette colours", 46, 4, 0},
        {"important colours", 50, 4, 0},
    };
    for (const Field& f : fields) {
        SCOPED_TRACE(f.what);
        EXPECT_EQ(f.bytes == 2 ? read_u16(image, f.at) : read_u32(image, f.at), f.value);
    }

    struct Pixel {
        const char* what;
        int x, y;
        Colour colour;
    };
    constexpr Pixel pixels[] = {
        {"top-left corner is in the last row", 0, 0, 0x010203},
        {"top-right corner", 979, 0, 0x040506},
        {"bottom row comes first", 7, 649, 0x0A0B0C},
        {"somewhere inside", 500, 321, 0x112233},
        {"background", 400, 100, 0x808080},
    };
    for (const Pixel& p : pixels) {
        SCOPED_TRACE(p.what);
        const std::size_t at = 54 + 4 * ((650 - 1 - p.y) * 980 + p.x);
        EXPECT_EQ(std::to_integer<uint32_t>(image[at]), (p.colour >> 16) & 0xFF) << "blue";
        EXPECT_EQ(std::to_integer<uint32_t>(image[at + 1]), (p.colour >> 8) & 0xFF) << "green";
        EXPECT_EQ(std::to_integer<uint32_t>(image[at + 2]), p.colour & 0xFF) << "red";
        EXPECT_EQ(std::to_integer<uint32_t>(image[at + 3]), 0u) << "fourth byte";
    }
}

GTEST_TEST(SurfaceImage, ReadsBlackOutsideTheSurfaceAndRefusesASmallBuffer) {
    Surface surface(4, 4);
    surface.fill(k_white);
    // Corners reversed; columns -1 and rows 3..4, of which row 4 and column -1 are outside.
    std::vector<std::byte> image(Surface::image_size(1, 4, -1, 3));
    ASSERT_TRUE(surface.get_image(1, 4, -1, 3, image));
    EXPECT_EQ(read_u32(image, 18), 3u);
    EXPECT_EQ(read_u32(image, 22), 2u);
    const std::vector<uint32_t> expected_rgb = {
        0x000000, 0x000000, 0x000000,  // row 4, stored first, is below the surface
        0x000000, 0xFFFFFF, 0xFFFFFF,  // row 3: column -1 is left of it
    };
    for (std::size_t i = 0; i < expected_rgb.size(); ++i) {
        EXPECT_EQ(read_u32(image, 54 + 4 * i), expected_rgb[i]) << "pixel " << i;
    }

    std::vector<std::byte> small(Surface::image_size(0, 0, 3, 3) - 1, std::byte{0x5A});
    EXPECT_FALSE(surface.get_image(0, 0, 3, 3, small));
    EXPECT_TRUE(std::all_of(small.begin(), small.end(), [](std::byte b) {
        return b == std::byte{0x5A};
    })) << "a refused capture writes nothing";
}

GTEST_TEST(SurfaceImage, PutOfACapturedImageRestoresThePicture) {
    Surface surface(37, 23);
    paint(surface);
    const std::vector<uint32_t> original = snapshot(surface);
    const std::vector<std::byte> image = whole_image(surface);
    surface.fill(0x777777);
    ASSERT_TRUE(surface.put_image(0, 0, image, ImageAction::copy));
    EXPECT_EQ(snapshot(surface), original);
}

GTEST_TEST(SurfaceImage, PutIsPlacedByItsTopLeftCornerAndClipped) {
    Surface source(9, 7);
    paint(source);
    const std::vector<std::byte> image = whole_image(source);
    struct Case {
        const char* what;
        int x, y;
    };
    constexpr Case cases[] = {
        {"inside", 3, 2},
        {"over the top-left edge", -4, -3},
        {"over the bottom-right edge", 10, 8},
        {"entirely outside", 20, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Surface target(15, 12);
        target.fill(0x010101);
        ASSERT_TRUE(target.put_image(c.x, c.y, image, ImageAction::copy));
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 15; ++x) {
                const bool covered = x >= c.x && x < c.x + 9 && y >= c.y && y < c.y + 7;
                const Colour expected = covered ? source.pixel(x - c.x, y - c.y) : 0x010101;
                ASSERT_EQ(target.pixel(x, y), expected) << x << "," << y;
            }
        }
    }
}

GTEST_TEST(SurfaceImage, ActionsCombineTheColourBits) {
    struct Case {
        const char* what;
        ImageAction action;
        Colour result;
    };
    constexpr Colour window = 0x00F0CC;
    constexpr Colour image = 0x0F0FAA;
    constexpr Case cases[] = {
        {"copy replaces", ImageAction::copy, 0x0F0FAA},
        {"copy inverted", ImageAction::copy_inverted, 0xF0F055},
        {"or", ImageAction::or_, 0x0FFFEE},
        {"and", ImageAction::and_, 0x000088},
        {"xor", ImageAction::xor_, 0x0FFF66},
    };
    Surface source(1, 1);
    source.set_pixel(0, 0, image);
    const std::vector<std::byte> buffer = whole_image(source);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Surface target(1, 1);
        target.set_pixel(0, 0, window);
        ASSERT_TRUE(target.put_image(0, 0, buffer, c.action));
        EXPECT_EQ(target.pixel(0, 0), c.result);
        EXPECT_EQ(snapshot(target)[0] >> 24, 0xFFu);
    }
}

GTEST_TEST(SurfaceImage, PutRefusesAnImageItCannotReadAndDrawsNothing) {
    Surface source(6, 5);
    paint(source);
    const std::vector<std::byte> good = whole_image(source);
    const auto set_u32 = [](std::size_t at, uint32_t value) {
        return [=](std::vector<std::byte>& image) { write_u32(image, at, value); };
    };
    const auto cut_to = [](std::size_t size) {
        return [=](std::vector<std::byte>& image) { image.resize(size); };
    };
    struct Case {
        const char* what;
        std::function<void(std::vector<std::byte>&)> spoil;
    };
    const Case cases[] = {
        {"not a bitmap", [](std::vector<std::byte>& image) { image[1] = std::byte{'A'}; }},
        {"24 bits per pixel", [](std::vector<std::byte>& image) { image[28] = std::byte{24}; }},
        {"compressed", set_u32(30, 3)},
        {"zero width", set_u32(18, 0)},
        {"negative height means top-down rows", set_u32(22, uint32_t(-5))},
        {"taller than the buffer holds", set_u32(22, 6)},
        {"width beyond any buffer", set_u32(18, 0x7FFFFFFF)},
        {"pixel offset past the end", set_u32(10, 1'000'000)},
        {"pixel offset inside the header", set_u32(10, 20)},
        {"short info header", set_u32(14, 12)},
        {"pixels cut short", cut_to(54 + 4 * 6 * 5 - 1)},
        {"header cut short", cut_to(40)},
        {"empty", cut_to(0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::byte> bad = good;
        c.spoil(bad);
        Surface target(6, 5);
        target.fill(0x445566);
        const uint64_t generation = target.generation();
        EXPECT_FALSE(target.put_image(0, 0, bad, ImageAction::copy));
        EXPECT_EQ(target.generation(), generation);
        for (const uint32_t stored : snapshot(target)) ASSERT_EQ(stored, to_stored(0x445566));
    }
    Surface target(6, 5);
    EXPECT_FALSE(target.put_image(0, 0, good, static_cast<ImageAction>(9))) << "unknown action";
}

// ---- text

// Where the pixels of one colour are, and how many.
struct Ink {
    int count = 0;
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
    std::set<uint32_t> other_colours;  // pixels that are neither paper nor ink
};

Ink find_ink(const Surface& surface, Colour paper, Colour ink) {
    Ink found;
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            const Colour colour = surface.pixel(x, y);
            if (colour == paper) continue;
            if (colour != ink) found.other_colours.insert(colour);
            ++found.count;
            found.left = std::min(found.left, x);
            found.right = std::max(found.right, x);
            found.top = std::min(found.top, y);
            found.bottom = std::max(found.bottom, y);
        }
    }
    return found;
}

constexpr Colour k_paper = 0xFFFFFF;
constexpr Colour k_text = 0xDDAA00;

FontSpec font(const char* options) {
    return parse_font_options(options).value();
}

GTEST_TEST(SurfaceText, TextHangsBelowAndRightOfItsTopLeftCornerInOneColour) {
    Surface surface(300, 200);
    surface.fill(k_paper);
    const int advance =
        surface.draw_text(100, 50, "Ab", font("t'Times New Roman Cyr'h24w7b"), 0, k_text);
    const Ink ink = find_ink(surface, k_paper, k_text);
    EXPECT_GT(ink.count, 30);
    EXPECT_TRUE(ink.other_colours.empty()) << "text is drawn without antialiasing";
    EXPECT_GE(ink.left, 100);
    EXPECT_LE(ink.right, 100 + advance);
    EXPECT_GE(ink.top, 50);
    EXPECT_LT(ink.bottom, 50 + 24);
    EXPECT_GE(ink.bottom - ink.top + 1, 24 / 2) << "capitals reach well above the baseline";
    EXPECT_GE(advance, 2 * 5);
    EXPECT_LE(advance, 2 * 10);
    for (const uint32_t stored : snapshot(surface)) ASSERT_EQ(stored >> 24, 0xFFu);
}

GTEST_TEST(SurfaceText, HeightIsTheFontsLineFromAscentToDescent) {
    // Letters with ascenders and descenders stay inside the requested height and fill most
    // of it.
    for (const int height : {12, 16, 24, 36, 52, 120}) {
        SCOPED_TRACE(height);
        Surface surface(400, 200);
        surface.fill(k_paper);
        FontSpec request = font("t'Times New Roman Cyr'b");
        request.height = height;
        surface.draw_text(10, 20, "dHgy", request, 0, k_text);
        const Ink ink = find_ink(surface, k_paper, k_text);
        EXPECT_GE(ink.top, 20);
        EXPECT_LT(ink.bottom, 20 + height);
        EXPECT_GE(ink.bottom - ink.top + 1, height * 3 / 4);
    }
}

GTEST_TEST(SurfaceText, WidthSetsTheAverageCharacterWidth) {
    const char* alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    Surface surface(900, 60);
    const int narrow = surface.draw_text(0, 0, alphabet, font("h24w7"), 0, k_text);
    const int wide = surface.draw_text(0, 0, alphabet, font("h24w14"), 0, k_text);
    const int natural = surface.draw_text(0, 0, alphabet, font("h24"), 0, k_text);
    EXPECT_NEAR(wide, 2 * narrow, narrow / 30);
    EXPECT_NEAR(narrow, 7 * 52, 7 * 52 / 4);
    EXPECT_GT(natural, narrow);
    EXPECT_LT(natural, wide);
}

GTEST_TEST(SurfaceText, RotatedTextRunsUpwardFromItsCorner) {
    Surface surface(300, 200);
    surface.fill(k_paper);
    const int advance =
        surface.draw_text(100, 150, "Ab", font("t'Times New Roman Cyr'h24w7b"), 900, k_text);
    const Ink ink = find_ink(surface, k_paper, k_text);
    EXPECT_GT(ink.count, 30);
    // Turned counter-clockwise about (100, 150): the tops of the letters face left.
    EXPECT_GE(ink.left, 100);
    EXPECT_LT(ink.right, 100 + 24);
    EXPECT_LE(ink.bottom, 150);
    EXPECT_GE(ink.top, 150 - advance - 1);
    EXPECT_LT(ink.top, 150 - advance / 2);
}

GTEST_TEST(SurfaceText, CyrillicLettersDraw) {
    Surface surface(200, 100);
    surface.fill(k_paper);
    const int advance =
        surface.draw_text(10, 10, "мс", font("t'Times New Roman Cyr'h24w7b"), 0, k_text);
    const Ink ink = find_ink(surface, k_paper, k_text);
    EXPECT_GT(ink.count, 20);
    EXPECT_GT(advance, 5);
    EXPECT_TRUE(ink.other_colours.empty());
}

GTEST_TEST(SurfaceText, MissingFacesFallBackToTheSerifStandIn) {
    const auto pixels_of = [](const char* options) {
        Surface surface(200, 60);
        surface.draw_text(5, 5, "Trainer", font(options), 0, k_white);
        return snapshot(surface);
    };
    const std::vector<uint32_t> stand_in = pixels_of("t'Liberation Serif'h24w7");
    EXPECT_EQ(pixels_of("t'Times New Roman Cyr'h24w7"), stand_in);
    EXPECT_EQ(pixels_of("t'No Such Face'h24w7"), stand_in);
    EXPECT_NE(pixels_of("t'Liberation Serif'h24w7i"), stand_in) << "italic";
}

}  // namespace
}  // namespace gfx
