#include "tests/support/corpus.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <tuple>

#include <gtest/gtest.h>

#include "core/formats/load_image.h"
#include "core/formats/save_image.h"
#include "core/io/paths.h"
#include "tests/support/test_store.h"
#include "tests/support/test_support.h"

// The decoder that is not the code under test, for the PNGs of the corpus and
// those the writer makes (and, through this unit, the HDR test's).
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace testing_support {

namespace fs = std::filesystem;

// A function, not a variable: the manifest may be read while statics are made.
fs::path Corpus() {
    return SKEINPRESS_CORPUS_DIR;
}

std::vector<uint8_t> DataBytes(const std::string& relative) {
    return ReadBytes((Corpus() / ".." / "data" / relative).string());
}

std::vector<CorpusRow> ReadManifest() {
    std::vector<CorpusRow> rows;
    std::vector<std::string> lines =
        SplitLines(WithLineFeeds(ReadText((Corpus() / "MANIFEST.tsv").string())), "\n");
    for (size_t i = 1; i < lines.size(); ++i) {  // line 0 is the header
        if (lines[i].empty()) continue;
        std::vector<std::string> cols = SplitLines(lines[i], "\t");
        cols.resize(5);
        rows.push_back({cols[0], cols[1], cols[2], cols[3], cols[4]});
    }
    return rows;
}

namespace {

struct DecodedPicture {
    int width = 0, height = 0;
    int channels = 0;           // as the file stores them: 3 for RGB, 4 with alpha
    std::vector<uint8_t> rgba;  // 4 bytes a pixel, top row first
};

// False when the file is missing or is not a picture stb_image can read.
bool ReadPicture(const std::string& path, DecodedPicture& out) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    if (bytes.empty()) return false;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()),
                                            &out.width, &out.height, &out.channels, 4);
    if (pixels == nullptr) return false;
    out.rgba.assign(pixels, pixels + static_cast<size_t>(out.width) * out.height * 4);
    stbi_image_free(pixels);
    return true;
}

// A channel difference allowed by the manifest: one number for every channel,
// or "rgb:R,G,B;a:A" and perhaps ";skip-transparent".
struct Tolerance {
    int r = 0, g = 0, b = 0, a = 0;
    bool skipTransparent = false;
};

Tolerance ParseTolerance(const std::string& text) {
    Tolerance t;
    if (std::sscanf(text.c_str(), "rgb:%d,%d,%d;a:%d", &t.r, &t.g, &t.b, &t.a) != 4)
        t.r = t.g = t.b = t.a = std::atoi(text.c_str());
    t.skipTransparent = text.find(";skip-transparent") != std::string::npos;
    return t;
}

void CompareWithReference(const CorpusRow& row, const testing_support::TestStore& store) {
    const std::string refPath = (Corpus() / row.reference).string();
    DecodedPicture ref;
    ASSERT_TRUE(ReadPicture(refPath, ref)) << "reference cannot be read: " << refPath;
    ASSERT_EQ(std::pair(store.Current.Width, store.Current.Height),
              std::pair(ref.width, ref.height))
        << row.path;
    const int bpp = store.Current.BytesPerPixel();
    ASSERT_TRUE(bpp == 3 || bpp == 4) << row.path;
    const Tolerance tol = ParseTolerance(row.tolerance);
    const bool compareAlpha =
        bpp == 4 && row.path.rfind("bmp/", 0) != 0 && row.path.rfind("jpeg/", 0) != 0;
    int reported = 0;
    for (int y = 0; y < ref.height; ++y) {
        const uint8_t* refRow = ref.rgba.data() + static_cast<size_t>(y) * ref.width * 4;
        const uint8_t* storeRow =
            store.Current.Data() + static_cast<size_t>(ref.height - 1 - y) * ref.width * bpp;
        for (int x = 0; x < ref.width; ++x) {
            const uint8_t* e = refRow + x * 4;
            const uint8_t* s = storeRow + x * bpp;
            const bool ok = ((tol.skipTransparent && e[3] == 0) ||
                             (std::abs(s[0] - e[0]) <= tol.r && std::abs(s[1] - e[1]) <= tol.g &&
                              std::abs(s[2] - e[2]) <= tol.b)) &&
                            (!compareAlpha || std::abs(s[3] - e[3]) <= tol.a);
            if (!ok && reported++ < 5) {
                ADD_FAILURE() << row.path << " pixel (" << x << "," << y << " from the top): got "
                              << int(s[0]) << "," << int(s[1]) << "," << int(s[2])
                              << (bpp == 4 ? "," + std::to_string(s[3]) : std::string())
                              << " expected " << int(e[0]) << "," << int(e[1]) << "," << int(e[2])
                              << "," << int(e[3]);
            }
        }
    }
}

