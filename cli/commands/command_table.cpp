#include <filesystem>
#include <ostream>
#include <system_error>

#include "app/application.h"
#include "app/platform/program_dir.h"

#include "cli/cli.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace cli {

void PrintUsage(std::ostream& out) {
    out << "skeinpress-cli: convert Trainz textures and images to uncompressed TGA.\n"
           "\n"
           "Usage:\n"
           "  skeinpress-cli info [--json] FILE...\n"
           "      Load each file and describe it: size, bytes per pixel, alpha kind\n"
           "      (0 none, 1 graded, 2 on/off), compression (0 none, 1 DXT1, 3 DXT3,\n"
           "      5 DXT5), whether it is one uniform colour, and a texture's\n"
           "      description lines. --json prints one JSON object per file per line;\n"
           "      a byte of a name that is not UTF-8 is written as \\ufffd there.\n"
           "  skeinpress-cli convert FILE... [--output OUT] [--jobs N] [EDIT...]\n"
           "      Convert each file to TGA beside it (wagon.texture -> wagon.tga and\n"
           "      wagon.texture.txt; sky.bmp -> sky.tga). With one FILE, --output\n"
           "      names the target; its extension (.tga, .bmp, .jpg, .png, .dds, .hdr)\n"
           "      picks the format.\n"
           "      Without edits a file converts as in a trawl, with the settings file's\n"
           "      options: a .bmp or .jpg of unusable size is refused, an image of one\n"
           "      uniform colour is repaired, and with overwriting off an existing TGA\n"
           "      gets a \"1\" name beside it (loco.tga -> loco1.tga).\n"
           "      Edits are applied to each file after loading, in the order given:\n"
           "        --grey                 colour becomes grey, (R + G + B) / 3\n"
           "        --invert-alpha         every alpha a becomes 255 - a\n"
           "        --remove-alpha         drop the alpha channel\n"
           "        --add-alpha[=LEVEL]    add an alpha channel of 255 (or LEVEL, 0..255)\n"
           "        --mask R,G,B,T         alpha 0 where red, green and blue are each\n"
           "                               within T of R,G,B; 255 elsewhere\n"
           "        --merge-alpha FILE     the red of FILE (same size) becomes the alpha\n"
           "        --normalmap            grey scale, then a normal map; the default\n"
           "                               target gets \"_normal\" (wagon_normal.tga)\n"
           "        --fix-uniform          if the image is one colour, change the red of\n"
           "                               a few pixels: --pixel-count N (default 3),\n"
           "                               --pixel-change N (default 20), both 1..127,\n"
           "                               --pixel-even for even instead of random spacing\n"
           "        --colour-copy OUT      also write the image without alpha to OUT\n"
           "        --alpha-copy OUT       also write the alpha channel as grey to OUT\n"
           "      An edit that fails fails that file.\n"
           "      --jobs N converts N files at a time (default: the number of cores);\n"
           "      what is printed, and in which order, does not depend on N.\n"
           "  skeinpress-cli paths\n"
           "      Show where the settings file and the language file are.\n"
           "  skeinpress-cli trawl [OPTIONS] DIR\n"
           "      Walk the folder tree below DIR, as the desktop program's trawl does:\n"
           "      convert every .texture (and, by option, .bmp and .jpg) to TGA beside it\n"
           "      and repair images of one uniform colour, appending each message line\n"
           "      to Trawl_Log.txt in the program's folder.\n"
           "      Options (each with a --no- form; unset ones come from the settings\n"
           "      file, which the command line never writes):\n"
           "        --textures      convert .texture files\n"
           "        --bmp           convert .bmp files\n"
           "        --jpg           convert .jpg files\n"
           "        --fix-uniform   repair images of one uniform colour\n"
           "        --overwrite     overwrite an existing TGA (--no-overwrite adds \"1\")\n"
           "        --jobs N        convert N files at a time (default: the number of\n"
           "                        cores); the files written, the message lines and\n"
           "                        the log are the same for every N\n"
           "        --quiet         print nothing but errors (refused files, on the\n"
           "                        error stream)\n"
           "        --verbose       also print a progress line every few seconds when\n"
           "                        the error stream is not a terminal\n"
           "      Without --quiet: every message line as the trawl adds it, a progress\n"
           "      bar on the error stream when it is a terminal, and at the end a\n"
           "      summary: files read, converted, repaired, refused (each with its message), "
           "skipped\n"
           "      (type option off), and the time taken. Refused files make the exit\n"
           "      status 1.\n"
           "  skeinpress-cli --help\n"
           "\n"
           "Options before the command:\n"
           "  --home DIR  keep the settings file, language file and trawl log in DIR\n"
           "              (created when missing) instead of the usual folder.\n"
           "\n"
           "Readable files: .texture, .tga, .bmp, .jpg (any letter case).\n"
           "Exit status: 0 when every file succeeded, 1 when any failed, 2 for a usage error.\n";
}

