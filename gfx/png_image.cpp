#include "gfx/png_image.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace gfx {

std::string encode_png(const Surface& surface) {
    QByteArray bytes;
    surface.read([&bytes](const uint32_t* pixels, int width, int height) {
        // The surface stores 0xFFRRGGBB, the layout of QImage's RGB32.
        const QImage image(reinterpret_cast<const uchar*>(pixels), width, height,
                           static_cast<qsizetype>(width) * 4, QImage::Format_RGB32);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    });
    return bytes.toStdString();
}

}  // namespace gfx
