// Edits applied to a loaded image in the order given, before it is saved: the
// console's convert options, and the normal map the command line asks for.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/image/image_store.h"

namespace app {

enum class EditKind {
    Grey,
    InvertAlpha,
    RemoveAlpha,
    AddAlpha,       // alpha 255
    AddAlphaLevel,  // alpha = level
    Mask,           // argument "R,G,B,T"
    MergeAlpha,     // argument: alpha image
    NormalMap,      // grey scale, then the normal map
    FixUniform,
    ColourCopy,  // argument: target file
    AlphaCopy,   // argument: target file
};

struct Edit {
    EditKind kind;
    std::string argument;
    int level = 0;
};

struct ImageEdits {
    std::vector<Edit> list;
    // How FixUniform breaks up a uniform colour.
    int pixelCount = 3;
    int pixelChange = 20;
    bool pixelRandom = true;

    bool Has(EditKind kind) const;
    bool Empty() const { return list.empty(); }
};

// Applies the edits in order. A normal map of a picture with an alpha channel
// gets `normalMapAlpha` (the settings' NormalMapAlpha) as its alpha, whatever
// an earlier edit added. On the first failure returns false with
// `error` saying which edit failed and why.
bool ApplyEdits(core::ImageStore& store, const ImageEdits& edits, uint8_t normalMapAlpha,
                std::mt19937& rng, std::string& error);

}  // namespace app
