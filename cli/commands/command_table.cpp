#include <ostream>

#include "cli/commands/commands.h"
#include "core/formats/format_table.h"

namespace cli {

namespace {

// The file types --help names, as core's format table lists them.
std::string Listed(const std::vector<std::string_view>& types) {
    std::string text;
    for (const std::string_view type : types) text.append(text.empty() ? "" : ", ").append(type);
    return text;
}

std::vector<Command> MakeCommands() {
    return {
        {"info", InfoCommand,
         "  skeinpress-cli info [--json] FILE...\n"
         "      Load each file and describe it: size, bytes per pixel, alpha kind\n"
         "      (0 none, 1 graded, 2 on/off), compression (0 none, 1 DXT1, 3 DXT3,\n"
         "      5 DXT5), whether it is one uniform colour, and a texture's\n"
         "      description lines. --json prints one JSON object per file per line;\n"
         "      a byte of a name that is not UTF-8 is written as \\ufffd there.\n"},
        {"convert", ConvertCommand,
         "  skeinpress-cli convert FILE... [--output OUT] [--jobs N] [EDIT...]\n"
         "      Convert each file to TGA beside it (wagon.texture -> wagon.tga and\n"
         "      wagon.texture.txt; sky.bmp -> sky.tga). With one FILE, --output\n"
         "      names the target; its extension (" +
             Listed(core::WrittenExtensions()) +
             ")\n"
             "      picks the format.\n"
             "      Without edits a file converts as in a trawl, with the settings file's\n"
             "      options: a .bmp, .jpg or .png of unusable size is refused, an image of one\n"
             "      uniform colour is repaired, and with overwriting off an existing TGA\n"
             "      gets a \"1\" name beside it (loco.tga -> loco1.tga).\n"
             "      Only a TGA, BMP or JPEG target is ever repaired: PNG, DDS and HDR keep\n"
             "      the picture as read (a DXT texture's DDS keeps its blocks and every\n"
             "      mip level, a floating-point texture's HDR its values).\n"
             "        --fix-uniform          repair an image of one uniform colour (after\n"
             "                               any edits), changing the red of a few\n"
             "                               pixels: --pixel-count N, --pixel-change N\n"
             "                               (1..127; the settings file's, 3 and 20 if\n"
             "                               unset), --pixel-even for even spacing\n"
             "        --no-fix-uniform       never repair\n"
             "      Both last for this run only; the settings file is not changed.\n"
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
             "        --colour-copy OUT      also write the image without alpha to OUT\n"
             "        --alpha-copy OUT       also write the alpha channel as grey to OUT\n"
             "      An edit that fails fails that file.\n"
             "      --jobs N converts N files at a time (default: the number of cores);\n"
             "      what is printed, and in which order, does not depend on N.\n"},
        {"paths", PathsCommand,
         "  skeinpress-cli paths\n"
         "      Show where the settings file and the language file are.\n"},
        {"trawl", TrawlCommand,
         "  skeinpress-cli trawl [OPTIONS] DIR\n"
         "      Walk the folder tree below DIR, as the desktop program's trawl does:\n"
         "      convert every .texture (and, by option, .bmp, .jpg and .png) to TGA\n"
         "      beside it\n"
         "      and repair images of one uniform colour, appending each message line\n"
         "      to Trawl_Log.txt in the program's folder.\n"
         "      Options (each with a --no- form; unset ones come from the settings\n"
         "      file, which the command line never writes):\n"
         "        --textures      convert .texture files\n"
         "        --bmp           convert .bmp files\n"
         "        --jpg           convert .jpg and .jpeg files\n"
         "        --png           convert .png files\n"
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
         "      status 1.\n"},
        {"thumbnail", ThumbnailCommand,
         "  skeinpress-cli thumbnail [--size N] FILE OUT\n"
         "      Write a PNG of FILE shrunk to fit N x N pixels (default 256; never\n"
         "      enlarged), keeping its shape and alpha, to OUT whatever its name:\n"
         "      the thumbnail that file managers show (skeinpress.thumbnailer).\n"},
        {"--help", HelpCommand, "  skeinpress-cli --help\n"},
        {"-h", HelpCommand, ""},
        {"help", HelpCommand, ""},
        {"--version", VersionCommand,
         "  skeinpress-cli --version\n"
         "      Show the program's version and whether it reads ASTC textures.\n"},
    };
}

}  // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = MakeCommands();
    return commands;
}

void PrintUsage(std::ostream& out) {
    out << "skeinpress-cli: convert Trainz textures and images to uncompressed TGA.\n"
           "\n"
           "Usage:\n";
    for (const Command& command : Commands()) out << command.usage;
    out << "\n"
           "Options before the command:\n"
           "  --home DIR  keep the settings file, language file and trawl log in DIR\n"
           "              (created when missing) instead of the usual folder.\n"
           "\n"
           "Readable files: "
        << Listed(core::ExtensionsWith(core::kOpened))
        << " (any letter case).\n"
           "Exit status: 0 when every file succeeded, 1 when any failed, 2 for a usage error.\n";
}

int HelpCommand(const Options&, const std::vector<std::string>&, Streams io) {
    PrintUsage(io.out);
    return kExitOk;
}

int RunCli(const std::vector<std::string>& arguments, Streams io) {
    std::vector<std::string> args = arguments;
    Options options;
    if (!ParseGlobalOptions(args, options, io.err)) return kExitUsage;
    if (args.empty()) {
        PrintUsage(io.err);
        return kExitUsage;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const Command& command : Commands()) {
        if (command.name == args[0]) return command.run(options, rest, io);
    }
    io.err << "skeinpress-cli: unknown command \"" << args[0] << "\" (try --help)\n";
    return kExitUsage;
}

}  // namespace cli
