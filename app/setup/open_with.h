// The batch files through which the simulator's content tools run this program
// on an asset folder ("OpenWith" tools), one per simulator edition whose
// install folder is found or chosen. Owns the drive the editions' default
// install folders are looked for on.
#pragma once

#include <string>

#include "app/context.h"

namespace app {

class OpenWithSetup {
public:
    OpenWithSetup(const Context& context, Dialogs& dialogs, Timers& timers);

    // Writes the batch file for every edition not yet set up, asking for the
    // install folders it does not find. At start the memo is kept (it may
    // hold the command line's messages).
    void Install(bool clearMemo = true);
    // SetUp > OpenWith: every edition asked again.
    void InstallAgain();
    // SetUp > Remove OpenWith.
    void Remove();
    // Shortly after start: set up only where the simulator is installed.
    void InstallAfterStart();
    // "C:\\" on Windows, Wine's drive_c elsewhere; tests point it at a fake tree.
    void LookOnDrive(std::string root) { driveRoot_ = std::move(root); }

private:
    bool WriteBatch(const std::string& batchPath);
    // Whether a default install folder of any simulator edition exists.
    bool SimulatorFolderPresent() const;

    Context ctx_;
    Dialogs& dialogs_;
    Timers& timers_;
    std::string driveRoot_;
};

}  // namespace app
