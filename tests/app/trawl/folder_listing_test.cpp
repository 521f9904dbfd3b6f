// The order and the hidden rule of one folder's listing, which fix the order of
// a trawl's lines and of the files it converts.
#include "app/trawl/folder_listing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

TEST(FolderListing, DotFirstThenNamesFoldedToUpperCaseWithoutHiddenOnes) {
    TempDir dir;
    // '_' lies between the upper- and lower-case letters: folded to upper
    // case "ab" comes first, folded to lower case "a_b" would.
    for (const char* name : {"a_b.tga", "ab.tga", "B.tga", "a.tga", ".hidden.tga"})
        WriteBytes(dir.File(name), {1});
    std::filesystem::create_directories(dir.File("Zeta"));
    app::FolderListing listing;
    ASSERT_TRUE(listing.Open(dir.path().string()));
    std::vector<std::string> names;
    for (; listing.HasCurrent(); listing.Next()) names.push_back(listing.Current().name);
    EXPECT_EQ(names,
              (std::vector<std::string>{".", "a.tga", "ab.tga", "a_b.tga", "B.tga", "Zeta"}));
    EXPECT_FALSE(listing.Open(dir.File("missing")));
    EXPECT_FALSE(listing.HasCurrent());
}

}  // namespace
