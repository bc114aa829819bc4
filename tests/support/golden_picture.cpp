#include "golden_picture.h"

#include <QImage>
#include <QString>
#include <cstdlib>
#include <iomanip>
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

}  // namespace

std::filesystem::path golden_path(const char* folder, const char* name) {
    return std::filesystem::path(PELIDOR_SOURCE_DIR) / "tests" / folder / "golden" / name;
}

::testing::AssertionResult matches_golden(std::span<const gfx::Colour> picture, int width,
                                          int height, const std::filesystem::path& golden) {
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
    int differing = 0;
    int first_x = 0;
    int first_y = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (gfx::from_stored(stored.pixel(x, y)) == at(x, y)) continue;
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
