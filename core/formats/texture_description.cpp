#include "core/formats/texture_description.h"

#include <cstring>
#include <filesystem>

#include "core/formats/format_table.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace core {

namespace {

std::string DropLast(std::string_view text, size_t n) {
    return std::string(text.substr(0, text.size() >= n ? text.size() - n : 0));
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

// The folder of `path` as the file system takes it ("." for none).
std::string FolderOrHere(const std::string& path) {
    const std::string_view folder = FolderPart(path);
    return folder.empty() ? std::string(".") : std::string(folder);
}

}  // namespace

std::string TileLine(bool tilesS, bool tilesT) {
    return tilesS && tilesT ? "Tile=st" : tilesS ? "Tile=s" : tilesT ? "Tile=t" : "Tile=none";
}

std::vector<std::string> TextureDescriptionLines(const TextureHints& hints,
                                                 const std::string& texturePath) {
    const std::string stem = DropLast(FileNamePart(texturePath), 8);  // without its extension
    const std::string_view tga = ConversionExtension();
    std::vector<std::string> lines;
    if (hints.cubeMap) {
        lines.push_back("Cubemap=1");
        for (const char* face : kCubeMapFaceNames) {
            std::string key = face;
            key[0] = static_cast<char>(key[0] - 'a' + 'A');
            lines.push_back(key + "=" + stem + "_" + face + std::string(tga));
        }
    } else {
        lines.push_back("Primary=" + stem + std::string(tga));
        if (hints.alpha) lines.push_back("Alpha=" + stem + std::string(tga));
    }
    lines.push_back(TileLine(hints.tilesS, hints.tilesT));
    if (hints.dynamic) lines.push_back("Hint=dynamic");
    if (!hints.cubeMap && hints.alphaHint == TextureHints::Alpha::Semitransparent)
        lines.push_back("AlphaHint=semitransparent");
    if (!hints.cubeMap && hints.alphaHint == TextureHints::Alpha::Masked)
        lines.push_back("AlphaHint=masked");
    if (hints.normalMap) lines.push_back("NormalMapHint=normalmap");
    if (hints.nonPowerOfTwo) lines.push_back("nonpoweroftwo=1");
    return lines;
}

std::string DescriptionPathFor(const std::string& texturePath, const std::string& tgaPath) {
    const std::string textureFolder = FolderOrHere(texturePath);
    const std::string tgaFolder = FolderOrHere(tgaPath);
    std::error_code error;
    const bool beside = textureFolder == tgaFolder ||
                        std::filesystem::equivalent(std::filesystem::path(textureFolder),
                                                    std::filesystem::path(tgaFolder), error);
    return beside ? texturePath + ".txt" : DropLast(tgaPath, 4) + ".texture.txt";
}

Failure SaveTextureDescription(const Image& image, const std::string& tgaPath) {
    return SaveTextureDescription(image.TextureFileName, image.Description, tgaPath);
}

Failure SaveTextureDescription(const std::string& texturePath,
                               const std::vector<std::string>& lines, const std::string& tgaPath) {
    const std::string descriptionPath = DescriptionPathFor(texturePath, tgaPath);
    const bool sameName =
        ToLowerAscii(DropLast(texturePath, 8)) == ToLowerAscii(DropLast(tgaPath, 4));
    // The TGA is named as it is on the disk: in another case the name would
    // not be found where names are case-sensitive.
    const std::string newStem = std::string(FileNamePart(DropLast(tgaPath, 4)));
    const std::string tga(ConversionExtension());
    const std::string newName(FileNamePart(tgaPath));

    std::string text;
    for (const std::string& line : lines) {
        if (const int face = FaceKeyOf(line); face >= 0) {
            text += sameName ? line
                             : line.substr(0, line.find('=') + 1) + newStem + "_" +
                                   kCubeMapFaceNames[face] + tga;
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
        return {};
    std::string refusal;
    if (!WriteFileAtomically(descriptionPath, text.data(), text.size(), &refusal))
        return WriteFailure(refusal, Error::CannotCreate, descriptionPath);
    return {};
}

}  // namespace core
