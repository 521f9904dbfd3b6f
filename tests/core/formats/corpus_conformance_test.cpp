// Every row of the conformance corpus in tests/corpus.
#include <gtest/gtest.h>

#include "tests/core/formats/reader_checks.h"
#include "tests/support/corpus.h"

using namespace testing_support;

namespace {

class CorpusTest : public ::testing::TestWithParam<CorpusRow> {};

TEST_P(CorpusTest, GivesTheManifestOutcome) {
    TempDir scratch;
    CheckCorpusRow(GetParam(), scratch.path().string());
}

INSTANTIATE_TEST_SUITE_P(Manifest, CorpusTest, ::testing::ValuesIn(ReadManifest()),
                         [](const auto& info) { return reader_checks::TestName(info.param.path); });

// A manifest that cannot be read would leave the suite above with no rows.
TEST(Corpus, ManifestListsEveryRow) {
    EXPECT_GE(ReadManifest().size(), 210u) << "tests/corpus/MANIFEST.tsv is missing or short";
}

}  // namespace
