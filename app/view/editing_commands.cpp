#include "app/view/editing_commands.h"

#include <chrono>

#include "core/image/alpha_channel.h"
#include "core/ops/normal_map.h"
#include "core/ops/operations.h"

namespace app {

EditingCommands::EditingCommands(const Context& context, Dialogs& dialogs, ImageView& view,
                                 ColourPick& pick)
    : ctx_(context),
      dialogs_(dialogs),
      view_(view),
      pick_(pick),
      random_(static_cast<std::mt19937::result_type>(
          std::chrono::steady_clock::now().time_since_epoch().count())) {}

void EditingCommands::GreyScale() {
    core::GreyScale(view_.Store().Current);
    view_.Redraw();
    view_.NoteChange(Change::GreyScale);
}

void EditingCommands::BreakUpUniformColour() {
    const Settings& s = ctx_.settings;
    core::NonUniformColour(view_.Store().Current, s.PixelSetCount, s.PixelSetChange,
                           s.PixelSetRandom, random_);
    view_.NoteChange(Change::Pixels);
    view_.Redraw();
}

void EditingCommands::InvertAlpha() {
    if (!core::InvertAlpha(view_.Store().Current)) {
        ctx_.messages.ShowMessage(ctx_.T("message Nothing1"));
        return;
    }
    view_.NoteChange(Change::Pixels);
    view_.Redraw();
}

void EditingCommands::RemoveAlpha() {
    pick_.End();
    if (dialogs_.Confirm(ctx_.T("dialog Alpha"), Buttons::YesNo) != Answer::Yes) return;
    if (!core::RemoveAlphaChannel(view_.Store().Current)) {
        ctx_.messages.ShowMessage(ctx_.T("message Nothing1"));
        return;
    }
    view_.NoteChange(Change::Pixels);
    view_.Redraw();
}

void EditingCommands::AddAlpha() {
    pick_.End();
    if (!view_.Store().Loaded()) {
        ctx_.messages.ShowMessage(ctx_.T("message NoImage"));
        return;
    }
    if (!core::AddAlphaChannel(view_.Store().Current)) {
        ctx_.messages.ShowMessage(ctx_.T("message HasAlpha"));
        return;
    }
    view_.NoteChange(Change::Pixels);
    view_.Redraw();
}

void EditingCommands::MergeAlphaImage() {
    core::ImageStore& store = view_.Store();
    if (!store.Loaded()) {
        ctx_.messages.ClearMemo();
        ctx_.messages.AddMemoLine("");
        ctx_.messages.AddMemoLine(" **** " + ctx_.T("message NoImage") + " ****");
        ctx_.messages.Beep();
        return;
    }
    pick_.End();
    const auto chosen =
        dialogs_.PickOpenFile(ctx_.T("message Merge"), OpenImageFilter(), 1, view_.LastFolder());
    if (!chosen) return;
    if (const core::Failure failure = core::MergeAlphaFile(store.Current, *chosen)) {
        // The picture is as it was; the reason goes to the memo.
        ctx_.messages.AddMemoLine("  " + failure.Message());
    } else {
        view_.NoteChange(Change::Pixels);
    }
    view_.Redraw();
}

void EditingCommands::MakeNormalMap() {
    core::ImageStore& store = view_.Store();
    if (!store.Loaded()) return;
    core::MakeNormalMap(store.Current.Width, store.Current.Height, store.Current.DataSize(),
                        store.Current.Data(), ctx_.settings.AlphaFillValue);
    if (store.Current.Width != 0 && store.Current.Height != 0) {
        if (store.Current.BytesPerPixel() == 3)
            core::AddAlphaChannel(store.Current, ctx_.settings.AlphaFillValue);
        core::UpdateAlphaKind(store.Current);
    }
    view_.Redraw();
    view_.NoteChange(Change::NormalMap);
}

std::string EditingCommands::ApplyPickedColour(uint8_t red, uint8_t green, uint8_t blue) {
    if (!pick_.AwaitingColour()) return {};
    const std::string spec = std::to_string(red) + "," + std::to_string(green) + "," +
                             std::to_string(blue) + "," + std::to_string(pick_.Tolerance());
    if (core::CreateAlphaMask(view_.Store().Current, spec)) view_.NoteChange(Change::Pixels);
    view_.Redraw();
    pick_.End();
    return spec;
}

}  // namespace app
