// Every row of the shared conformance corpus, for the readers that exist.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/corpus.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::CorpusRow;

// Rows whose manifest reference is wrong: the reference decoder misread RLE4
// absolute runs of odd length. bmp_test.cpp checks such runs itself.
bool ReferenceKnownWrong(const std::string& path) {
    return path == "bmp/g/pal4rle.bmp" || path == "bmp/q/pal4rletrns.bmp";
}

class CorpusTest : public ::testing::TestWithParam<CorpusRow> {};

TEST_P(CorpusTest, GivesTheManifestOutcome) {
    const CorpusRow& row = GetParam();
    if (ReferenceKnownWrong(row.path))
        GTEST_SKIP() << row.path
                     << ": wrong reference; see LoadBmp.RunLengthStreamsStayInsideThePicture";
    testing_support::TempDir scratch;
    testing_support::CheckCorpusRow(row, scratch.path().string());
}

std::string RowName(const ::testing::TestParamInfo<CorpusRow>& info) {
    std::string name;
    for (char c : info.param.path) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

std::vector<CorpusRow> Rows() {
    auto rows = testing_support::ReadManifest();
    if (rows.empty()) rows.push_back({"(corpus missing)", "", "", "", ""});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Manifest, CorpusTest, ::testing::ValuesIn(Rows()), RowName);

TEST(Corpus, IsPresentInContinuousIntegration) {
    if (testing_support::CorpusDir().empty()) {
        if (std::getenv("CI")) FAIL() << "the conformance corpus must be beside the checkout in CI";
        GTEST_SKIP() << "../shared/corpus is not beside this checkout";
    }
    EXPECT_GT(testing_support::ReadManifest().size(), 100u);
}

}  // namespace
