#include <iostream>
#include <ostream>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "app/platform/platform.h"
#include "cli/commands/commands.h"
#include "cli/commands/explorer_start.h"

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // Every image needs a few buffers of its pixel size. Left to the defaults,
    // each big one is a fresh mapping whose pages the kernel faults in and
    // clears again for every file of a batch; kept in the heap they are reused.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
    std::ostream& out = app::platform::StandardOutput();
    std::ostream& err = app::platform::StandardError();
    // Started from Explorer (a file or folder dropped on the program, or no
    // arguments in a console of its own) it acts on the drop and waits before
    // its console closes; elsewhere this is the plain command line.
    const int status = cli::RunFromDesktop(app::platform::ProgramArguments(argc, argv), {out, err},
                                           std::cin, cli::OwnsItsConsole());
    out.flush();
    err.flush();
    return status;
}
