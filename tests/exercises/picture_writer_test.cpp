#include "exercises/picture_writer.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace {

using exercises::BitmapView;
using exercises::BlackBitmap;

// A window 3 pixels wide whose rows 1 .. 3 are held in the image: three image rows of four
// bytes a pixel, stored bottom-up, after the header.
constexpr int k_width = 3;
constexpr int k_top = 1;
constexpr int k_height = 4;
constexpr std::size_t k_pixels = k_width * (k_height - k_top);

std::vector<std::byte> image_filled_with(std::byte value) {
    return std::vector<std::byte>(gfx::k_image_header_size + 4 * k_pixels, value);
}

// The pixels as letters, top image row first: W white, B black, ? anything else.
std::string pixels_of(const std::vector<std::byte>& image) {
    std::string rows;
    for (int row = k_height - k_top - 1; row >= 0; --row) {
        for (int x = 0; x < k_width; ++x) {
            const std::byte* bytes = &image[gfx::k_image_header_size + 4 * (row * k_width + x)];
            const bool black = bytes[0] == std::byte{0} && bytes[1] == std::byte{0} &&
                               bytes[2] == std::byte{0} && bytes[3] == std::byte{0};
            const bool white = bytes[0] == std::byte{255} && bytes[1] == std::byte{255} &&
                               bytes[2] == std::byte{255} && bytes[3] == std::byte{0};
            rows += black ? 'B' : white ? 'W' : '?';
        }
        rows += '/';
    }
    return rows;
}

GTEST_TEST(BitmapViewTest, WindowRowsLandBottomUpAndNothingOutsideTheViewIsWritten) {
    std::vector<std::byte> image = image_filled_with(std::byte{0});
    BitmapView view(image, k_width, k_top, k_height);
    view.run(-5, 99, 1, true);  // the first row of the view, clipped to the width
    view.pixel(2, 3, true);     // the window's last row is the image's first
    view.run(0, 2, 0, true);    // above the view
    view.run(0, 2, 4, true);    // below the window
    view.pixel(-1, 2, true);
    view.pixel(3, 2, true);
    EXPECT_EQ(pixels_of(image), "WWW/BBB/BBW/");
    EXPECT_EQ(image[0], std::byte{0}) << "the header is left alone";
}

GTEST_TEST(BitmapViewTest, BlackRunsAndPixelsCoverWhite) {
    std::vector<std::byte> image = image_filled_with(std::byte{0});
    BitmapView view(image, k_width, k_top, k_height);
    for (int y = 1; y <= 3; ++y) view.run(0, 2, y, true);
    view.run(1, 2, 2, false);
    view.pixel(0, 3, false);
    EXPECT_EQ(pixels_of(image), "WWW/WBB/BWW/");
}

GTEST_TEST(BitmapViewTest, TheComposingBitmapStartsBlackOverWhateverWasCaptured) {
    std::vector<std::byte> image = image_filled_with(std::byte{0x80});
    BlackBitmap bitmap(image, k_width, k_top, k_height);
    EXPECT_EQ(pixels_of(image), "BBB/BBB/BBB/");
    bitmap.run(0, 1, 2, true);
    bitmap.pixel(1, 2, false);
    EXPECT_EQ(pixels_of(image), "BBB/WBB/BBB/");
}

}  // namespace
