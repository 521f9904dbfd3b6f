// A batch worker's conversion streams a block-coded texture into its TGA; it
// must write what reading the texture whole and saving it writes, and leave
// to that what it cannot do (refused files, plain pixels, a picture of one
// colour to repair, a cube map).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "app/convert/conversion.h"
#include "tests/support/e2tf_files.h"
#include "tests/support/fake_host.h"
#include "tests/support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

struct Side {
    TempDir dir;
    FakeHost messages;
    app::Settings settings;
    app::Language language;
    core::ImageStore store;
    app::Conversion conversion{messages, settings, language, store};
};

std::map<std::string, Bytes> FilesIn(const TempDir& dir) {
    std::map<std::string, Bytes> files;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        files[entry.path().filename().string()] = ReadBytes(entry.path().string());
    return files;
}

TEST(StreamedConversion, WritesWhatReadingWholeWrites) {
    std::map<std::string, Bytes> textures;
    const fs::path corpus = SKEINPRESS_CORPUS_DIR;
    for (const fs::path& folder : {corpus / "texture", corpus / ".." / "data"})
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.path().extension() == ".texture")
                textures[entry.path().filename().string()] = ReadBytes(entry.path().string());
    E2TFParts e2tf;  // DXT1 in several chunks of the stream, its bottom block row cut short
    e2tf.code = "1txd", e2tf.width = 1024, e2tf.height = 170;
    e2tf.levels = {{NoiseBytes(256 * 43 * 8, 1)}, {NoiseBytes(128 * 22 * 8, 2)}};
    textures["e2tf_dxt1.texture"] = E2TFBytes(e2tf);
    e2tf.code = "5txd", e2tf.type = 2, e2tf.width = e2tf.height = 4;
    e2tf.levels = {std::vector<Bytes>(6, NoiseBytes(16, 3))};
    textures["cube.texture"] = E2TFBytes(e2tf);
    e2tf.type = 0, e2tf.levels = {{Bytes(16, 0)}};  // one colour, repaired
    textures["flat.texture"] = E2TFBytes(e2tf);

    Side streamed, whole;
    streamed.conversion.StreamTexturesToTga();
    for (Side* side : {&streamed, &whole}) {
        side->conversion.SeedRepairsWith([](const std::string&) { return 7u; });
        for (const auto& [name, bytes] : textures) WriteBytes(side->dir.File(name), bytes);
    }
    int streams = 0;
    for (const bool overwrite : {true, false}) {  // the second time, NAME1.tga
        for (const auto& [name, bytes] : textures) {
            bool converted[2];
            for (Side* side : {&streamed, &whole}) {
                side->settings.OverwriteTGAs = overwrite;
                converted[side == &whole] =
                    side->conversion.Convert({side->dir.File(name), "", {}, true});
            }
            EXPECT_EQ(converted[0], converted[1]) << name;
            streams += converted[0] && !streamed.store.Loaded();
        }
    }
    EXPECT_EQ(streams, 2 * 10);
    const auto files = FilesIn(streamed.dir), expected = FilesIn(whole.dir);
    EXPECT_EQ(files.size(), expected.size());
    for (const auto& [name, bytes] : expected)
        EXPECT_TRUE(files.count(name) && files.at(name) == bytes) << name;
}

}  // namespace
