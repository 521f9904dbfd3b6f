// Shared by the single-image and trawl tests: an application on a recording
// host, with its program folder in a temporary folder, and small image files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "tests/support/fake_host.h"
#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace flow_testing {

// Keeps every title set and every memo line ever added (the memo itself is
// cleared by the trawl's flushes).
class RecordingHost : public testing_support::FakeHost {
public:
    std::vector<std::string> titles;
    std::vector<std::string> allMemo;
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

    // Runs the trawl's timers until it ends (or `limit` steps); returns the steps.
    int RunTrawl(int limit = 100000);
    // Runs at most `steps` trawl steps.
    void Step(int steps);
    std::string LogText() const { return testing_support::ReadText(app->LogFilePath()); }

    testing_support::TempDir home;  // the program's folder
    testing_support::TempDir work;  // the images
    RecordingHost host;
    std::unique_ptr<app::Application> app;
};

// Distinct texts for the keys the flows use, so lines can be told apart.
std::vector<std::string> LanguageLines();

// A baseline JPEG of the given size, a gradient or one colour.
void WriteJpeg(const std::string& path, int width, int height, bool uniform);

using testing_support::MakeBmp;
using testing_support::MakeTexture;
using testing_support::MakeTextureOf;
using testing_support::MakeTgaOf;

bool Exists(const std::string& path);

}  // namespace flow_testing
