// The image the desktop program shows, with the state that goes with showing
// it. Each view has one; conversions and edits work on its image alone.
#pragma once

#include "core/image/image.h"

namespace core {

struct ImageStore {
    Image Current;
    bool AlphaView = false;      // the alpha channel is shown in place of the colours
    bool UniformColour = false;  // the picture was found to be of one colour

    bool Loaded() const { return Current.Loaded(); }
};

}  // namespace core
