#include "cli/commands/explorer_start.h"

#include <istream>
#include <ostream>

#include "cli/commands/commands.h"
#include "core/io/file_io.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace cli {

namespace {

void PrintExplorerHelp(std::ostream& out) {
    out << "skeinpress-cli converts Trainz textures and images to uncompressed TGA.\n"
           "\n"
           "It has no window of its own. To use it:\n"
           "  - drop a .texture, .bmp, .jpg or .tga file on skeinpress-cli.exe: it is\n"
           "    converted to a TGA beside it;\n"
           "  - drop a folder on skeinpress-cli.exe: every texture below it is converted\n"
           "    (a trawl), with a log in Trawl_Log.txt;\n"
           "  - or open a command prompt (cmd) and type, for instance,\n"
           "      skeinpress-cli.exe convert \"C:\\Trainz\\My Assets\\wagon.texture\"\n"
           "      skeinpress-cli.exe trawl \"C:\\Trainz\\My Route\"\n"
           "      skeinpress-cli.exe --help\n"
           "\n"
           "To look at a texture and edit it, start skeinpress.exe, the window.\n";
}

void WaitForEnter(std::ostream& out, std::istream& in) {
    out << "\nPress Enter to close this window.\n";
    out.flush();
    std::string line;
    std::getline(in, line);
}

}  // namespace

std::vector<std::string> CommandForLoneArgument(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') return args;
    for (const Command& command : Commands()) {
        if (args[0] == command.name) return args;
    }
    if (core::IsFolder(args[0])) return {"trawl", args[0]};
    if (core::IsFile(args[0])) return {"convert", args[0]};
    return args;
}

bool OwnsItsConsole() {
#ifdef _WIN32
    // Input from a file or a pipe means a script started it: never wait.
    DWORD processes[2];
    DWORD mode = 0;
    return ::GetConsoleProcessList(processes, 2) == 1 &&
           ::GetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), &mode);
#else
    return false;
#endif
}

int RunFromDesktop(const std::vector<std::string>& args, Streams io, std::istream& in,
                   bool ownsConsole) {
    if (args.empty() && ownsConsole) {
        PrintExplorerHelp(io.out);
        WaitForEnter(io.out, in);
        return kExitOk;
    }
    const int status = RunCli(CommandForLoneArgument(args), io);
    if (ownsConsole) {
        io.err.flush();
        WaitForEnter(io.out, in);
    }
    return status;
}

}  // namespace cli
