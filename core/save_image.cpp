#include "core/save_image.h"

#include <cstring>

#include "core/channel_order.h"
#include "core/paths.h"
#include "core/render.h"

namespace core {

namespace {

bool SaveTGA(ImageStore& store, const std::string& path) {
    if (store.Image.Width == 0 || store.Image.Height == 0) {
        SetLoadErrorText(store, "File Save Error in TGAHeader");
        return false;
    }
    AtomicFileWriter file;
    if (!file.Open(path)) {
        SetLoadErrorText(store,
                         WriteFailureText(file.Refusal(), "Couldn't create file \"", path, "\"."));
        return false;
    }
    if (!WriteTGAHeader(store, file)) {
        SetLoadErrorText(store, "File Save Error in TGAHeader");
        return false;
    }
    // Blue, green, red (and alpha), in chunks so that a large image needs no
    // second full-size buffer.
    const int bpp = store.BytesPerPixel();
    const size_t total = static_cast<size_t>(store.Image.DataSize);
    constexpr size_t kChunk = 1 << 20;
    const size_t chunk = kChunk - kChunk % bpp;
    ByteBuffer work(std::min(chunk, total));
    for (size_t done = 0; done < total; done += chunk) {
        const size_t n = std::min(chunk, total - done);
        CopySwappingRedBlue(store.Image.Data + done, work.data(), n / bpp, bpp);
        if (!file.Write(work.data(), n)) {
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
    if (store.HasTextureDescription && !store.TextureFileName.empty())
        return SaveTextureDescription(store, path);
    return true;
}

std::string DropLast(std::string_view text, size_t n) {
    return std::string(text.substr(0, text.size() >= n ? text.size() - n : 0));
}

}  // namespace

bool BuildTGAHeader(const ImageStore& store, uint8_t header[18]) {
    const int bpp = store.BytesPerPixel();
    if (store.Image.Width == 0 || store.Image.Height == 0 || (bpp != 3 && bpp != 4)) return false;
    std::memset(header, 0, 18);
    header[2] = 2;
    header[12] = static_cast<uint8_t>(store.Image.Width & 0xFF);
    header[13] = static_cast<uint8_t>((store.Image.Width >> 8) & 0xFF);
    header[14] = static_cast<uint8_t>(store.Image.Height & 0xFF);
    header[15] = static_cast<uint8_t>((store.Image.Height >> 8) & 0xFF);
    header[16] = bpp == 3 ? 24 : 32;
    header[17] = bpp == 3 ? 0 : 8;
    return true;
}

bool WriteTGAHeader(const ImageStore& store, AtomicFileWriter& file) {
    uint8_t header[18];
    return BuildTGAHeader(store, header) && file.Write(header, sizeof header);
}

bool SaveTextureDescription(ImageStore& store, const std::string& tgaPath) {
    const std::string descriptionPath = store.TextureFileName + ".txt";
    const bool sameName =
        ToLowerAscii(DropLast(store.TextureFileName, 8)) == ToLowerAscii(DropLast(tgaPath, 4));
    const std::string newName = ToLowerAscii(FileNamePart(DropLast(tgaPath, 4) + ".tga"));

    std::string text;
    for (const std::string& line : store.TextureDescription) {
        if (line.find("Primary=") != std::string::npos) {
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

void RenderForSave(ImageStore& store, Bitmap& bitmap) {
    const int bpp = store.BytesPerPixel();
    if (bpp != 3 && bpp != 4) return;
    // Always the colour picture: a copy saved right after viewing the alpha
    // channel must still hold the colours.
    const bool alphaView = store.AlphaView;
    const bool uniform = store.UniformColour;
    store.AlphaView = false;
    RenderImage(store, bitmap, static_cast<uint16_t>(store.Image.Width),
                static_cast<uint16_t>(store.Image.Height));
    store.AlphaView = alphaView;
    store.UniformColour = uniform;
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
    SetLoadError(store, "File type not supported \"", path, "\".");
    return false;
}

}  // namespace core
