// The commands that change the open image: grey scale, breaking up a uniform
// colour, the alpha channel's commands, Merge Alpha Image, Make Normal Map and
// the colour pick's mask. Each command changes the store, marks the image
// changed and redraws it. Owns the random source of the uniform-colour command.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "app/context.h"
#include "app/view/colour_pick.h"
#include "app/view/image_view.h"

namespace app {

class EditingCommands {
public:
    EditingCommands(const Context& context, Dialogs& dialogs, ImageView& view, ColourPick& pick);

    void GreyScale();
    // Non Uniform Colour: the image's one colour broken up by a few pixels.
    void BreakUpUniformColour();
    void InvertAlpha();
    // Asks first.
    void RemoveAlpha();
    // An opaque alpha channel for a picture that has none, to edit from there.
    void AddAlpha();
    // Asks for the image whose red becomes the alpha channel.
    void MergeAlphaImage();
    void MakeNormalMap();
    // The colour picked on the colour picture, with the pick's tolerance,
    // becomes the alpha mask. Returns the mask text applied ("R,G,B,T"), empty
    // when no pick was awaited.
    std::string ApplyPickedColour(uint8_t red, uint8_t green, uint8_t blue);

private:
    Context ctx_;
    Dialogs& dialogs_;
    ImageView& view_;
    ColourPick& pick_;
    std::mt19937 random_;
};

}  // namespace app
