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
    virtual void StartTrawl() = 0;  // trawl DefaultDir
    // Opens CurrentFile and converts it as the trawl would, to a normal map
    // when asked.
    virtual void ConvertCurrentFile(bool normalMap) = 0;
    virtual void SaveAs() = 0;  // File > Save As
};

// Interprets the arguments after the program name. Memo lines, waits and timers
// go through the application's host.
void RunCommandLine(Application& app, const std::vector<std::string>& args, CommandLineJobs& jobs);

}  // namespace app
