#include "ui/picture_convert.h"

#include <QRegularExpression>

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
