// Shared by the view and trawl tests: an application on a recording host,
// its program folder and its images in temporary folders.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/platform/program_dir.h"
#include "core/io/file_io.h"
#include "tests/support/fake_host.h"
#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace flow_testing {

class FlowTest : public ::testing::Test {
protected:
    FlowTest() {
        app = std::make_unique<app::Application>(host);
        app->Start(home.path().string(), home.File("skeinpress"));
        // The program's own English texts: distinct, so that lines can be told apart.
        EXPECT_TRUE(app->language().LoadFile(app::InstalledDataDir(app::RunningProgramPath()) +
                                             "English.txt"));
        host.StopTimer(app::TimerId::OpenWithSetup);
        host.StopTimer(app::TimerId::TrawlSlow);  // no idle steps before the test's trawl
        for (app::TimerId id : app::kTimers)
            host.handlers[id] = [this, id] { app->TimerFired(id); };
    }

    // Fires the step timers, one at a time, until the trawl ends or `steps` ran.
    int Step(int steps = 1000000) {
        int done = 0;
        while (done < steps && app->trawl().Active() &&
               (host.Fire(app::TimerId::TrawlFast) || host.Fire(app::TimerId::TrawlSlow)))
            ++done;
        return done;
    }
    // How often the line was shown.
    int Seen(const std::string& line) const {
        return static_cast<int>(std::count(host.allMemo.begin(), host.allMemo.end(), line));
    }
    std::string LogText() const { return testing_support::ReadText(app->log().Path()); }
    // Memo texts: " " + T(key) + ": " + name, and the converting line.
    std::string Line(const std::string& key, const std::string& name) const {
        return " " + app->T(key) + ": " + name;
    }
    std::string Converting(const std::string& name) const {
        return Line("message Converting", name) + " " + app->T("message TGA");
    }

    testing_support::TempDir home, work;
    testing_support::FakeHost host;
    std::unique_ptr<app::Application> app;
};

inline bool Exists(const std::string& path) {
    return core::ExamineFile(path) != core::FileKind::Missing;
}

}  // namespace flow_testing
