// Every failure's message, word for word: users and their scripts see these.
// The messages of the readers' refusals, of a missing file, an unknown type,
// images of different sizes and a stale HDR are pinned by the tests that
// provoke them (and by the corpus's notes); the rest here.
#include <gtest/gtest.h>

#include <string>

#include "core/io/error.h"

namespace {

TEST(ErrorMessage, FailuresNoOtherTestProvokesKeepTheirWords) {
    const struct {
        core::Error error;
        const char* text;
    } cases[] = {
        {core::Error::OutOfMemory, "Not enough memory to load \"a.tga\""},
        {core::Error::ReadFailed, "Error reading \"a.tga\""},
        {core::Error::NothingLoaded, "Nothing to save to \"a.tga\": no image is loaded."},
        {core::Error::NoPicture, "Nothing to save to \"a.tga\": the picture has no pixels."},
        {core::Error::CannotCreate, "Couldn't create file \"a.tga\"."},
        {core::Error::CannotWrite, "Couldn't write file \"a.tga\"."},
        {core::Error::TgaDepth, "Couldn't load \"a.tga\". Only 24 and 32 bit TGA files supported."},
        {core::Error::TgaTooLarge,
         "Couldn't load \"a.tga\". Images larger than 8192 x 8192 are not supported."},
        {core::Error::TgaShortImageData, "Couldn't read image data in \"a.tga\"."},
        {core::Error::TgaHeaderNotWritten, "File Save Error in TGAHeader"},
        {core::Error::TgaDataNotWritten, "File Save Error in TGA Data"},
        {core::Error::BmpShortHeader, "Error reading bitmap header in \"a.tga\""},
        {core::Error::BmpNoPixelsToSave,
         "Couldn't save Bitmap - \"a.tga\": the image has no 3- or 4-byte pixels."},
        {core::Error::JpegNoPixelsToSave,
         "Couldn't save JPG file \"a.tga\": the image has no 3- or 4-byte pixels."},
        {core::Error::JpegNotSaved, "Couldn't save JPG file \"a.tga\""},
        {core::Error::TextureUndecodable, "Couldn't decode texture data (D) in \"a.tga\"."},
        {core::Error::HdrNotFloat, "Only a floating-point texture can be saved as HDR \"a.tga\"."},
    };
    for (const auto& c : cases) EXPECT_EQ(core::ErrorMessage(c.error, "folder/a.tga", "D"), c.text);
    EXPECT_EQ(core::ErrorMessage(core::Error::None, "a.tga"), "");
}

TEST(ErrorMessage, NamesTheFileAsGivenAndStopsAt255Characters) {
    // A name holding the placeholders is not expanded again.
    EXPECT_EQ(core::ErrorMessage(core::Error::TextureRefused, "{detail}.texture", "{file}"),
              "{file} in \"{detail}.texture\".");
    EXPECT_EQ(core::ErrorMessage(core::Error::FileNotFound, std::string(300, 'x')).size(), 255u);
}

}  // namespace
