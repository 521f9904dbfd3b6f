#include "ui/picture/picture_convert.h"

#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace ui {

QImage ToImage(const core::Bitmap& bitmap) {
    if (bitmap.Empty()) return {};
    const bool wide = bitmap.BitsPerPixel() == 32;
    // Wrap without copying, then copy once into an image the widget owns.
    QImage wrapped(bitmap.Bits(), bitmap.Width(), bitmap.Height(), bitmap.BytesPerLine(),
                   wide ? QImage::Format_RGB32 : QImage::Format_BGR888);
    QImage picture = wrapped.copy();
    if (wide) {
        for (int y = 0; y < picture.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x) row[x] |= 0xFF000000u;
        }
    }
    return picture;
}

QImage StoreImage(const core::ImageStore& store) {
    const int bpp = store.Current.BytesPerPixel();
    if (!store.Current.Usable() || (bpp != 3 && bpp != 4) || !store.Current.Data()) return {};
    const int width = store.Current.Width, height = store.Current.Height;
    if (static_cast<size_t>(store.Current.DataSize()) < static_cast<size_t>(width) * height * bpp ||
        store.Current.Pixels.size() < static_cast<size_t>(store.Current.DataSize()))
        return {};
    QImage image(width, height, bpp == 4 ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    if (image.isNull()) return {};
    // The store's rows run bottom-up, red first.
    const size_t rowBytes = static_cast<size_t>(width) * bpp;
    for (int row = 0; row < height; ++row)
        std::copy_n(store.Current.Data() + row * rowBytes, rowBytes,
                    image.scanLine(height - 1 - row));
    if (store.Current.HasAlpha() || bpp == 3) return image;
    return image.convertToFormat(QImage::Format_RGBX8888);  // alpha bytes that mean nothing
}

QImage ReducedImage(const core::Bitmap& bitmap, QSize keep) {
    if (bitmap.Empty()) return {};
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    const int factor = std::max(
        1, std::min(width / std::max(1, keep.width()), height / std::max(1, keep.height())));
    if (factor == 1) return ToImage(bitmap);

    // Each output pixel is the mean of a factor x factor block (smaller at the
    // right and bottom edges), summed row by row so every input byte is read once.
    const int step = bitmap.BitsPerPixel() / 8;
    const int outWidth = (width + factor - 1) / factor;
    const int outHeight = (height + factor - 1) / factor;
    QImage reduced(outWidth, outHeight, QImage::Format_RGB32);
    std::vector<uint64_t> sums(static_cast<size_t>(outWidth) * 3);
    for (int oy = 0; oy < outHeight; ++oy) {
        std::fill(sums.begin(), sums.end(), 0);
        const int firstRow = oy * factor;
        const int rows = std::min(factor, height - firstRow);
        for (int y = firstRow; y < firstRow + rows; ++y) {
            const uint8_t* in = bitmap.Row(y).data();
            uint64_t* sum = sums.data();
            for (int x = 0; x < width; x += factor, sum += 3) {
                const int columns = std::min(factor, width - x);
                uint32_t blue = 0, green = 0, red = 0;
                for (int i = 0; i < columns; ++i, in += step) {
                    blue += in[0];
                    green += in[1];
                    red += in[2];
                }
                sum[0] += blue;
                sum[1] += green;
                sum[2] += red;
            }
        }
        auto* out = reinterpret_cast<QRgb*>(reduced.scanLine(oy));
        for (int ox = 0; ox < outWidth; ++ox) {
            const uint64_t count = static_cast<uint64_t>(rows) *
                                   static_cast<uint64_t>(std::min(factor, width - ox * factor));
            const uint64_t* sum = &sums[static_cast<size_t>(ox) * 3];
            out[ox] = qRgb(static_cast<int>(sum[2] / count), static_cast<int>(sum[1] / count),
                           static_cast<int>(sum[0] / count));
        }
    }
    return reduced;
}

QStringList ToQtFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        // The descriptions carry their own pattern list in brackets; Qt reads
        // the patterns from the last brackets, so give it a clean one.
        description.remove(QRegularExpression("\\s*\\([^)]*\\)\\s*$"));
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
#ifndef Q_OS_WIN
            // Programs carry no extension here.
            if (pattern.compare("*.exe", Qt::CaseInsensitive) == 0) {
                patterns << "*";
                continue;
            }
#endif
            patterns << pattern;
            if (pattern.toUpper() != pattern) patterns << pattern.toUpper();
        }
        filters << QString("%1 (%2)").arg(description.trimmed(), patterns.join(' '));
    }
    return filters;
}

}  // namespace ui
