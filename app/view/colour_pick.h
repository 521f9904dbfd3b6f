// The colour pick of Create Alpha Mask: the tolerance is asked for, then a
// click on the colour picture gives the colour. Any other command ends it.
#pragma once

namespace app {

enum class PickMode {
    None,
    ToleranceAsked,  // the tolerance dialog is open
    AwaitingColour,  // the next click on the colour picture picks
};

class ColourPick {
public:
    PickMode Mode() const { return mode_; }
    bool AwaitingColour() const { return mode_ == PickMode::AwaitingColour; }
    int Tolerance() const { return tolerance_; }

    void AskTolerance() { mode_ = PickMode::ToleranceAsked; }
    // The tolerance was given: the next click picks.
    void Begin(int tolerance) {
        tolerance_ = tolerance;
        mode_ = PickMode::AwaitingColour;
    }
    void End() { mode_ = PickMode::None; }

private:
    PickMode mode_ = PickMode::None;
    int tolerance_ = 10;
};

}  // namespace app
