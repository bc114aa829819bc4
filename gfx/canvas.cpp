#include "gfx/canvas.h"

#include <cmath>
#include <utility>

namespace gfx {

namespace {

constexpr int k_polygon_max_points = 16381;

// A configuration field of -1 leaves the choice to the platform.
constexpr int16_t k_platform_chooses = -1;

// The size a window takes when its record leaves the size to the platform, or asks for one it
// cannot make: the size it already has, or this one for a window that has none yet.
struct Size {
    int16_t width;
    int16_t height;
};
constexpr Size k_first_window_size = {640, 480};

}  // namespace

Canvas::Canvas(Platform& platform, CanvasObserver& observer)
    : platform_(platform), observer_(observer) {}

// ---- child windows

void Canvas::open_child(int unit, std::string title) {
    {
        std::lock_guard lock(mutex_);
        Child& child = children_[unit];
        child.title = std::move(title);
        child.state = GraphicsState{};
        child.surface.reset();
        active_unit_ = unit;
    }
    observer_.child_opened(unit);
}

bool Canvas::set_window_config(WindowConfig& config) {
    Child* child = active();
    if (child == nullptr) return false;
    // A record the platform cannot honour is corrected in place, so submitting it again works:
    // a size it cannot make becomes the one it would choose, the other fields it cannot take
    // leave the choice to it.
    const bool width_refused = config.pixel_width <= 0 && config.pixel_width != k_platform_chooses;
    const bool height_refused =
        config.pixel_height <= 0 && config.pixel_height != k_platform_chooses;
    Size chosen = k_first_window_size;
    {
        std::lock_guard lock(mutex_);
        if (child->surface) {
            chosen = {static_cast<int16_t>(child->surface->width()),
                      static_cast<int16_t>(child->surface->height())};
        }
    }
    if (width_refused || height_refused || config.font_size == 0) {
        if (width_refused) config.pixel_width = chosen.width;
        if (height_refused) config.pixel_height = chosen.height;
        if (config.font_size == 0) config.font_size = k_platform_chooses;
        if (config.text_columns == 0) config.text_columns = k_platform_chooses;
        if (config.text_rows == 0) config.text_rows = k_platform_chooses;
        if (config.colours == 0) config.colours = k_platform_chooses;
        return false;
    }
    const int width = config.pixel_width == k_platform_chooses ? chosen.width : config.pixel_width;
    const int height =
        config.pixel_height == k_platform_chooses ? chosen.height : config.pixel_height;
    {
        std::lock_guard lock(mutex_);
        child->state.config = config;
        child->state.config.colours = 256;
        if (!child->surface || child->surface->width() != width ||
            child->surface->height() != height) {
            child->surface = std::make_shared<Surface>(width, height);
        }
    }
    observer_.child_opened(active_unit_);
    return true;
}

WindowConfig Canvas::window_config() const {
    const Child* child = active();
    if (child == nullptr) return {};
    std::lock_guard lock(mutex_);
    WindowConfig config = child->state.config;
    if (child->surface) {
        config.pixel_width = static_cast<int16_t>(child->surface->width());
        config.pixel_height = static_cast<int16_t>(child->surface->height());
    }
    return config;
}

bool Canvas::set_active(int unit) {
    std::lock_guard lock(mutex_);
    if (!children_.contains(unit)) return false;
    active_unit_ = unit;
    return true;
}

bool Canvas::set_focus(int unit) {
    std::lock_guard lock(mutex_);
    return children_.contains(unit);
}

void Canvas::close_unit(int unit) {
    {
        std::lock_guard lock(mutex_);
        if (!children_.contains(unit)) return;
        mouse_.erase(unit);
    }
    observer_.child_closed(unit);
}

std::string Canvas::title(int unit) const {
    std::lock_guard lock(mutex_);
    const auto found = children_.find(unit);
    return found == children_.end() ? std::string() : found->second.title;
}

std::shared_ptr<Surface> Canvas::surface(int unit) const {
    std::lock_guard lock(mutex_);
    const auto found = children_.find(unit);
    return found == children_.end() ? nullptr : found->second.surface;
}

// ---- mouse

bool Canvas::register_mouse(int unit, int mask, MouseRoutine routine) {
    std::lock_guard lock(mutex_);
    if (!children_.contains(unit)) return false;
    mouse_[unit] = MouseRegistration{mask, std::move(routine)};
    return true;
}

void Canvas::deliver_mouse(int unit, int event, int key_state, int x, int y,
                           std::optional<double> at_seconds) {
    MouseRoutine routine;
    {
        std::lock_guard lock(mutex_);
        const auto found = mouse_.find(unit);
        if (found == mouse_.end() || (found->second.mask & event) == 0) return;
        routine = found->second.routine;
    }
    routine(unit, event, key_state, x, y, at_seconds);
    observer_.input_arrived();
}

// ---- drawing on the active window

Canvas::Child* Canvas::active() {
    std::lock_guard lock(mutex_);
    const auto found = children_.find(active_unit_);
    return found == children_.end() ? nullptr : &found->second;
}

const Canvas::Child* Canvas::active() const {
    std::lock_guard lock(mutex_);
    const auto found = children_.find(active_unit_);
    return found == children_.end() ? nullptr : &found->second;
}

void Canvas::changed() {
    observer_.present(active_unit_);
}

Colour Canvas::set_colour(Colour colour) {
    Child* child = active();
    if (child == nullptr) return 0;
    return std::exchange(child->state.colour, colour & 0xFFFFFFu);
}

Colour Canvas::colour() const {
    const Child* child = active();
    return child == nullptr ? 0 : child->state.colour;
}

void Canvas::set_background_colour(Colour colour) {
    if (Child* child = active()) child->state.background = colour & 0xFFFFFFu;
}

void Canvas::set_text_colour(Colour colour) {
    if (Child* child = active()) child->state.text_colour = colour & 0xFFFFFFu;
}

Colour Canvas::text_colour() const {
    const Child* child = active();
    return child == nullptr ? 0 : child->state.text_colour;
}

void Canvas::set_line_style(uint16_t mask) {
    if (Child* child = active()) child->state.line_style = mask;
}

uint16_t Canvas::line_style() const {
    const Child* child = active();
    return child == nullptr ? 0xFFFF : child->state.line_style;
}

Point Canvas::move_to(int16_t x, int16_t y) {
    Child* child = active();
    if (child == nullptr) return {};
    return std::exchange(child->state.position, Point{x, y});
}

Point Canvas::position() const {
    const Child* child = active();
    return child == nullptr ? Point{} : child->state.position;
}

void Canvas::line_to(int16_t x, int16_t y) {
    Child* child = active();
    if (child == nullptr || !child->surface) return;
    const Point from = child->state.position;
    child->surface->line(from.x, from.y, x, y, child->state.colour, child->state.line_style);
    child->state.position = Point{x, y};
    changed();
}

void Canvas::set_pixel(int16_t x, int16_t y, Colour colour) {
    Child* child = active();
    if (child == nullptr || !child->surface) return;
    child->surface->set_pixel(x, y, colour & 0xFFFFFFu);
    changed();
}

void Canvas::rectangle(Shape shape, int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
    Child* child = active();
    if (child == nullptr || !child->surface) return;
    child->surface->rectangle(shape, x1, y1, x2, y2, child->state.colour, child->state.line_style);
    changed();
}

void Canvas::ellipse(Shape shape, int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
    Child* child = active();
    if (child == nullptr || !child->surface) return;
    child->surface->ellipse(shape, x1, y1, x2, y2, child->state.colour);
    changed();
}

bool Canvas::polygon(Shape shape, std::span<const Point> points) {
    Child* child = active();
    if (child == nullptr || !child->surface) return false;
    if (points.size() < 3 || points.size() > static_cast<std::size_t>(k_polygon_max_points))
        return false;
    child->surface->polygon(shape, points, child->state.colour, child->state.line_style);
    changed();
    return true;
}

void Canvas::clear_screen() {
    Child* child = active();
    if (child == nullptr || !child->surface) return;
    child->surface->fill(child->state.background);
    changed();
}

// ---- text

int Canvas::initialize_fonts() {
    Child* child = active();
    if (child == nullptr) return 0;
    child->state.fonts_ready = true;
    return 1;
}

int Canvas::set_font(const std::string& options) {
    Child* child = active();
    if (child == nullptr || !child->state.fonts_ready) return -1;
    std::optional<FontSpec> request = parse_font_options(options);
    if (!request) return -1;
    // Without best fit only an exact request is honoured; the one typeface this platform has
    // stands in for every face, so both succeed once the fonts are prepared.
    child->state.font = std::move(request);
    return 1;
}

std::optional<FontSpec> Canvas::font() const {
    const Child* child = active();
    return child == nullptr ? std::nullopt : child->state.font;
}

void Canvas::set_text_rotation(int tenths) {
    Child* child = active();
    if (child == nullptr) return;
    child->state.rotation = ((tenths % 3600) + 3600) % 3600;
}

int Canvas::text_rotation() const {
    const Child* child = active();
    return child == nullptr ? 0 : child->state.rotation;
}

void Canvas::out_text(const std::string& utf8) {
    Child* child = active();
    if (child == nullptr || !child->surface) return;
    const FontSpec font = child->state.font.value_or(FontSpec{"", 16, 0, false, true});
    const Point at = child->state.position;
    const int rotation = child->state.rotation;
    const int advance =
        child->surface->draw_text(at.x, at.y, utf8, font, rotation, child->state.colour);
    // The position moves along the text's direction by its width.
    const double radians = rotation * 3.14159265358979323846 / 1800.0;
    const int dx = static_cast<int>(std::lround(advance * std::cos(radians)));
    const int dy = static_cast<int>(std::lround(-advance * std::sin(radians)));
    child->state.position = Point{static_cast<int16_t>(at.x + dx), static_cast<int16_t>(at.y + dy)};
    changed();
}

// ---- images

std::size_t Canvas::image_size(int16_t x1, int16_t y1, int16_t x2, int16_t y2) const {
    return Surface::image_size(x1, y1, x2, y2);
}

void Canvas::get_image(int16_t x1, int16_t y1, int16_t x2, int16_t y2,
                       std::span<std::byte> buffer) {
    Child* child = active();
    if (child == nullptr || !child->surface) return;
    child->surface->get_image(x1, y1, x2, y2, buffer);
}

void Canvas::put_image(int16_t x, int16_t y, std::span<const std::byte> buffer,
                       ImageAction action) {
    Child* child = active();
    if (child == nullptr || !child->surface) return;
    if (child->surface->put_image(x, y, buffer, action)) changed();
}

}  // namespace gfx
