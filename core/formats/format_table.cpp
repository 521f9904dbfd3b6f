#include "core/formats/format_table.h"

#include <array>
#include <cstring>

#include "core/formats/load_image.h"
#include "core/formats/save_image.h"
#include "core/io/paths.h"

namespace core {

namespace {

// Name, extension, first bytes, reader, writer, error for a target that
// cannot be opened, for a failed write; description; capabilities.
constexpr Error kCreate = Error::CannotCreate;
constexpr Error kWrite = Error::CannotWrite;
constexpr std::array kFormats = {
    FormatRow{"E2TF texture", ".texture", "FT2E", LoadE2TF, nullptr, kCreate, kWrite,
              "Trainz texture", kOpened | kTrawled},
    FormatRow{"Texture", ".texture", "", LoadTexture, nullptr, kCreate, kWrite, "Trainz texture",
              kOpened | kTrawled},
    FormatRow{"TGA", ".tga", "", LoadTGA, WriteTGA, kCreate, Error::TgaDataNotWritten,
              "Targa image", kOpened | kRepairedInPlace | kSplitsCubeMaps | kWritesDescription},
    FormatRow{"BMP", ".bmp", "", LoadBMP, WriteBMP, Error::BmpNotSaved, Error::BmpNotSaved,
              "Windows bitmap", kOpened | kTrawled | kRepairedInPlace | kSizeChecked},
    FormatRow{"JPEG", ".jpg", "", LoadJPG, WriteJPG, Error::JpegNotSaved, Error::JpegNotSaved,
              "JPEG image", kOpened | kTrawled | kRepairedInPlace | kSizeChecked | kOpaque},
    FormatRow{"JPEG", ".jpeg", "", LoadJPG, WriteJPG, Error::JpegNotSaved, Error::JpegNotSaved,
              "JPEG image", kOpened | kTrawled | kRepairedInPlace | kSizeChecked | kOpaque},
    // Never rewritten by a trawl: an editor's PNG keeps every byte it had.
    FormatRow{"PNG", ".png", "", LoadPNG, WritePNG, kCreate, kWrite, "PNG image",
              kOpened | kTrawled | kSizeChecked},
    FormatRow{"DDS", ".dds", "", nullptr, WriteDDS, kCreate, kWrite, "DDS for engines and tools",
              kKeepsDxtBlocks},
    FormatRow{"HDR", ".hdr", "", nullptr, WriteHDR, kCreate, kWrite,
              "Radiance HDR, floating-point textures", kNeedsFloats},
};

// Readers go by the name's ending, writers and the queries by its extension.
bool HasExtension(std::string_view path, const FormatRow& row) {
    return ToLowerAscii(ExtensionOf(path)) == row.extension;
}

bool StartsWith(const std::string& path, std::string_view magic) {
    ByteBuffer start;
    return ReadFilePrefix(path, start, magic.size()) == ReadResult::Ok &&
           start.size() == magic.size() &&
           std::memcmp(start.data(), magic.data(), magic.size()) == 0;
}

void AddOnce(std::vector<std::string_view>& list, std::string_view extension) {
    for (std::string_view e : list)
        if (e == extension) return;
    list.push_back(extension);
}

}  // namespace

bool ImageSink::Open() {
    if (!opened_ && !openFailed_) {
        opened_ = file_.Open(target_);
        openFailed_ = !opened_;
    }
    return opened_;
}

bool ImageSink::Write(const void* data, size_t size) {
    return Open() && file_.Write(data, size);
}

bool ImageSink::Commit() {
    return Open() && file_.Commit();
}

std::span<const FormatRow> Formats() {
    return kFormats;
}

const FormatRow* ReaderFor(const std::string& path) {
    for (const FormatRow& row : kFormats) {
        if (row.read && EndsWithNoCase(path, row.extension) &&
            (row.magic.empty() || StartsWith(path, row.magic)))
            return &row;
    }
    return nullptr;
}

const FormatRow* WriterFor(std::string_view path) {
    for (const FormatRow& row : kFormats)
        if (row.write && HasExtension(path, row)) return &row;
    return nullptr;
}

const FormatRow* FormatNamed(std::string_view name) {
    for (const FormatRow& row : kFormats)
        if (row.name == name) return &row;
    return nullptr;
}

bool ExtensionHas(std::string_view path, FormatCapability capability) {
    for (const FormatRow& row : kFormats)
        if (row.Has(capability) && HasExtension(path, row)) return true;
    return false;
}

bool CanOpen(std::string_view path) {
    return ExtensionHas(path, kOpened);
}

const FormatRow* OpenedFormatOf(std::string_view path) {
    for (const FormatRow& row : kFormats)
        if (row.Has(kOpened) && HasExtension(path, row)) return &row;
    return nullptr;
}

std::vector<std::string_view> ExtensionsWith(FormatCapability capability) {
    std::vector<std::string_view> list;
    for (const FormatRow& row : kFormats)
        if (row.Has(capability)) AddOnce(list, row.extension);
    return list;
}

std::string_view ConversionExtension() {
    for (const FormatRow& row : kFormats)
        if (row.Has(kWritesDescription)) return row.extension;
    return {};
}

std::vector<std::string_view> WrittenExtensions() {
    std::vector<std::string_view> list;
    for (const FormatRow& row : kFormats)
        if (row.write) AddOnce(list, row.extension);
    return list;
}

}  // namespace core
