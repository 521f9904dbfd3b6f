#include "tests/app/flow_fixture.h"

#include <jpeglib.h>

#include <cstdio>
#include <filesystem>

namespace flow_testing {

FlowTest::FlowTest() {
    app = std::make_unique<app::Application>(host);
    app->FormCreate(home.path().string() + "/", home.File("skeinpress"));
    app->language().SetLines(LanguageLines());
    // Timers of the command line and start-up are not part of these tests.
    host.StopTimer(app::TimerId::TrawlSlow);
    host.StopTimer(app::TimerId::TrawlFast);
    host.StopTimer(app::TimerId::OpenWithSetup);
    host.handlers[app::TimerId::TrawlFast] = [this] { app->Timer5Timer(); };
    host.handlers[app::TimerId::TrawlSlow] = [this] { app->Timer5Timer(); };
    host.handlers[app::TimerId::CloseLog] = [this] { app->Timer4Timer(); };
}

int FlowTest::RunTrawl(int limit) {
    int steps = 0;
    while (app->TrawlActive && steps < limit &&
           host.RunTimers({app::TimerId::TrawlFast, app::TimerId::TrawlSlow}, 1) == 1) {
        ++steps;
    }
    return steps;
}

void FlowTest::Step(int steps) {
    for (int i = 0; i < steps && app->TrawlActive; ++i) {
        if (host.RunTimers({app::TimerId::TrawlFast, app::TimerId::TrawlSlow}, 1) == 0) break;
    }
}

std::vector<std::string> LanguageLines() {
    return {
        "message Size|Size",
        "message Wide|wide",
        "message High|high",
        "message DXT1| [DXT1]",
        "message DXT3| [DXT3]",
        "message DXT5| [DXT5]",
        "message None| no alpha",
        "message Blended| blended",
        "message Masked| masked",
        "message UniformColour| uniform",
        "label FileName|File",
        "message Opened|Open an image",
        "message Nothing2|Nothing to save",
        "message Nothing3|No trawl log yet",
        "dialog Delete|Delete the trawl log?",
        "message StartFolder|The start folder does not exist",
        "message Converting|Converting",
        "message TGA|to TGA",
        "message ConvertNone|Not converted (option off)",
        "message InvalidSize|Size unusable",
        "message FixedColour|Uniform colour repaired",
        "message Finished|Finished",
        "message Percent|% done",
    };
}

void WriteJpeg(const std::string& path, int width, int height, bool uniform) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t c[3];
            testing_support::TestColour(x, y, uniform, c);
            rgb.insert(rgb.end(), c, c + 3);
        }
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = rgb.data() + static_cast<size_t>(cinfo.next_scanline) * width * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
}

bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

}  // namespace flow_testing
