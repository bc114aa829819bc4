#include "gfx/surface.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>

namespace gfx {

namespace {

// The rectangle with these two corners, given in any order.
PixelArea box(int x1, int y1, int x2, int y2) {
    return PixelArea{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

constexpr uint32_t k_opaque = 0xFF000000u;
constexpr uint32_t k_stored_black = k_opaque;
constexpr uint32_t k_rgb_bits = 0x00FFFFFFu;

constexpr std::size_t k_file_header_size = 14;
constexpr uint32_t k_info_header_size = 40;
constexpr uint16_t k_bits_per_pixel = 32;

// Header fields are little-endian whatever the machine.
void write_u16(std::span<std::byte> buffer, std::size_t at, uint16_t value) {
    for (std::size_t i = 0; i < 2; ++i) buffer[at + i] = std::byte((value >> (8 * i)) & 0xFFu);
}

void write_u32(std::span<std::byte> buffer, std::size_t at, uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) buffer[at + i] = std::byte((value >> (8 * i)) & 0xFFu);
}

uint32_t read_u32(std::span<const std::byte> buffer, std::size_t at) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::to_integer<uint32_t>(buffer[at + i]) << (8 * i);
    return value;
}

uint16_t read_u16(std::span<const std::byte> buffer, std::size_t at) {
    return static_cast<uint16_t>(std::to_integer<uint32_t>(buffer[at]) |
                                 (std::to_integer<uint32_t>(buffer[at + 1]) << 8));
}

// Where the pixels of a validated image are, and how many.
struct ImageLayout {
    std::size_t pixel_offset = 0;
    int64_t width = 0;
    int64_t height = 0;
};

// Accepts an uncompressed 32-bit bitmap-file image whose pixels all lie inside the buffer.
std::optional<ImageLayout> read_layout(std::span<const std::byte> buffer) {
    if (buffer.size() < k_image_header_size) return std::nullopt;
    if (buffer[0] != std::byte{'B'} || buffer[1] != std::byte{'M'}) return std::nullopt;
    const uint32_t pixel_offset = read_u32(buffer, 10);
    const uint32_t info_size = read_u32(buffer, 14);
    const auto width = static_cast<int32_t>(read_u32(buffer, 18));
    const auto height = static_cast<int32_t>(read_u32(buffer, 22));
    const uint16_t bits = read_u16(buffer, 28);
    const uint32_t compression = read_u32(buffer, 30);
    if (info_size < k_info_header_size || bits != k_bits_per_pixel || compression != 0) {
        return std::nullopt;
    }
    // A negative height would mean rows stored top-down, which the program never writes.
    if (width <= 0 || height <= 0) return std::nullopt;
    if (pixel_offset < k_image_header_size || pixel_offset > buffer.size()) return std::nullopt;
    const uint64_t available_pixels = (buffer.size() - pixel_offset) / 4;
    if (available_pixels / static_cast<uint64_t>(width) < static_cast<uint64_t>(height)) {
        return std::nullopt;
    }
    return ImageLayout{pixel_offset, width, height};
}

uint32_t combine(ImageAction action, uint32_t window, uint32_t image_rgb) {
    switch (action) {
        case ImageAction::copy:
            return k_opaque | image_rgb;
        case ImageAction::copy_inverted:
            return k_opaque | (~image_rgb & k_rgb_bits);
        case ImageAction::or_:
            return window | image_rgb;
        case ImageAction::and_:
            return window & (k_opaque | image_rgb);
        case ImageAction::xor_:
            return window ^ image_rgb;
    }
    return window;
}

bool known_action(ImageAction action) {
    switch (action) {
        case ImageAction::or_:
        case ImageAction::and_:
        case ImageAction::copy_inverted:
        case ImageAction::copy:
        case ImageAction::xor_:
            return true;
    }
    return false;
}

}  // namespace

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
              k_stored_black) {}

PixelGrid Surface::grid() {
    return PixelGrid{pixels_.data(), width_, height_, width_};
}

void Surface::changed(PixelArea area) {
    ++generation_;
    area = PixelArea{std::max(area.x1, 0), std::max(area.y1, 0), std::min(area.x2, width_ - 1),
                     std::min(area.y2, height_ - 1)};
    if (area.empty()) return;
    if (changed_area_.empty()) {
        changed_area_ = area;
        return;
    }
    changed_area_ =
        PixelArea{std::min(changed_area_.x1, area.x1), std::min(changed_area_.y1, area.y1),
                  std::max(changed_area_.x2, area.x2), std::max(changed_area_.y2, area.y2)};
}

void Surface::fill(Colour colour) {
    std::lock_guard lock(mutex_);
    std::fill(pixels_.begin(), pixels_.end(), to_stored(colour));
    changed(whole());
}

void Surface::set_pixel(int x, int y, Colour colour) {
    std::lock_guard lock(mutex_);
    grid().set(x, y, to_stored(colour));
    changed(PixelArea{x, y, x, y});
}

Colour Surface::pixel(int x, int y) const {
    std::lock_guard lock(mutex_);
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return k_black;
    return from_stored(pixels_[static_cast<std::size_t>(y) * width_ + x]);
}

void Surface::line(int x1, int y1, int x2, int y2, Colour colour, uint16_t mask) {
    std::lock_guard lock(mutex_);
    raster_line(grid(), x1, y1, x2, y2, to_stored(colour), mask);
    changed(box(x1, y1, x2, y2));
}

void Surface::rectangle(Shape shape, int x1, int y1, int x2, int y2, Colour colour, uint16_t mask) {
    std::lock_guard lock(mutex_);
    raster_rectangle(grid(), shape, x1, y1, x2, y2, to_stored(colour), mask);
    changed(box(x1, y1, x2, y2));
}

