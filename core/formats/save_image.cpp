#include "core/formats/save_image.h"

#include <algorithm>
#include <cstring>

#include "core/image/channel_order.h"
#include "core/io/paths.h"
#include "core/ops/render.h"

namespace core {

namespace {

// A rectangle of the store's picture: `width` pixels of each row, starting
// `left` pixels in (the whole picture, or one face of a cube map).
struct PictureArea {
    int32_t left = 0;
    int32_t width = 0;
};

// The 18-byte header of an uncompressed 24- or 32-bit TGA, `width` pixels of
// each row (the picture, or one face of a cube map). False when a side is 0 or
// the bytes per pixel are not 3 or 4.
bool BuildTGAHeader(const ImageStore& store, uint8_t header[18], int32_t width) {
    const int bpp = store.BytesPerPixel();
    if (width <= 0 || store.Image.Height == 0 || (bpp != 3 && bpp != 4)) return false;
    std::memset(header, 0, 18);
    header[2] = 2;
    header[12] = static_cast<uint8_t>(width & 0xFF);
    header[13] = static_cast<uint8_t>((width >> 8) & 0xFF);
    header[14] = static_cast<uint8_t>(store.Image.Height & 0xFF);
    header[15] = static_cast<uint8_t>((store.Image.Height >> 8) & 0xFF);
    header[16] = bpp == 3 ? 24 : 32;
    header[17] = bpp == 3 ? 0 : 8;
    return true;
}

bool WriteTGAFile(ImageStore& store, const std::string& path, PictureArea area) {
    uint8_t header[18];
    if (store.Image.Width == 0 || store.Image.Height == 0 ||
        !BuildTGAHeader(store, header, area.width)) {
        SetLoadErrorText(store, "File Save Error in TGAHeader");
        return false;
    }
    AtomicFileWriter file;
    if (!file.Open(path)) {
        SetLoadErrorText(store,
                         WriteFailureText(file.Refusal(), "Couldn't create file \"", path, "\"."));
        return false;
    }
    if (!file.Write(header, sizeof header)) {
        SetLoadErrorText(store, "File Save Error in TGAHeader");
        return false;
    }
    // Blue, green, red (and alpha), a run of rows at a time, so that a large
    // image needs no second full-size buffer.
    const size_t bpp = static_cast<size_t>(store.BytesPerPixel());
    const size_t pictureRow = static_cast<size_t>(store.Image.Width) * bpp;
    const size_t row = static_cast<size_t>(area.width) * bpp;
    const size_t rows = static_cast<size_t>(store.Image.Height);
    const size_t rowsPerChunk = std::max<size_t>(1, (size_t{1} << 20) / row);
    ByteBuffer work(std::min(rowsPerChunk, rows) * row);
    for (size_t done = 0; done < rows; done += rowsPerChunk) {
        const size_t n = std::min(rowsPerChunk, rows - done);
        const uint8_t* from =
            store.Image.Data + done * pictureRow + static_cast<size_t>(area.left) * bpp;
        if (row == pictureRow) {
            CopySwappingRedBlue(from, work.data(), n * area.width, static_cast<int>(bpp));
        } else {
            for (size_t r = 0; r < n; ++r)
                CopySwappingRedBlue(from + r * pictureRow, work.data() + r * row, area.width,
                                    static_cast<int>(bpp));
        }
        if (!file.Write(work.data(), n * row)) {
            SetLoadErrorText(store, "File Save Error in TGA Data");
            return false;
        }
    }
    if (!file.Commit()) {
        // The read-only mark may have been set while the file was written.
        SetLoadErrorText(store,
                         file.Refusal().empty() ? "File Save Error in TGA Data" : file.Refusal());
        return false;
    }
    return true;
}

std::string DropLast(std::string_view text, size_t n) {
    return std::string(text.substr(0, text.size() >= n ? text.size() - n : 0));
}

// A cube map's faces, each its own TGA named after the target: NAME_right.tga
// ... NAME_back.tga for the target NAME.tga.
bool SaveCubeMapTGAs(ImageStore& store, const std::string& path) {
    const int32_t faceWidth = store.Image.Width / kCubeMapFaces;
    if (faceWidth < 1 || faceWidth * kCubeMapFaces != store.Image.Width) {
        SetLoadErrorText(store, "File Save Error in TGAHeader");
        return false;
    }
    const std::vector<std::string> facePaths = SavedImagePaths(store, path);
    for (int f = 0; f < kCubeMapFaces; ++f) {
        if (!WriteTGAFile(store, facePaths[f], {f * faceWidth, faceWidth})) return false;
    }
    return true;
}

// The key of a cube-map face line ("Right=" ... "Back="), or -1.
int FaceKeyOf(std::string_view line) {
    for (int f = 0; f < kCubeMapFaces; ++f) {
        const std::string_view name = kCubeMapFaceNames[f];
        if (line.size() > name.size() && line[name.size()] == '=' &&
            EqualsNoCase(line.substr(0, name.size()), name))
            return f;
    }
    return -1;
}

// Writes the texture description lines beside the texture, naming `tgaPath`.
bool SaveTextureDescription(ImageStore& store, const std::string& tgaPath) {
    const std::string descriptionPath = store.TextureFileName + ".txt";
    const bool sameName =
        ToLowerAscii(DropLast(store.TextureFileName, 8)) == ToLowerAscii(DropLast(tgaPath, 4));
    const std::string newStem = ToLowerAscii(FileNamePart(DropLast(tgaPath, 4)));
    const std::string newName = newStem + ".tga";

    std::string text;
    for (const std::string& line : store.TextureDescription) {
        if (const int face = FaceKeyOf(line); face >= 0) {
            text += sameName ? line
                             : line.substr(0, line.find('=') + 1) + newStem + "_" +
                                   kCubeMapFaceNames[face] + ".tga";
        } else if (line.find("Primary=") != std::string::npos) {
            text += sameName ? line : "Primary=" + newName;
        } else if (line.find("Alpha=") != std::string::npos) {
            text += sameName ? line : "Alpha=" + newName;
        } else {
            text += line;
        }
        text += "\r\n";
    }
    // A trawl run again over the same tree finds the same descriptions; leaving
    // an identical file alone spares replacing it with a copy of itself.
    ByteBuffer existing;
    if (ReadFilePrefix(descriptionPath, existing, text.size() + 1) == ReadResult::Ok &&
        existing.size() == text.size() &&
        std::memcmp(existing.data(), text.data(), text.size()) == 0)
        return true;
    std::string refusal;
    if (!WriteFileAtomically(descriptionPath, text.data(), text.size(), &refusal)) {
        SetLoadErrorText(
            store, WriteFailureText(refusal, "Couldn't create file \"", descriptionPath, "\"."));
        return false;
    }
    return true;
}

bool SaveTGA(ImageStore& store, const std::string& path) {
    const bool written = store.CubeMap ? SaveCubeMapTGAs(store, path)
                                       : WriteTGAFile(store, path, {0, store.Image.Width});
    if (!written) return false;
    if (store.HasTextureDescription && !store.TextureFileName.empty())
        return SaveTextureDescription(store, path);
    return true;
}

}  // namespace

std::vector<std::string> SavedImagePaths(const ImageStore& store, const std::string& path) {
    if (!store.CubeMap || ToLowerAscii(ExtensionOf(path)) != ".tga") return {path};
    std::vector<std::string> faces;
    for (const char* face : kCubeMapFaceNames)
        faces.push_back(DropLast(path, 4) + "_" + face + ".tga");
    return faces;
}

void RenderForSave(const ImageStore& store, Bitmap& bitmap) {
    // Always the colour picture: a copy saved right after viewing the alpha
    // channel must still hold the colours.
    RenderColourImage(store, bitmap, static_cast<uint16_t>(store.Image.Width),
                      static_cast<uint16_t>(store.Image.Height));
}

bool SaveImage(ImageStore& store, const std::string& path) {
    if (!store.ImageLoaded) {
        SetLoadError(store, "Nothing to save to \"", path, "\": no image is loaded.");
        return false;
    }
    const std::string ext = ToLowerAscii(ExtensionOf(path));
    if (ext == ".bmp") return SaveBMP(store, path);
    if (ext == ".jpg") return SaveJPG(store, path);
    if (ext == ".tga") return SaveTGA(store, path);
    if (ext == ".png") return SavePNG(store, path);
    if (ext == ".dds") return SaveDDS(store, path);
    if (ext == ".hdr") return SaveHDR(store, path);
    SetLoadError(store, "File type not supported \"", path, "\".");
    return false;
}

}  // namespace core
