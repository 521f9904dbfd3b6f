// The image edits of `skeinpress-cli convert`, read from the command line in the
// order given.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "app/view/image_edits.h"

namespace cli {

enum class EditParse { NotAnEdit, Taken, UsageError };

// Reads the edit option at args[i] (and its argument, advancing i). Writes a
// message to `err` on a usage error.
EditParse ParseEditOption(const std::vector<std::string>& args, size_t& i, app::ImageEdits& edits,
                          std::ostream& err);

}  // namespace cli
