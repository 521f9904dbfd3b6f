// The image edits of `skeinpress-cli convert`: read from the command line in the
// order given, applied to each loaded file before it is saved.
#pragma once

#include <iosfwd>
#include <random>
#include <string>
#include <vector>

#include "core/image_store.h"

namespace cli {

enum class EditKind {
    Grey,
    InvertAlpha,
    RemoveAlpha,
    AddAlpha,       // alpha 255
    AddAlphaLevel,  // alpha = level
    Mask,           // argument "R,G,B,T"
    MergeAlpha,     // argument: alpha image
    NormalMap,
    FixUniform,
    ColourCopy,  // argument: target file
    AlphaCopy,   // argument: target file
};

struct Edit {
    EditKind kind;
    std::string argument;
    int level = 0;
};

struct EditOptions {
    std::vector<Edit> edits;
    // How --fix-uniform breaks up a uniform colour.
    int pixelCount = 3;
    int pixelChange = 20;
    bool pixelRandom = true;

    bool Has(EditKind kind) const;
};

enum class EditParse { NotAnEdit, Taken, UsageError };

// Reads the edit option at args[i] (and its argument, advancing i). Writes a
// message to `err` on a usage error.
EditParse ParseEditOption(const std::vector<std::string>& args, size_t& i, EditOptions& options,
                          std::ostream& err);

// Applies the edits in order. On the first failure returns false with `error`
// saying which edit failed and why.
bool ApplyEdits(core::ImageStore& store, const EditOptions& options, std::mt19937& rng,
                std::string& error);

// "_normal" put before the ".tga" of a TGA name.
std::string NormalMapName(const std::string& tgaName);

}  // namespace cli
