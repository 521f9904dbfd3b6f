// The pictures the panes show of a big image: reduced by one whole factor (the
// mean of each factor x factor block), drawn straight from the store, so a
// 4,096-pixel texture or a cube map's six-face strip never needs a full-size
// display bitmap for a picture a few hundred pixels wide.
#pragma once

#include "core/image/bitmap.h"
#include "core/image/image_store.h"

namespace app {

// The largest whole factor by which a picture of width x height can be reduced
// and still be at least as large as its fit into a box of at most
// limitWidth x limitHeight (the screen): 1 when either limit is 0 or less.
int PaneReduction(int width, int height, int limitWidth, int limitHeight);

// Draws the store's picture reduced by `factor` (blocks at the right and
// bottom edges are smaller), as core::RenderImage draws it at full size: the
// colours in 24 or 32 bits, or the alpha channel as 24-bit grey. `colour` and
// `alpha` may be null; a store with nothing drawable (or no alpha channel, for
// `alpha`) leaves them empty.
void RenderReduced(const core::ImageStore& store, int factor, core::Bitmap* colour,
                   core::Bitmap* alpha);

}  // namespace app
