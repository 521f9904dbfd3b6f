#include <ostream>

#include "app/view/image_details.h"
#include "cli/commands/commands.h"
#include "cli/output/json.h"
#include "core/formats/load_image.h"
#include "core/io/paths.h"
#include "core/ops/render.h"

namespace cli {

namespace {

void PrintJson(std::ostream& out, const std::string& file, bool ok, const core::ImageStore& s) {
    out << "{\"file\":" << JsonString(file) << ",\"ok\":" << (ok ? "true" : "false")
        << ",\"error\":" << JsonString(ok ? std::string() : s.LoadErrorText);
    if (ok) {
        out << ",\"width\":" << s.Image.Width << ",\"height\":" << s.Image.Height
            << ",\"bytes_per_pixel\":" << s.BytesPerPixel()
            << ",\"alpha_kind\":" << s.Image.AlphaKind << ",\"compression\":" << s.Image.Compression
            << ",\"uniform_colour\":" << (s.UniformColour ? "true" : "false");
    } else {
        out << ",\"width\":0,\"height\":0,\"bytes_per_pixel\":0,\"alpha_kind\":0,\"compression\":0"
               ",\"uniform_colour\":false";
    }
    out << ",\"description\":[";
    if (ok && s.HasTextureDescription) {
        for (size_t i = 0; i < s.TextureDescription.size(); ++i)
            out << (i ? "," : "") << JsonString(s.TextureDescription[i]);
    }
    out << "],\"container\":" << JsonString(ok ? s.TextureContainer : std::string())
        << ",\"details\":[";
    for (size_t i = 0; ok && i < s.TextureDetails.size(); ++i)
        out << (i ? "," : "") << JsonString(s.TextureDetails[i]);
    out << "]}\n";
}

}  // namespace

int InfoCommand(const Options&, const std::vector<std::string>& args, Streams io) {
    bool json = false;
    std::vector<std::string> files;
    for (const std::string& a : args) {
        if (a == "--json") {
            json = true;
        } else if (a == "--help") {
            PrintUsage(io.out);
            return kExitOk;
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            io.err << "skeinpress-cli info: unknown option " << a << "\n";
            return kExitUsage;
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) {
        io.err << "skeinpress-cli info: no file given (try --help)\n";
        return kExitUsage;
    }
    int status = kExitOk;
    for (const std::string& file : files) {
        core::ImageStore store;
        // A reader's notices (a 16-bit TGA, a bitmap of few colours) are shown
        // as a conversion shows them; beside JSON, on the error stream.
        std::vector<std::string> notices;
        store.Notice = [&notices](const std::string& line) { notices.push_back(line); };
        const bool ok = core::LoadImage(store, file);
        if (ok) core::NoteUniformColour(store);
        if (!ok) status = kExitFailed;
        for (const std::string& notice : notices) {
            if (!json) {
                io.out << notice << "\n";
            } else if (const size_t start = notice.find_first_not_of(' ');
                       start != std::string::npos) {
                io.err << core::OnOneLine(file) << ": " << notice.substr(start) << "\n";
            }
        }
        if (json) {
            PrintJson(io.out, file, ok, store);
        } else if (ok) {
            io.out << app::ImageDetailsText(store, file, store.Image.Compression);
        } else {
            io.err << core::OnOneLine(file) << ": " << store.LoadErrorText << "\n";
        }
    }
    return status;
}

}  // namespace cli
