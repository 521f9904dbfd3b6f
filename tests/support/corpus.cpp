#include "tests/support/corpus.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "core/formats/load_image.h"
#include "core/formats/save_image.h"
#include "core/io/paths.h"
#include "tests/support/reference_picture.h"
#include "tests/support/test_support.h"

namespace testing_support {

namespace fs = std::filesystem;

std::string CorpusDir() {
    return SKEINPRESS_CORPUS_DIR;
}

std::vector<uint8_t> DataBytes(const std::string& relative) {
    return ReadBytes((fs::path(CorpusDir()) / ".." / "data" / relative).string());
}

std::vector<CorpusRow> ReadManifest() {
    std::vector<CorpusRow> rows;
    std::ifstream in(fs::path(CorpusDir()) / "MANIFEST.tsv");
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::vector<std::string> cols;
        std::stringstream ss(line);
        std::string col;
        while (std::getline(ss, col, '\t')) cols.push_back(col);
        cols.resize(5);
        rows.push_back({cols[0], cols[1], cols[2], cols[3], cols[4]});
    }
    return rows;
}

namespace {

struct Tolerance {
    int r = 0, g = 0, b = 0, a = 0;
    bool skipTransparent = false;
};

Tolerance ParseTolerance(const std::string& text) {
    Tolerance t;
    if (text.rfind("rgb:", 0) != 0) {
        t.r = t.g = t.b = t.a = std::atoi(text.c_str());
        return t;
    }
    std::stringstream ss(text);
    std::string part;
    while (std::getline(ss, part, ';')) {
        if (part.rfind("rgb:", 0) == 0) {
            std::sscanf(part.c_str() + 4, "%d,%d,%d", &t.r, &t.g, &t.b);
        } else if (part.rfind("a:", 0) == 0) {
            t.a = std::atoi(part.c_str() + 2);
        } else if (part == "skip-transparent") {
            t.skipTransparent = true;
        }
    }
    return t;
}

void CompareWithReference(const CorpusRow& row, const core::ImageStore& store) {
    const std::string refPath = (fs::path(CorpusDir()) / row.reference).string();
    DecodedPicture ref;
    ASSERT_TRUE(ReadPicture(refPath, ref)) << "reference cannot be read: " << refPath;
    ASSERT_EQ(std::pair(store.Image.Width, store.Image.Height), std::pair(ref.width, ref.height))
        << row.path;
    const int bpp = store.BytesPerPixel();
    ASSERT_TRUE(bpp == 3 || bpp == 4) << row.path;
    const Tolerance tol = ParseTolerance(row.tolerance);
    const bool compareAlpha =
        bpp == 4 && row.path.rfind("bmp/", 0) != 0 && row.path.rfind("jpeg/", 0) != 0;
    int reported = 0;
    for (int y = 0; y < ref.height; ++y) {
        const uint8_t* refRow = ref.rgba.data() + static_cast<size_t>(y) * ref.width * 4;
        const uint8_t* storeRow =
            store.Image.Data + static_cast<size_t>(ref.height - 1 - y) * ref.width * bpp;
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
    const fs::path source = fs::path(CorpusDir()) / row.path;
    const std::string name = source.filename().string();
    const fs::path expected = fs::path(CorpusDir()) / "texture" / "expected" / (name + ".txt");
    if (!fs::exists(expected)) return;
    const fs::path copy = fs::path(scratch) / name;
    fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
    core::ImageStore store;
    ASSERT_TRUE(core::LoadImage(store, copy.string())) << store.LoadErrorText;
    const std::string tga = copy.string().substr(0, copy.string().size() - 8) + ".tga";
    ASSERT_TRUE(core::SaveImage(store, tga)) << store.LoadErrorText;
    EXPECT_EQ(ReadText(copy.string() + ".txt"), ReadText(expected.string())) << row.path;
}

}  // namespace

void CheckCorpusRow(const CorpusRow& row, const std::string& scratch) {
    const std::string path = (fs::path(CorpusDir()) / row.path).string();
    const std::string quotedName = "\"" + std::string(core::FileNamePart(row.path)) + "\"";
    core::ImageStore store;
    const bool ok = core::LoadImage(store, path);
    if (row.expect == "load") {
        ASSERT_TRUE(ok) << row.path << ": " << store.LoadErrorText;
        ASSERT_TRUE(store.ImageLoaded);
        ASSERT_EQ(store.Image.Data, store.PixelBuffer.data());
        ASSERT_GE(store.PixelBuffer.size(), static_cast<size_t>(store.Image.DataSize));
        if (row.reference != "-") CompareWithReference(row, store);
        if (row.path.rfind("texture/", 0) == 0) CheckDescription(row, scratch);
    } else if (row.expect == "refuse" || !ok) {
        EXPECT_FALSE(ok) << row.path << " should be refused";
        EXPECT_FALSE(store.ImageLoaded);
        EXPECT_NE(store.LoadErrorText.find(quotedName), std::string::npos)
            << row.path << ": message \"" << store.LoadErrorText << "\" does not name the file";
        // Where the manifest gives the reader's own message, it must be exactly that.
        if (row.note.rfind("Couldn't", 0) == 0 || row.note.rfind("Compressed", 0) == 0) {
            EXPECT_EQ(store.LoadErrorText, row.note) << row.path;
        }
    }
}

}  // namespace testing_support
