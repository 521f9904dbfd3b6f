// Every row of the conformance corpus in tests/corpus.
#include <gtest/gtest.h>

#include "tests/support/corpus.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::CorpusRow;

class CorpusTest : public ::testing::TestWithParam<CorpusRow> {};

TEST_P(CorpusTest, GivesTheManifestOutcome) {
    testing_support::TempDir scratch;
    testing_support::CheckCorpusRow(GetParam(), scratch.path().string());
}

std::string RowName(const ::testing::TestParamInfo<CorpusRow>& info) {
    std::string name;
    for (char c : info.param.path) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Manifest, CorpusTest, ::testing::ValuesIn(testing_support::ReadManifest()),
                         RowName);

// A manifest that cannot be read would leave the suite above with no rows.
TEST(Corpus, ManifestListsEveryRow) {
    EXPECT_GE(testing_support::ReadManifest().size(), 127u)
        << "tests/corpus/MANIFEST.tsv is missing or short";
}

}  // namespace
