// Turning the renderers' bitmaps into pictures the widgets can draw, and the
// file-dialog filters of the application into Qt's form.
#pragma once

#include <QImage>
#include <QSize>
#include <QStringList>
#include <string>

#include "core/image/bitmap.h"
#include "core/image/image_store.h"

namespace ui {

// An opaque copy of the bitmap (the bitmap may be released afterwards). The
// colour picture of a 32-bit image shows its colours; the alpha channel has
// its own pane and the transparent view is already composed.
QImage ToImage(const core::Bitmap& bitmap);

// An opaque copy reduced so that it is still at least `keep` in one direction
// (by averaging whole blocks of pixels, one factor for both directions): what
// a pane shows of a big picture, made once, then scaled to the pane's size.
QImage ReducedImage(const core::Bitmap& bitmap, QSize keep);

// The store's image as it is, alpha included (for the clipboard); null when
// the store holds no picture of 3 or 4 bytes per pixel.
QImage StoreImage(const core::ImageStore& store);

// "Description|*.a;*.b|Description|*.c" into Qt's "Description (*.a *.b)" list.
QStringList ToQtFilters(const std::string& filter);

}  // namespace ui
