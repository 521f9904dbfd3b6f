// The program's command line: one file to show, or the switches "-trawl",
// "-close", "-fixcolour" and "-normalmap" with a folder or file.
#pragma once

#include <string>
#include <vector>

namespace app {

class Application;

// The jobs the command line and the close question start. The application
// passes an adapter onto its own handlers; tests pass a recording fake.
class CommandLineJobs {
public:
    virtual ~CommandLineJobs() = default;
    virtual void StartTrawl() = 0;   // StartClick: trawl DefaultDir
    virtual void OpenAndSave() = 0;  // open CurrentFile, convert and save it
    virtual void SaveAs() = 0;       // SaveAs1Click
};

// Interprets the arguments after the program name. Memo lines, waits and timers
// go through the application's host.
void RunCommandLine(Application& app, const std::vector<std::string>& args, CommandLineJobs& jobs);

}  // namespace app
