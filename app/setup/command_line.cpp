#include "app/setup/command_line.h"

#include <algorithm>
#include <set>

#include "app/application.h"
#include "core/formats/format_table.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace app {

namespace {

class CommandLine {
public:
    CommandLine(Application& app, CommandLineJobs& jobs)
        : app_(app), jobs_(jobs), s_(app.settings()) {}

    void Run(const std::vector<std::string>& args) {
        switch (args.size()) {
            case 1:
                OneFile(args[0]);
                break;
            case 2:
                OneSwitch(core::ToLowerAscii(args[0]), args[1]);
                break;
            case 3:
                TwoSwitches(core::ToLowerAscii(args[0]), core::ToLowerAscii(args[1]), args[2]);
                break;
            case 4:
                ThreeSwitches(args);
                break;
            default:
                break;  // nothing to do for none or five and more
        }
        // An unattended job that could not even start (no such file or
        // folder) closes too: nobody is there to close the window.
        const bool unattended = std::any_of(args.begin(), args.end(), [](const std::string& a) {
            return core::ToLowerAscii(a) == "-close";
        });
        if (unattended && !trawlStarted_ && !app_.host().TimerActive(TimerId::CloseWindow))
            CloseLater();
    }

private:
    void Message(const std::string& key) { app_.host().AddMemoLine("  " + app_.T(key)); }
    void Wait(int ms) { app_.host().Sleep(ms); }
    void StartTrawl() {
        trawlStarted_ = true;  // it closes the window itself when done
        jobs_.StartTrawl();
    }
    void CloseLater() { app_.host().StartTimer(TimerId::CloseWindow, 500); }

    void OneFile(const std::string& file) {
        // Every type the program reads: the desktop entry offers the program
        // for bitmaps, JPEGs and PNGs too. Any other file says why the window
        // stays empty.
        if (!core::CanOpen(file)) {
            app_.host().AddMemoLine("  " + core::ErrorMessage(core::Error::TypeNotSupported, file));
            return;
        }
        s_.CurrentFile = file;
        if (core::IsFile(file)) {
            // Once the command line has run and the window is up; no later.
            app_.host().StartTimer(TimerId::OpenDelayed, 0);
        } else {
            app_.host().AddMemoLine("  " + app_.T("message LaunchParam") + ": " +
                                    std::string(core::FileNamePart(file)));
        }
    }

    void OneSwitch(const std::string& option, const std::string& target) {
        if (option == "-trawl" && core::IsFolder(target)) {
            if (s_.DoBMPs || s_.DoJPGs || s_.DoPNGs || s_.DoTextures) {
                s_.DefaultDir = target;
                StartTrawl();
            } else {
                Message("message Type");
                Message("message Exiting");
                Wait(1000);
                CloseLater();
            }
        } else if (option == "-normalmap" && core::IsFile(target)) {
            SaveNormalMap(target, false);
        } else if (option == "-close" && core::IsFile(target)) {
            Wait(500);
            s_.DoTextures = true;
            s_.CurrentFile = target;
            jobs_.ConvertCurrentFile(false);
            CloseLater();
        } else {
            Message("message LaunchParam");
        }
    }

    // Opens the file, makes it a normal map and saves it; closes afterwards when
    // asked to, or when the settings say to close once done.
    void SaveNormalMap(const std::string& target, bool close) {
        Wait(500);
        s_.CurrentFile = target;
        jobs_.ConvertCurrentFile(true);
        if (close || s_.CloseOnDone) CloseLater();
    }

    // The trawl of a folder's textures only, as the open-with batch file asks.
    void TexturesOnlyTrawl(const std::string& folder, bool closeOnDone, bool fixColour) {
        Wait(500);
        s_.DoBMPs = false;
        s_.DoJPGs = false;
        s_.DoPNGs = false;
        s_.DoTextures = true;
        s_.DefaultDir = folder;
        if (closeOnDone) s_.CloseOnDone = true;
        s_.FixUniformColour = fixColour;
        StartTrawl();
        // Set again: the trawl may already have ended and read it.
        if (closeOnDone) s_.CloseOnDone = true;
    }

    void TwoSwitches(const std::string& a, const std::string& b, const std::string& target) {
        const std::set<std::string> pair{a, b};
        if (pair == std::set<std::string>{"-trawl", "-close"}) {
            if (core::IsFolder(target)) {
                TexturesOnlyTrawl(target, true, false);
            } else {
                Message("message NoFolder");
            }
        } else if (pair == std::set<std::string>{"-trawl", "-fixcolour"}) {
            if (core::IsFolder(target)) {
                TexturesOnlyTrawl(target, false, true);
            } else {
                Message("message NoFolder");
            }
        } else if (pair == std::set<std::string>{"-close", "-normalmap"} && core::IsFile(target)) {
            SaveNormalMap(target, true);
        } else {
            Message("message LaunchParam");
        }
    }

    void ThreeSwitches(const std::vector<std::string>& args) {
        const std::set<std::string> switches{
            core::ToLowerAscii(args[0]), core::ToLowerAscii(args[1]), core::ToLowerAscii(args[2])};
        if (switches != std::set<std::string>{"-trawl", "-close", "-fixcolour"}) {
            Message("message LaunchParam");
        } else if (core::IsFolder(args[3])) {
            TexturesOnlyTrawl(args[3], true, true);
        } else {
            Message("message NoFolder");
        }
    }

    Application& app_;
    CommandLineJobs& jobs_;
    Settings& s_;
    bool trawlStarted_ = false;
};

}  // namespace

void RunCommandLine(Application& app, const std::vector<std::string>& args, CommandLineJobs& jobs) {
    CommandLine(app, jobs).Run(args);
}

}  // namespace app
