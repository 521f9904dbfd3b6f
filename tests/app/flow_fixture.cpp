#include "tests/app/flow_fixture.h"

#include <filesystem>

namespace flow_testing {

FlowTest::FlowTest() {
    app = std::make_unique<app::Application>(host);
    app->FormCreate(home.path().string() + "/", home.File("skeinpress"));
    // Distinct texts, so that lines can be told apart.
    app->language().SetLines({
        "message Size|Size", "message Wide|wide", "message High|high", "message DXT1| DXT1",
        "message None| none", "message Blended| blended", "message Masked| masked",
        "message UniformColour| uniform", "label FileName|File", "message Nothing2|Nothing",
        "message Nothing3|No log", "message StartFolder|No folder", "message Converting|Converting",
        "message TGA|to TGA", "message ConvertNone|Option off", "message InvalidSize|Bad size",
        "message FixedColour|Repaired", "message Finished|Finished", "message Percent|%",
    });
    host.StopTimer(app::TimerId::OpenWithSetup);
    host.StopTimer(app::TimerId::TrawlSlow);  // no idle steps before the test's trawl
    host.handlers[app::TimerId::TrawlFast] = [this] { app->Timer5Timer(); };
    host.handlers[app::TimerId::TrawlSlow] = [this] { app->Timer5Timer(); };
    host.handlers[app::TimerId::CloseLog] = [this] { app->Timer4Timer(); };
}

int FlowTest::Step(int steps) {
    int done = 0;
    while (done < steps && app->TrawlActive &&
           host.RunTimers({app::TimerId::TrawlFast, app::TimerId::TrawlSlow}, 1) == 1)
        ++done;
    return done;
}

bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

}  // namespace flow_testing
