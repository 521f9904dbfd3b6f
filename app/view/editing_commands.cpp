#include "app/view/editing_commands.h"

#include <chrono>

#include "core/image/alpha_channel.h"
#include "core/ops/normal_map.h"
#include "core/ops/operations.h"

namespace app {

EditingCommands::EditingCommands(const Context& context, ImageView& view, ColourPick& pick)
    : ctx_(context),
      view_(view),
      pick_(pick),
      random_(static_cast<std::mt19937::result_type>(
          std::chrono::steady_clock::now().time_since_epoch().count())) {}

void EditingCommands::GreyScale() {
    core::GreyScale(view_.Store());
    view_.Redraw();
    view_.NoteChange(Change::GreyScale);
}

void EditingCommands::BreakUpUniformColour() {
    const Settings& s = ctx_.settings;
    core::NonUniformColour(view_.Store(), s.PixelSetCount, s.PixelSetChange, s.PixelSetRandom,
                           random_);
    view_.NoteChange(Change::Pixels);
    view_.Redraw();
}

void EditingCommands::InvertAlpha() {
    if (!core::InvertAlpha(view_.Store())) {
        ctx_.host.ShowMessage(ctx_.T("message Nothing1"));
        return;
    }
    view_.NoteChange(Change::Pixels);
    view_.Redraw();
}

void EditingCommands::RemoveAlpha() {
    pick_.End();
    if (ctx_.host.Confirm(ctx_.T("dialog Alpha"), Buttons::YesNo) != Answer::Yes) return;
    if (!core::RemoveAlphaChannel(view_.Store())) {
        ctx_.host.ShowMessage(ctx_.T("message Nothing1"));
        return;
    }
    view_.NoteChange(Change::Pixels);
    view_.Redraw();
}

void EditingCommands::AddAlpha() {
    pick_.End();
    if (!view_.Store().ImageLoaded) {
        ctx_.host.ShowMessage(ctx_.T("message NoImage"));
        return;
    }
    if (!core::AddAlphaChannel(view_.Store(), false)) {
        ctx_.host.ShowMessage(ctx_.T("message HasAlpha"));
        return;
    }
    view_.NoteChange(Change::Pixels);
    view_.Redraw();
}

void EditingCommands::MergeAlphaImage() {
    core::ImageStore& store = view_.Store();
    if (!store.ImageLoaded) {
        ctx_.host.ClearMemo();
        ctx_.host.AddMemoLine("");
        ctx_.host.AddMemoLine(" **** " + ctx_.T("message NoImage") + " ****");
        ctx_.host.Beep();
        return;
    }
    pick_.End();
    const auto chosen =
        ctx_.host.PickOpenFile(ctx_.T("message Merge"), OpenImageFilter(), 1, view_.LastFolder());
    if (!chosen) return;
    if (core::MergeAlphaImage(store, *chosen)) {
        view_.NoteChange(Change::Pixels);
    } else {
        // The image is as it was; the reason goes to the memo.
        ctx_.host.AddMemoLine("  " + store.LoadErrorText);
    }
    view_.Redraw();
}

void EditingCommands::MakeNormalMap() {
    core::ImageStore& store = view_.Store();
    if (!store.ImageLoaded) return;
    core::MakeNormalMap(store.Image.Width, store.Image.Height, store.Image.DataSize,
                        store.Image.Data, ctx_.settings.AlphaFillValue);
    if (store.Image.Width != 0 && store.Image.Height != 0) {
        if (store.BytesPerPixel() == 3) core::AddAlphaChannel(store, true);
        core::UpdateAlphaKind(store);
    }
    view_.Redraw();
    view_.NoteChange(Change::NormalMap);
}

std::string EditingCommands::ApplyPickedColour(uint8_t red, uint8_t green, uint8_t blue) {
    if (!pick_.AwaitingColour()) return {};
    const std::string spec = std::to_string(red) + "," + std::to_string(green) + "," +
                             std::to_string(blue) + "," + std::to_string(pick_.Tolerance());
    if (core::CreateAlphaMask(view_.Store(), spec)) view_.NoteChange(Change::Pixels);
    view_.Redraw();
    pick_.End();
    return spec;
}

}  // namespace app
