#include <ostream>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "app/platform/platform.h"
#include "cli/commands/commands.h"

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
    const int status = cli::RunCli(app::platform::ProgramArguments(argc, argv), {out, err});
    out.flush();
    err.flush();
    return status;
}
