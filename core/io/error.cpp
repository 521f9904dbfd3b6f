#include "core/io/error.h"

#include "core/io/paths.h"

namespace core {

namespace {

// {file} is the file's name without its folder; {detail} the caller's detail.
std::string_view Template(Error error) {
    switch (error) {
        case Error::None:
            return "";
        case Error::Refused:
            return "{detail}";
        case Error::FileNotFound:
            return "File not found : \"{file}\"";
        case Error::TypeNotSupported:
            return "File type not supported \"{file}\".";
        case Error::OutOfMemory:
            return "Not enough memory to load \"{file}\"";
        case Error::ReadFailed:
            return "Error reading \"{file}\"";
        case Error::NothingLoaded:
            return "Nothing to save to \"{file}\": no image is loaded.";
        case Error::NoPicture:
            return "Nothing to save to \"{file}\": the picture has no pixels.";
        case Error::CannotCreate:
            return "Couldn't create file \"{file}\".";
        case Error::CannotWrite:
            return "Couldn't write file \"{file}\".";
        case Error::SizesDiffer:
            return "Images not the same size";
        case Error::NameHasLineBreak:
            return "\"{detail}\" is not read: its name holds a line break";
        case Error::TargetNameHasLineBreak:
            return "\"{detail}\" is not written: its name holds a line break";
        case Error::TgaCompressed:
            return "Compressed TGAs not supported \"{file}\".";
        case Error::TgaType:
            return "Couldn't load \"{file}\". Only 256 colour, 24 bit and 32bit TGA supported.";
        case Error::TgaColourMapped:
            return "Couldn't load \"{file}\". Colormapped TGA files not supported.";
        case Error::TgaDepth:
            return "Couldn't load \"{file}\". Only 24 and 32 bit TGA files supported.";
        case Error::TgaNoPixels:
            return "Couldn't load \"{file}\". The image has no pixels (width or height 0).";
        case Error::TgaTooLarge:
            return "Couldn't load \"{file}\". Images larger than 8192 x 8192 are not supported.";
        case Error::TgaShortImageData:
            return "Couldn't read image data in \"{file}\".";
        case Error::TgaShortPixels:
            return "Couldn't read file \"{file}\".";
        case Error::TgaHeaderNotWritten:
            return "File Save Error in TGAHeader";
        case Error::TgaDataNotWritten:
            return "File Save Error in TGA Data";
        case Error::BmpUndecodable:
            return "Couldn't load Bitmap - \"{file}\"";
        case Error::BmpCannotOpen:
            return "Error opening \"{file}\"";
        case Error::BmpShortHeader:
            return "Error reading bitmap header in \"{file}\"";
        case Error::BmpUnsupported:
            return "Bitmap format not supported in \"{file}\"";
        case Error::BmpShortPalette:
            return "Error reading palette in \"{file}\"";
        case Error::BmpShortPixels:
            return "Error reading bitmap data in \"{file}\"";
        case Error::BmpNoPixelsToSave:
            return "Couldn't save Bitmap - \"{file}\": the image has no 3- or 4-byte pixels.";
        case Error::BmpNotSaved:
            return "Couldn't save Bitmap - \"{file}\"";
        case Error::JpegUndecodable:
            return "Couldn't load JPG file in \"{file}\"";
        case Error::JpegTooManyScans:
            return "Couldn't load JPG file in \"{file}\": it has more than {detail} scans";
        case Error::JpegTooCostly:
            return "Couldn't load JPG file in \"{file}\": the picture it claims would cost more "
                   "time or memory than its {detail} bytes justify";
        case Error::JpegNoPixelsToSave:
            return "Couldn't save JPG file \"{file}\": the image has no 3- or 4-byte pixels.";
        case Error::JpegNotSaved:
            return "Couldn't save JPG file \"{file}\"";
        case Error::PngUndecodable:
            return "Couldn't load PNG file \"{file}\": {detail}";
        case Error::TextureNotTexture:
            return "Not a Trainz texture \"{file}\".";
        case Error::TextureFormat:
            return "Texture format not supported in \"{file}\".";
        case Error::TextureTooLarge:
            return "Texture too large in \"{file}\".";
        case Error::TextureData:
            return "Couldn't read texture data in \"{file}\".";
        case Error::TextureRefused:
            return "{detail} in \"{file}\".";
        case Error::TextureUndecodable:
            return "Couldn't decode texture data ({detail}) in \"{file}\".";
        case Error::HdrNotFloat:
            return "Only a floating-point texture can be saved as HDR \"{file}\".";
        case Error::HdrStale:
            return "The picture was changed after its floating-point values were read: not "
                   "saved as HDR \"{file}\".";
    }
    return "";
}

}  // namespace

std::string ErrorMessage(Error error, std::string_view path, std::string_view detail) {
    const std::string_view text = Template(error);
    std::string message;
    for (size_t i = 0; i < text.size();) {
        if (text.substr(i).starts_with("{file}")) {
            message += FileNamePart(path);
            i += 6;
        } else if (text.substr(i).starts_with("{detail}")) {
            message += detail;
            i += 8;
        } else {
            message += text[i++];
        }
    }
    return CutTo(message, 255);
}

}  // namespace core
