#include "app/view/image_details.h"

#include "app/view/image_view.h"

namespace app {

namespace {

std::string AlphaKindName(const core::ImageStore& store) {
    switch (static_cast<core::AlphaKind>(store.Current.AlphaKind)) {
        case core::AlphaKind::Graded:
            return "graded";
        case core::AlphaKind::OnOff:
            return FullyOpaque(store) ? "opaque" : "on/off";
        case core::AlphaKind::None:
            break;
    }
    return "none";
}

void AddLines(std::string& text, const char* heading, const std::vector<std::string>& lines) {
    text.append(heading).append("\n");
    for (const std::string& line : lines) text.append("    ").append(line).append("\n");
}

}  // namespace

std::string CompressionName(int32_t compression) {
    if (compression == static_cast<int32_t>(core::Compression::None)) return std::string();
    return "DXT" + std::to_string(compression);
}

std::string ImageDetailsText(const core::ImageStore& store, const std::string& file,
                             int32_t compression) {
    const core::Image& image = store.Current;
    const std::string compressed = CompressionName(compression);
    std::string text = file + "\n";
    text.append("  size:           ")
        .append(std::to_string(image.Width) + " x " + std::to_string(image.Height) + "\n");
    text.append("  bytes/pixel:    ").append(std::to_string(image.BytesPerPixel()) + "\n");
    text.append("  alpha kind:     ")
        .append(std::to_string(image.AlphaKind) + " (" + AlphaKindName(store) + ")\n");
    text.append("  compression:    ").append(compressed.empty() ? "none" : compressed).append("\n");
    text.append("  uniform colour: ").append(store.UniformColour ? "yes\n" : "no\n");
    if (!image.Container.empty())
        text.append("  container:      ").append(image.Container).append("\n");
    if (image.HasDescription) AddLines(text, "  description:", image.Description);
    if (!image.Details.empty()) AddLines(text, "  details:", image.Details);
    return text;
}

}  // namespace app
