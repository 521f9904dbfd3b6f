// How a failure's message names its file and takes the caller's detail. The
// words of each message are pinned by the tests that provoke the failure (and
// by the corpus's notes).
#include <gtest/gtest.h>

#include <string>

#include "core/io/error.h"

namespace {

TEST(ErrorMessage, NamesTheFileAsGivenWithoutItsFolderAndStopsAt255Characters) {
    EXPECT_EQ(core::ErrorMessage(core::Error::TextureUndecodable, "folder/a.tga", "D"),
              "Couldn't decode texture data (D) in \"a.tga\".");
    EXPECT_EQ(core::ErrorMessage(core::Error::None, "a.tga"), "");
    // A name holding the placeholders is not expanded again.
    EXPECT_EQ(core::ErrorMessage(core::Error::TextureRefused, "{detail}.texture", "{file}"),
              "{file} in \"{detail}.texture\".");
    EXPECT_EQ(core::ErrorMessage(core::Error::FileNotFound, std::string(300, 'x')).size(), 255u);
}

}  // namespace
