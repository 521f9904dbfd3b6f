// The round trip through the user's image editor: the colour or the alpha
// picture is written to a temporary file in the program folder, the editor is
// started on it, and the file is watched; each save the editor makes comes
// back into the open image. Owns the modification times the watch compares.
#pragma once

#include <filesystem>

#include "app/context.h"
#include "app/view/colour_pick.h"
#include "app/view/image_view.h"

namespace app {

class ExternalEditor {
public:
    ExternalEditor(const Context& context, Dialogs& dialogs, Timers& timers, Shell& shell,
                   ImageView& view, ColourPick& pick);

    // Edit on the colour picture: the colours (and the alpha beside them).
    void EditColour();
    // Edit on the alpha picture.
    void EditAlpha();
    // The watch timers: take back what the editor saved since the last look.
    void CheckColourFile();
    void CheckAlphaFile();
    // SetUp > Editor.
    void ChooseEditor();
    // At close: the temporary files go.
    void RemoveTemporaryFiles();

private:
    bool EditorChosen();
    void Start(const std::string& file, std::filesystem::file_time_type& age, TimerId watch);

    Context ctx_;
    Dialogs& dialogs_;
    Timers& timers_;
    Shell& shell_;
    ImageView& view_;
    ColourPick& pick_;
    // Modification times of the temporary files when last looked at.
    std::filesystem::file_time_type colourAge_{};
    std::filesystem::file_time_type alphaAge_{};
};

}  // namespace app
