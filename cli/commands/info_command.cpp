#include <ostream>

#include "app/view/image_details.h"
#include "cli/commands/commands.h"
#include "cli/output/json.h"
#include "core/formats/load_image.h"
#include "core/io/paths.h"
#include "core/ops/render.h"

namespace cli {

namespace {

void PrintJson(std::ostream& out, const std::string& file, const core::Failure& failure,
               const core::ImageStore& s) {
    const bool ok = !failure;
    out << "{\"file\":" << JsonString(file) << ",\"ok\":" << (ok ? "true" : "false")
        << ",\"error\":" << JsonString(ok ? std::string() : failure.Message());
    if (ok) {
        out << ",\"width\":" << s.Current.Width << ",\"height\":" << s.Current.Height
            << ",\"bytes_per_pixel\":" << s.Current.BytesPerPixel()
            << ",\"alpha_kind\":" << s.Current.AlphaKind
            << ",\"compression\":" << s.Current.Compression
            << ",\"uniform_colour\":" << (s.UniformColour ? "true" : "false");
    } else {
        out << ",\"width\":0,\"height\":0,\"bytes_per_pixel\":0,\"alpha_kind\":0,\"compression\":0"
               ",\"uniform_colour\":false";
    }
    out << ",\"description\":[";
    if (ok && s.Current.HasDescription) {
        for (size_t i = 0; i < s.Current.Description.size(); ++i)
            out << (i ? "," : "") << JsonString(s.Current.Description[i]);
    }
    out << "],\"container\":" << JsonString(ok ? s.Current.Container : std::string())
        << ",\"details\":[";
    for (size_t i = 0; ok && i < s.Current.Details.size(); ++i)
        out << (i ? "," : "") << JsonString(s.Current.Details[i]);
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
        core::LoadResult loaded = core::LoadImage(
            file, {[&notices](const std::string& line) { notices.push_back(line); }, {}});
        const bool ok = static_cast<bool>(loaded);
        store.Current = std::move(loaded.image);
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
            PrintJson(io.out, file, loaded.failure, store);
        } else if (ok) {
            io.out << app::ImageDetailsText(store, file, store.Current.Compression);
        } else {
            io.err << core::OnOneLine(file) << ": " << loaded.failure.Message() << "\n";
        }
    }
    return status;
}

}  // namespace cli