// A texture's description file, written beside a copy of the texture when its
// TGA is saved there, must match the expected file byte for byte.
void CheckDescription(const CorpusRow& row, const std::string& scratch) {
    const fs::path source = Corpus() / row.path;
    const std::string name = source.filename().string();
    const fs::path expected = Corpus() / "texture" / "expected" / (name + ".txt");
    if (!fs::exists(expected)) return;
    const fs::path copy = fs::path(scratch) / name;
    fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
    testing_support::TestStore store;
    ASSERT_TRUE(testing_support::Load(store, copy.string())) << store.error;
    const std::string tga = copy.string().substr(0, copy.string().size() - 8) + ".tga";
    ASSERT_TRUE(testing_support::Save(store, tga)) << store.error;
    EXPECT_EQ(ReadText(copy.string() + ".txt"), ReadText(expected.string())) << row.path;
}

// A picture read is written as PNG and read back exactly, with its alpha if
// it has one, by another decoder (stb_image).
void CheckPngRoundTrip(testing_support::TestStore& store, const std::string& scratch) {
    const std::string png = scratch + "/picture.png";
    ASSERT_TRUE(testing_support::Save(store, png)) << store.error;
    DecodedPicture image;
    ASSERT_TRUE(ReadPicture(png, image));
    const int bpp = store.Current.BytesPerPixel(), width = store.Current.Width;
    ASSERT_EQ(std::make_tuple(image.width, image.height, image.channels),
              std::make_tuple(width, store.Current.Height, bpp));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* got = &image.rgba[(size_t(y) * width + x) * 4];
            const uint8_t* want =
                store.Current.Data() + (size_t(image.height - 1 - y) * width + x) * bpp;
            ASSERT_TRUE(std::equal(want, want + bpp, got)) << "PNG pixel " << x << "," << y;
        }
}

}  // namespace

void CheckCorpusRow(const CorpusRow& row, const std::string& scratch) {
    const std::string path = (Corpus() / row.path).string();
    const std::string quotedName = "\"" + std::string(core::FileNamePart(row.path)) + "\"";
    testing_support::TestStore store;
    const bool ok = testing_support::Load(store, path);
    if (row.expect == "load") {
        ASSERT_TRUE(ok) << row.path << ": " << store.error;
        ASSERT_TRUE(store.Loaded());
        ASSERT_EQ(store.Current.Data(), store.Current.Pixels.data());
        ASSERT_GE(store.Current.Pixels.size(), static_cast<size_t>(store.Current.DataSize()));
        if (row.reference != "-") CompareWithReference(row, store);
        if (row.path.rfind("texture/", 0) == 0) CheckDescription(row, scratch);
    } else if (row.expect == "refuse" || !ok) {
        EXPECT_FALSE(ok) << row.path << " should be refused";
        EXPECT_FALSE(store.Loaded());
        EXPECT_NE(store.error.find(quotedName), std::string::npos)
            << row.path << ": message \"" << store.error << "\" does not name the file";
        // Where the manifest gives the reader's own message, it must be exactly that.
        if (row.note.rfind("Couldn't", 0) == 0 || row.note.rfind("Compressed", 0) == 0) {
            EXPECT_EQ(store.error, row.note) << row.path;
        }
    }
    if (ok && store.Loaded()) CheckPngRoundTrip(store, scratch);
}

}  // namespace testing_support
