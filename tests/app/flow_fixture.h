// Shared by the view, trawl and log tests: an application on a recording host,
// its program folder and its images in temporary folders.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "tests/support/fake_host.h"
#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace flow_testing {

// Also keeps every title and every memo line (the trawl clears the memo).
class RecordingHost : public testing_support::FakeHost {
public:
    std::vector<std::string> titles, allMemo;
    void SetTitle(const std::string& text) override {
        FakeHost::SetTitle(text);
        titles.push_back(text);
    }
    void AddMemoLine(const std::string& line) override {
        FakeHost::AddMemoLine(line);
        allMemo.push_back(line);
    }
};

class FlowTest : public ::testing::Test {
protected:
    FlowTest();
    // Fires the step timers, one at a time, until the trawl ends or `steps` ran.
    int Step(int steps = 1000000);
    std::string LogText() const { return testing_support::ReadText(app->LogFilePath()); }
    // Memo texts: " " + T(key) + ": " + name, and the converting line.
    std::string Line(const std::string& key, const std::string& name) const {
        return " " + app->T(key) + ": " + name;
    }
    std::string Converting(const std::string& name) const {
        return Line("message Converting", name) + " " + app->T("message TGA");
    }

    testing_support::TempDir home, work;
    RecordingHost host;
    std::unique_ptr<app::Application> app;
};

bool Exists(const std::string& path);

}  // namespace flow_testing