void Surface::ellipse(Shape shape, int x1, int y1, int x2, int y2, Colour colour) {
    std::lock_guard lock(mutex_);
    raster_ellipse(grid(), shape, x1, y1, x2, y2, to_stored(colour));
    changed(box(x1, y1, x2, y2));
}

void Surface::polygon(Shape shape, std::span<const Point> points, Colour colour, uint16_t mask) {
    std::lock_guard lock(mutex_);
    raster_polygon(grid(), shape, points, to_stored(colour), mask);
    // The outline's bounding box, however the polygon runs.
    PixelArea area{std::numeric_limits<int>::max(), std::numeric_limits<int>::max(),
                   std::numeric_limits<int>::min(), std::numeric_limits<int>::min()};
    for (const Point& point : points) {
        area = PixelArea{std::min<int>(area.x1, point.x), std::min<int>(area.y1, point.y),
                         std::max<int>(area.x2, point.x), std::max<int>(area.y2, point.y)};
    }
    changed(area);
}

std::size_t Surface::image_size(int x1, int y1, int x2, int y2) {
    const auto width = static_cast<std::size_t>(std::llabs(int64_t{x2} - x1) + 1);
    const auto height = static_cast<std::size_t>(std::llabs(int64_t{y2} - y1) + 1);
    return k_image_header_size + 4 * width * height;
}

// The image's rows run from the rectangle's bottom row upward; pixels are blue, green, red, 0.
// Parts of the rectangle outside the surface read as black.
bool Surface::get_image(int x1, int y1, int x2, int y2, std::span<std::byte> buffer) const {
    const std::size_t size = image_size(x1, y1, x2, y2);
    if (buffer.size() < size || size > std::numeric_limits<uint32_t>::max()) return false;
    const int64_t left = std::min(x1, x2);
    const int64_t bottom = std::max(y1, y2);
    const int64_t width = std::llabs(int64_t{x2} - x1) + 1;
    const int64_t height = std::llabs(int64_t{y2} - y1) + 1;

    std::fill(buffer.begin(), buffer.begin() + k_image_header_size, std::byte{0});
    buffer[0] = std::byte{'B'};
    buffer[1] = std::byte{'M'};
    write_u32(buffer, 2, static_cast<uint32_t>(size));
    write_u32(buffer, 10, static_cast<uint32_t>(k_image_header_size));
    write_u32(buffer, k_file_header_size, k_info_header_size);
    write_u32(buffer, 18, static_cast<uint32_t>(width));
    write_u32(buffer, 22, static_cast<uint32_t>(height));
    write_u16(buffer, 26, 1);
    write_u16(buffer, 28, k_bits_per_pixel);
    write_u32(buffer, 34, static_cast<uint32_t>(size - k_image_header_size));

    std::lock_guard lock(mutex_);
    std::size_t at = k_image_header_size;
    for (int64_t row = 0; row < height; ++row) {
        const int64_t y = bottom - row;
        for (int64_t column = 0; column < width; ++column, at += 4) {
            const int64_t x = left + column;
            const bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
            const uint32_t stored =
                inside ? pixels_[static_cast<std::size_t>(y * width_ + x)] : k_stored_black;
            buffer[at] = std::byte(stored & 0xFFu);
            buffer[at + 1] = std::byte((stored >> 8) & 0xFFu);
            buffer[at + 2] = std::byte((stored >> 16) & 0xFFu);
            buffer[at + 3] = std::byte{0};
        }
    }
    return true;
}

bool Surface::put_image(int x, int y, std::span<const std::byte> buffer, ImageAction action) {
    if (!known_action(action)) return false;
    const std::optional<ImageLayout> layout = read_layout(buffer);
    if (!layout) return false;

    // Only the part of the image that lands on the surface is visited.
    const int64_t first_column = std::max<int64_t>(0, -int64_t{x});
    const int64_t last_column = std::min<int64_t>(layout->width, int64_t{width_} - x) - 1;
    const int64_t first_row = std::max<int64_t>(0, -int64_t{y});  // counted from the top
    const int64_t last_row = std::min<int64_t>(layout->height, int64_t{height_} - y) - 1;

    std::lock_guard lock(mutex_);
    for (int64_t row = first_row; row <= last_row; ++row) {
        const int64_t stored_row = layout->height - 1 - row;
        const std::size_t row_start =
            layout->pixel_offset + static_cast<std::size_t>(stored_row * layout->width * 4);
        const int64_t window_row_start = (y + row) * width_ + x;
        for (int64_t column = first_column; column <= last_column; ++column) {
            const std::size_t at = row_start + static_cast<std::size_t>(column * 4);
            const uint32_t image_rgb = std::to_integer<uint32_t>(buffer[at]) |
                                       (std::to_integer<uint32_t>(buffer[at + 1]) << 8) |
                                       (std::to_integer<uint32_t>(buffer[at + 2]) << 16);
            uint32_t& target = pixels_[static_cast<std::size_t>(window_row_start + column)];
            target = combine(action, target, image_rgb);
        }
    }
    changed(PixelArea{static_cast<int>(x + first_column), static_cast<int>(y + first_row),
                      static_cast<int>(x + last_column), static_cast<int>(y + last_row)});
    return true;
}

uint64_t Surface::read(
    const std::function<void(const uint32_t* pixels, int width, int height)>& fn) const {
    std::lock_guard lock(mutex_);
    fn(pixels_.data(), width_, height_);
    return generation_;
}

uint64_t Surface::generation() const {
    std::lock_guard lock(mutex_);
    return generation_;
}

Surface::Changes Surface::take_changes() {
    std::lock_guard lock(mutex_);
    const Changes changes{generation_, changed_area_};
    changed_area_ = PixelArea{};
    return changes;
}

}  // namespace gfx
