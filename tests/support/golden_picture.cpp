#include "golden_picture.h"

#include <QImage>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <iomanip>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "gfx/surface.h"

namespace testing_support {

namespace {

bool updating() {
    const char* update = std::getenv("PELIDOR_UPDATE_GOLDEN");
    return update && std::string_view(update) == "1";
}

QString qt_path(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

std::string hex(gfx::Colour colour) {
    std::ostringstream text;
    text << "0x" << std::hex << std::setw(6) << std::setfill('0') << colour;
    return text.str();
}

// The ink of one text area: its colours and the box it fills.
struct Ink {
    std::set<gfx::Colour> colours;
    int left = 0, top = 0, right = -1, bottom = -1;  // empty while right < left
};

template <typename PixelAt>
Ink ink_in(const TextArea& area, PixelAt at) {
    Ink ink;
    const gfx::Colour paper = at(area.left, area.top);
    bool any = false;
    for (int y = area.top; y <= area.bottom; ++y) {
        for (int x = area.left; x <= area.right; ++x) {
            const gfx::Colour colour = at(x, y);
            if (colour == paper) continue;
            ink.colours.insert(colour);
            ink.left = any ? std::min(ink.left, x) : x;
            ink.right = any ? std::max(ink.right, x) : x;
            ink.top = any ? std::min(ink.top, y) : y;
            ink.bottom = any ? std::max(ink.bottom, y) : y;
            any = true;
        }
    }
    return ink;
}

std::string describe(const Ink& ink) {
    std::ostringstream text;
    if (ink.right < ink.left) return "no ink";
    text << "ink (" << ink.left << ", " << ink.top << ")-(" << ink.right << ", " << ink.bottom
         << ") in";
    for (const gfx::Colour colour : ink.colours) text << " " << hex(colour);
    return text.str();
}

bool inside(const TextArea& area, int x, int y) {
    return x >= area.left && x <= area.right && y >= area.top && y <= area.bottom;
}

}  // namespace

std::filesystem::path golden_path(const char* folder, const char* name) {
    return std::filesystem::path(PELIDOR_SOURCE_DIR) / "tests" / folder / "golden" / name;
}

::testing::AssertionResult matches_golden(std::span<const gfx::Colour> picture, int width,
                                          int height, const std::filesystem::path& golden) {
    return matches_golden(picture, width, height, golden, {});
}

::testing::AssertionResult matches_golden(std::span<const gfx::Colour> picture, int width,
                                          int height, const std::filesystem::path& golden,
                                          std::span<const TextArea> text_areas, int slack) {
    if (picture.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return ::testing::AssertionFailure()
               << picture.size() << " pixels for a picture of " << width << " x " << height;
    }
    const auto at = [&](int x, int y) {
        return picture[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                       static_cast<std::size_t>(x)];
    };

    if (updating()) {
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) image.setPixel(x, y, gfx::to_stored(at(x, y)));
        }
        std::filesystem::create_directories(golden.parent_path());
        if (!image.save(qt_path(golden), "PNG")) {
            return ::testing::AssertionFailure() << "could not write " << golden;
        }
        // A skip is recorded for the running test; the lambda returns what GTEST_SKIP returns.
        [&] { GTEST_SKIP() << "golden picture written to " << golden; }();
        return ::testing::AssertionSuccess();
    }

    QImage stored;
    if (!stored.load(qt_path(golden))) {
        return ::testing::AssertionFailure()
               << golden << " is missing: run with PELIDOR_UPDATE_GOLDEN=1 to write it";
    }
    stored = stored.convertToFormat(QImage::Format_RGB32);
    if (stored.width() != width || stored.height() != height) {
        return ::testing::AssertionFailure()
               << golden << " is " << stored.width() << " x " << stored.height() << ", not "
               << width << " x " << height;
    }
    const auto stored_at = [&](int x, int y) { return gfx::from_stored(stored.pixel(x, y)); };
    for (const TextArea& area : text_areas) {
        const Ink expected = ink_in(area, stored_at);
        const Ink actual = ink_in(area, at);
        const bool same_box = (expected.right < expected.left) == (actual.right < actual.left) &&
                              std::abs(actual.left - expected.left) <= slack &&
                              std::abs(actual.top - expected.top) <= slack &&
                              std::abs(actual.right - expected.right) <= slack &&
                              std::abs(actual.bottom - expected.bottom) <= slack;
        if (!same_box || actual.colours != expected.colours) {
            return ::testing::AssertionFailure()
                   << "text \"" << area.what << "\": " << describe(actual) << " instead of "
                   << describe(expected) << " as in " << golden;
        }
    }
    const auto in_text = [&](int x, int y) {
        return std::any_of(text_areas.begin(), text_areas.end(),
                           [&](const TextArea& area) { return inside(area, x, y); });
    };

    int differing = 0;
    int first_x = 0;
    int first_y = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (stored_at(x, y) == at(x, y) || in_text(x, y)) continue;
            if (differing++ == 0) {
                first_x = x;
                first_y = y;
            }
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << differing << " pixels differ from " << golden << ", the first at x " << first_x
           << ", y " << first_y << ": " << hex(at(first_x, first_y)) << " instead of "
           << hex(gfx::from_stored(stored.pixel(first_x, first_y)));
}

}  // namespace testing_support
