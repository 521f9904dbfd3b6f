// Every failure's message, word for word: users and their scripts see these.
#include <gtest/gtest.h>

#include <string>

#include "core/io/error.h"

namespace {

TEST(ErrorMessage, EveryFailureKeepsItsWords) {
    const struct {
        core::Error error;
        const char* text;
    } cases[] = {
        {core::Error::FileNotFound, "File not found : \"a.tga\""},
        {core::Error::TypeNotSupported, "File type not supported \"a.tga\"."},
        {core::Error::OutOfMemory, "Not enough memory to load \"a.tga\""},
        {core::Error::ReadFailed, "Error reading \"a.tga\""},
        {core::Error::NothingLoaded, "Nothing to save to \"a.tga\": no image is loaded."},
        {core::Error::NoPicture, "Nothing to save to \"a.tga\": the picture has no pixels."},
        {core::Error::CannotCreate, "Couldn't create file \"a.tga\"."},
        {core::Error::CannotWrite, "Couldn't write file \"a.tga\"."},
        {core::Error::SizesDiffer, "Images not the same size"},
        {core::Error::TgaCompressed, "Compressed TGAs not supported \"a.tga\"."},
        {core::Error::TgaType,
         "Couldn't load \"a.tga\". Only 256 colour, 24 bit and 32bit TGA supported."},
        {core::Error::TgaColourMapped,
         "Couldn't load \"a.tga\". Colormapped TGA files not supported."},
        {core::Error::TgaDepth, "Couldn't load \"a.tga\". Only 24 and 32 bit TGA files supported."},
        {core::Error::TgaNoPixels,
         "Couldn't load \"a.tga\". The image has no pixels (width or height 0)."},
        {core::Error::TgaTooLarge,
         "Couldn't load \"a.tga\". Images larger than 8192 x 8192 are not supported."},
        {core::Error::TgaShortImageData, "Couldn't read image data in \"a.tga\"."},
        {core::Error::TgaShortPixels, "Couldn't read file \"a.tga\"."},
        {core::Error::TgaHeaderNotWritten, "File Save Error in TGAHeader"},
        {core::Error::TgaDataNotWritten, "File Save Error in TGA Data"},
        {core::Error::BmpUndecodable, "Couldn't load Bitmap - \"a.tga\""},
        {core::Error::BmpCannotOpen, "Error opening \"a.tga\""},
        {core::Error::BmpShortHeader, "Error reading bitmap header in \"a.tga\""},
        {core::Error::BmpUnsupported, "Bitmap format not supported in \"a.tga\""},
        {core::Error::BmpShortPalette, "Error reading palette in \"a.tga\""},
        {core::Error::BmpShortPixels, "Error reading bitmap data in \"a.tga\""},
        {core::Error::BmpNoPixelsToSave,
         "Couldn't save Bitmap - \"a.tga\": the image has no 3- or 4-byte pixels."},
        {core::Error::BmpNotSaved, "Couldn't save Bitmap - \"a.tga\""},
        {core::Error::JpegUndecodable, "Couldn't load JPG file in \"a.tga\""},
        {core::Error::JpegTooManyScans,
         "Couldn't load JPG file in \"a.tga\": it has more than D scans"},
        {core::Error::JpegNoPixelsToSave,
         "Couldn't save JPG file \"a.tga\": the image has no 3- or 4-byte pixels."},
        {core::Error::JpegNotSaved, "Couldn't save JPG file \"a.tga\""},
        {core::Error::TextureNotTexture, "Not a Trainz texture \"a.tga\"."},
        {core::Error::TextureFormat, "Texture format not supported in \"a.tga\"."},
        {core::Error::TextureTooLarge, "Texture too large in \"a.tga\"."},
        {core::Error::TextureData, "Couldn't read texture data in \"a.tga\"."},
        {core::Error::TextureRefused, "D in \"a.tga\"."},
        {core::Error::TextureUndecodable, "Couldn't decode texture data (D) in \"a.tga\"."},
        {core::Error::HdrNotFloat, "Only a floating-point texture can be saved as HDR \"a.tga\"."},
        {core::Error::HdrStale,
         "The picture was changed after its floating-point values were read: not saved as HDR "
         "\"a.tga\"."},
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
