// skeinpress-cli thumbnail: a small PNG of any picture the program opens, for
// the desktop's file managers (data/skeinpress.thumbnailer names this command).
#include <optional>
#include <ostream>

#include "cli/commands/commands.h"
#include "cli/options/options.h"
#include "core/formats/format_table.h"
#include "core/formats/load_image.h"
#include "core/formats/save_image.h"
#include "core/io/paths.h"
#include "core/ops/scale.h"

namespace cli {

namespace {

constexpr int kDefaultThumbnailSize = 256;

int UsageError(Streams io, const std::string& problem) {
    io.err << "skeinpress-cli thumbnail: " << problem << " (try --help)\n";
    return kExitUsage;
}

}  // namespace

int ThumbnailCommand(const Options&, const std::vector<std::string>& args, Streams io) {
    int size = kDefaultThumbnailSize;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        std::optional<std::string> value;
        if (TakeValueOption(args, i, {"--size", "-s"}, value)) {
            if (!value || !ParseNumber(*value, 1, core::kMaxSide, size))
                return UsageError(
                    io, "--size needs a number from 1 to " + std::to_string(core::kMaxSide));
        } else if (args[i] == "--help") {
            PrintUsage(io.out);
            return kExitOk;
        } else if (args[i].size() > 1 && args[i][0] == '-' && args[i][1] == '-') {
            return UsageError(io, "unknown option " + args[i]);
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) return UsageError(io, "needs one input file and one output file");
    const std::string& input = files[0];
    const std::string& output = files[1];

    // The picture as the program shows it, reader notices aside; a picture of
    // one uniform colour is shown as it is, never repaired.
    const core::LoadResult picture = core::LoadImage(input);
    if (!picture) {
        io.err << core::OnOneLine(input) << ": " << picture.failure.Message() << "\n";
        return kExitFailed;
    }
    core::Image thumbnail;
    if (!core::ScaleToFit(picture.image, size, thumbnail)) {
        io.err << input << ": no picture to make a thumbnail of\n";
        return kExitFailed;
    }
    // PNG whatever the output is called: file managers name the file they
    // ask for as they like.
    if (const core::Failure failure =
            core::SaveImageAs(thumbnail, output, core::FormatNamed("PNG"))) {
        io.err << core::OnOneLine(output) << ": " << failure.Message() << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace cli