bool ParseGlobalOptions(std::vector<std::string>& args, Options& options, std::ostream& err) {
    size_t used = 0;
    while (used < args.size()) {
        const std::string& arg = args[used];
        if (arg == "--home") {
            if (used + 1 >= args.size() || args[used + 1].empty()) {
                err << "skeinpress-cli: --home needs a folder\n";
                return false;
            }
            options.home = args[used + 1];
            used += 2;
        } else if (arg.rfind("--home=", 0) == 0) {
            options.home = arg.substr(7);
            if (options.home.empty()) {
                err << "skeinpress-cli: --home needs a folder\n";
                return false;
            }
            ++used;
        } else {
            break;
        }
    }
    args.erase(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(used));
    return true;
}

std::string ProgramDirOf(const Options& options, std::ostream& err) {
    if (options.home.empty()) return app::ProgramDirFor(app::RunningProgramPath());
    std::error_code ec;
    std::filesystem::create_directories(core::PathFromUtf8(options.home), ec);
    if (!core::IsFolder(options.home)) {
        err << "skeinpress-cli: cannot create the folder \"" << options.home << "\"\n";
        return std::string();
    }
    return app::WithTrailingSeparator(options.home);
}

std::string ConvertedLine(const std::string& source, const std::vector<std::string>& written) {
    std::string line = source + " ->";
    for (size_t i = 0; i < written.size(); ++i) line += (i == 0 ? " " : ", ") + written[i];
    return line + "\n";
}

int RunCli(const std::vector<std::string>& arguments, Streams io) {
    std::vector<std::string> args = arguments;
    Options options;
    if (!ParseGlobalOptions(args, options, io.err)) return kExitUsage;
    if (args.empty()) {
        PrintUsage(io.err);
        return kExitUsage;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        PrintUsage(io.out);
        return kExitOk;
    }
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "paths") return PathsCommand(options, rest, io);
    if (command == "info") return InfoCommand(rest, io);
    if (command == "convert") return ConvertCommand(options, rest, io);
    if (command == "trawl") return TrawlCommand(options, rest, io);
    io.err << "skeinpress-cli: unknown command \"" << command << "\" (try --help)\n";
    return kExitUsage;
}

void PrintStartupNotices(const app::Application& application, std::ostream& err) {
    for (const std::string& notice : application.StartupNotices()) {
        const size_t start = notice.find_first_not_of(' ');
        err << "skeinpress-cli: " << (start == std::string::npos ? notice : notice.substr(start))
            << "\n";
    }
}

namespace {

// The length of the well-formed UTF-8 sequence at text[i] (no overlong forms,
// no surrogates, nothing above U+10FFFF), or 0.
size_t Utf8SequenceLength(const std::string& text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    static const char* hex = "0123456789abcdef";
                    out += "\\u00";
                    out += hex[c >> 4];
                    out += hex[c & 15];
                } else if (c < 0x80) {
                    out += static_cast<char>(c);
                } else if (const size_t length = Utf8SequenceLength(text, i); length != 0) {
                    out.append(text, i, length);
                    i += length - 1;
                } else {
                    // A name need not be UTF-8; JSON must be. Each byte that is
                    // not part of a well-formed sequence becomes U+FFFD.
                    out += "\\ufffd";
                }
        }
    }
    return out + "\"";
}

}  // namespace cli
