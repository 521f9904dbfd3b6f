// What the image fuzz targets and the fuzz regression tests do with one input
// file: load it through the extension dispatch and, when it loads, draw it in
// every way the program draws a picture, so that each pixel is read. Shared so
// that an input replayed by the tests takes exactly the path it took in the
// fuzzer.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/formats/load_image.h"
#include "core/image/bitmap.h"
#include "core/image/image_store.h"
#include "core/io/paths.h"
#include "core/ops/render.h"

namespace fuzzing {

// A per-process scratch file name with the given extension, in memory when the
// system has a RAM-backed folder: the fuzzers rewrite it on every run.
inline std::string ScratchFilePath(const std::string& extension) {
    std::error_code error;
    std::filesystem::path folder = "/dev/shm";
    if (!std::filesystem::is_directory(folder, error))
        folder = std::filesystem::temp_directory_path();
    return (folder / ("skeinpress-fuzz-" + std::to_string(getpid()) + extension)).string();
}

inline bool WriteScratchFile(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// Loads and draws the file. Returns an empty text when the reader kept its
// promises, otherwise what went wrong (a crash or sanitizer report ends the
// process before that).
inline std::string ExerciseImageFile(const std::string& path) {
    core::LoadResult read = core::LoadImage(path);
    if (!read) {
        if (read.image.Loaded()) return "a failed load left pixels";
        const std::string message = read.failure.Message();
        if (message.empty()) return "a failed load left no message";
        const std::string name(core::FileNamePart(path));
        if (message.find(name) == std::string::npos)
            return "the load error \"" + message + "\" does not name the file";
        return {};
    }

    core::ImageStore store;
    store.Current = std::move(read.image);
    const core::Image& image = store.Current;
    if (!image.Loaded()) return "a successful load left no pixels";
    if (image.Width < 1 || image.Height < 1 || image.Width > core::kMaxSide ||
        image.Height > core::kMaxSide)
        return "loaded a picture of " + std::to_string(image.Width) + " x " +
               std::to_string(image.Height);
    const int bytesPerPixel = image.BytesPerPixel();
    if (bytesPerPixel != 3 && bytesPerPixel != 4)
        return "loaded " + std::to_string(bytesPerPixel) + " bytes per pixel";
    const uint64_t expectedSize =
        static_cast<uint64_t>(image.Width) * static_cast<uint64_t>(image.Height) * bytesPerPixel;
    if (image.DataSize() != expectedSize)
        return "a buffer of " + std::to_string(image.DataSize()) +
               " bytes does not match the picture";
    if (image.AlphaKind < 0 || image.AlphaKind > 2)
        return "AlphaKind " + std::to_string(image.AlphaKind);
    if (bytesPerPixel == 3 && image.AlphaKind != 0)
        return "a 3-byte picture claims an alpha channel";

    core::Bitmap bitmap;
    const auto width = static_cast<uint16_t>(image.Width);
    const auto height = static_cast<uint16_t>(image.Height);
    core::RenderImage(store, bitmap, width, height);
    if (bitmap.Width() != image.Width || bitmap.Height() != image.Height)
        return "the colour picture was drawn at the wrong size";
    store.AlphaView = true;
    core::RenderImage(store, bitmap, width, height);
    store.AlphaView = false;
    core::RenderTransparent(store.Current, bitmap, 0x808080);
    return {};
}

}  // namespace fuzzing
