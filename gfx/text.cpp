// Text on a surface: the one drawing operation that goes through Qt.

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>

#include "gfx/surface.h"

namespace gfx {

namespace {

// The program asks for a Cyrillic serif face that Linux systems do not have; Liberation Serif
// carries Cyrillic and is installed with the program, so it stands in for that face and for
// any other face that is missing.
constexpr const char* k_stand_in_face = "Liberation Serif";
constexpr const char* k_requested_cyrillic_face = "Times New Roman Cyr";

constexpr int k_default_height = 16;  // a request without a height
constexpr int k_largest_height = 2048;
constexpr int k_smallest_stretch = 1;  // QFont's stretch range
constexpr int k_largest_stretch = 4000;

int line_height(QFont font, int pixel_size) {
    font.setPixelSize(pixel_size);
    const QFontMetrics metrics(font);
    return metrics.ascent() + metrics.descent();
}

// The height of a font request is the height of its line, the font's ascent plus descent, so
// text drawn at (x, y) stays within rows y to y + height - 1; letters with ascenders and
// descenders fill about 0.8 of it. The pixel size (em) is the largest one whose line fits in
// that height; for the stand-in face it is about 0.9 of the height.
int pixel_size_for(const QFont& font, int height) {
    int pixel_size = std::max(1, height * height / std::max(1, line_height(font, height)));
    while (pixel_size > 1 && line_height(font, pixel_size) > height) --pixel_size;
    while (pixel_size < k_largest_height && line_height(font, pixel_size + 1) <= height) {
        ++pixel_size;
    }
    return pixel_size;
}

QFont resolve_font(const FontSpec& request) {
    QString face =
        QString::fromUtf8(request.face.data(), static_cast<qsizetype>(request.face.size()));
    if (face.isEmpty() || face.compare(k_requested_cyrillic_face, Qt::CaseInsensitive) == 0 ||
        !QFontDatabase::hasFamily(face)) {
        face = k_stand_in_face;
    }
    QFont font(face);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setItalic(request.italic);
    const int height =
        request.height > 0 ? std::min(request.height, k_largest_height) : k_default_height;
    font.setPixelSize(pixel_size_for(font, height));
    // The width of a request is the average character width: the face is stretched until its
    // average width at this size matches.
    if (request.width > 0) {
        const int natural_width = QFontMetrics(font).averageCharWidth();
        if (natural_width > 0) {
            const auto stretch = std::lround(100.0 * request.width / natural_width);
            font.setStretch(
                static_cast<int>(std::clamp<long>(stretch, k_smallest_stretch, k_largest_stretch)));
        }
    }
    return font;
}

QColor to_qcolor(Colour colour) {
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

}  // namespace

int Surface::draw_text(int x, int y, std::string_view utf8, const FontSpec& font_spec,
                       int rotation_tenths, Colour colour) {
    const QFont font = resolve_font(font_spec);
    const QFontMetrics metrics(font);
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));

    std::lock_guard lock(mutex_);
    if (!pixels_.empty()) {
        QImage image(reinterpret_cast<uchar*>(pixels_.data()), width_, height_,
                     static_cast<qsizetype>(width_) * 4, QImage::Format_RGB32);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font);
        painter.setPen(to_qcolor(colour));
        painter.setBackgroundMode(Qt::TransparentMode);
        // Turned about the top-left corner; the screen's y runs down, so counter-clockwise on
        // the screen is a negative angle for the painter.
        painter.translate(x, y);
        painter.rotate(-(rotation_tenths % 3600) / 10.0);
        painter.drawText(QPoint(0, metrics.ascent()), text);
        painter.end();
        // The stored format keeps the fourth byte at 0xFF.
        for (uint32_t& pixel : pixels_) pixel |= 0xFF000000u;
    }
    // Turned text may land anywhere: the whole surface counts as changed.
    changed(whole());
    return metrics.horizontalAdvance(text);
}

}  // namespace gfx
