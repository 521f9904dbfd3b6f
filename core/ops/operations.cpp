#include "core/ops/operations.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdlib>
#include <unordered_set>
#include <vector>

#include "core/formats/load_image.h"
#include "core/formats/save_image.h"
#include "core/image/alpha_channel.h"

namespace core {

bool BadDimensions(int32_t width, int32_t height) {
    const auto w = static_cast<uint32_t>(width);
    const auto h = static_cast<uint32_t>(height);
    if (w < 2 || h < 2 || !std::has_single_bit(w) || !std::has_single_bit(h)) return true;
    return w / h > 8 || h / w > 8;
}

namespace {

size_t PixelCount(const Image& image) {
    return static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height);
}

bool ParseDecimal(std::string_view text, int& value) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, 10);
    return error == std::errc() && stop == end;
}

// Cuts `text` at its first ","; false when there is none.
bool CutAtComma(std::string_view& text, std::string_view& piece) {
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos) return false;
    piece = text.substr(0, comma);
    text.remove_prefix(comma + 1);
    return true;
}

void ChangeRed(uint8_t& red, int change) {
    red = static_cast<uint8_t>(red < 128 ? red + change : red - change);
}

template <int Bpp>
void GreyPixels(uint8_t* p, size_t count) {
    for (size_t i = 0; i < count; ++i, p += Bpp) {
        const auto grey = static_cast<uint8_t>((p[0] + p[1] + p[2]) / 3);
        p[0] = grey;
        p[1] = grey;
        p[2] = grey;
    }
}

}  // namespace

bool InvertAlpha(Image& image) {
    if (!image.Usable() || image.BytesPerPixel() != 4) return false;
    uint8_t* p = image.Data();
    const size_t n = PixelCount(image);
    for (size_t i = 0; i < n; ++i) p[i * 4 + 3] = static_cast<uint8_t>(255 - p[i * 4 + 3]);
    return true;
}

bool ParseAlphaMaskSpec(std::string_view text, AlphaMaskSpec& spec) {
    std::string_view red, green, blue;
    if (!CutAtComma(text, red) || !CutAtComma(text, green) || !CutAtComma(text, blue)) return false;
    AlphaMaskSpec parsed;
    if (!ParseDecimal(red, parsed.Red) || !ParseDecimal(green, parsed.Green) ||
        !ParseDecimal(blue, parsed.Blue) || !ParseDecimal(text, parsed.Tolerance)) {
        return false;
    }
    const auto colour = [](int v) { return v >= 0 && v <= 255; };
    if (!colour(parsed.Red) || !colour(parsed.Green) || !colour(parsed.Blue)) return false;
    // A negative tolerance would match nothing; it is a typing error, not a request.
    if (parsed.Tolerance < 0) return false;
    spec = parsed;
    return true;
}

bool CreateAlphaMask(Image& image, const std::string& text) {
    AlphaMaskSpec spec;
    if (!ParseAlphaMaskSpec(text, spec)) return false;
    if (!image.Usable()) return false;
    if (image.BytesPerPixel() == 3 && !AddAlphaChannel(image)) return false;
    if (image.BytesPerPixel() != 4) return false;

    const int t = spec.Tolerance;
    uint8_t* p = image.Data();
    const size_t n = PixelCount(image);
    for (size_t i = 0; i < n; ++i, p += 4) {
        const bool near = std::abs(p[0] - spec.Red) <= t && std::abs(p[1] - spec.Green) <= t &&
                          std::abs(p[2] - spec.Blue) <= t;
        p[3] = near ? 0 : 255;
    }
    return true;
}

Failure MergeAlphaImage(Image& image, const Image& alpha) {
    if (!image.Usable()) return Error::NothingLoaded;
    if (alpha.Width != image.Width || alpha.Height != image.Height) return Error::SizesDiffer;
    if (image.BytesPerPixel() != 4 && !AddAlphaChannel(image)) return Error::NoPicture;
    const int sourceBpp = alpha.BytesPerPixel();
    const uint8_t* source = alpha.Data();
    uint8_t* target = image.Data();
    const size_t n = PixelCount(image);
    for (size_t i = 0; i < n; ++i) target[i * 4 + 3] = source[i * sourceBpp];
    UpdateAlphaKind(image);
    return {};
}

Failure MergeAlphaFile(Image& image, const std::string& path) {
    if (!image.Usable()) return Error::NothingLoaded;
    LoadResult alpha = LoadImage(path);
    // The image's own texture facts go whatever the outcome: what is saved
    // after a merge is a new picture, not the texture as read.
    const std::string textureFileName = image.TextureFileName;
    const int32_t compression = image.Compression;
    static_cast<FileFacts&>(image) = FileFacts();
    image.TextureFileName = textureFileName;
    image.Compression = compression;
    if (!alpha) return alpha.failure;
    return MergeAlphaImage(image, alpha.image);
}

Failure SaveColourImage(const Image& image, const std::string& path) {
    if (!image.Usable() || image.BytesPerPixel() != 4) return SaveImage(image, path);
    const size_t n = PixelCount(image);
    ByteBuffer colour(n * 3);
    const uint8_t* in = image.Data();
    for (size_t i = 0; i < n; ++i) std::copy_n(in + i * 4, 3, colour.data() + i * 3);
    return SaveImage(image.WithPixels(std::move(colour), image.Width, image.Height, 0), path);
}

Failure SaveAlphaImage(const Image& image, const std::string& path) {
    if (!image.Usable() || image.BytesPerPixel() != 4) return Error::NoPicture;
    const size_t n = PixelCount(image);
    ByteBuffer grey(n * 3);
    for (size_t i = 0; i < n; ++i) std::fill_n(grey.data() + i * 3, 3, image.Data()[i * 4 + 3]);
    return SaveImage(image.WithPixels(std::move(grey), image.Width, image.Height, 0), path);
}

void GreyScale(Image& image) {
    if (!image.Usable()) return;
    const int bpp = image.BytesPerPixel();
    if (bpp == 3) GreyPixels<3>(image.Data(), PixelCount(image));
    if (bpp == 4) GreyPixels<4>(image.Data(), PixelCount(image));
}

void NonUniformColour(Image& image, int count, int change, bool random, std::mt19937& rng) {
    if (!image.Usable()) return;
    const int bpp = image.BytesPerPixel();
    if (bpp < 1) return;
    const int32_t dataSize = image.DataSize();
    count = std::min(std::max(count, 1), dataSize / 2);
    if (count < 1) return;
    // Beyond 127 a red byte could leave 0..255.
    change = std::clamp(change, 0, 127);
    uint8_t* data = image.Data();

    if (!random) {
        ChangeRed(data[0], change);
        const int32_t step = dataSize / count;
        int64_t last = 0;
        for (int k = 1; k < count; ++k) {
            const int64_t byte = static_cast<int64_t>(k) * step;
            const int64_t pixel = byte - byte % bpp;
            // On a tiny image two steps can fall in one pixel; changing it twice
            // could undo the change.
            if (pixel == last) continue;
            ChangeRed(data[pixel], change);
            last = pixel;
        }
        return;
    }

    // Pick `count` distinct ones among the pixels (other than pixel 0) that still
    // have the reference red, by their rank in pixel order, then change them in
    // one pass. Picking positions blindly until enough match never ends on an
    // image with too few of them.
    const uint8_t reference = data[0];
    const size_t pixels = PixelCount(image);
    size_t candidates = 0;
    for (size_t i = 1; i < pixels; ++i) candidates += data[i * bpp] == reference;
    if (candidates == 0) return;

    std::vector<size_t> chosen;
    if (candidates <= static_cast<size_t>(count)) {
        chosen.resize(candidates);
        for (size_t r = 0; r < candidates; ++r) chosen[r] = r;
    } else {
        // Floyd's sampling: `count` distinct ranks out of `candidates`, uniformly.
        std::unordered_set<size_t> picked;
        for (size_t j = candidates - count; j < candidates; ++j) {
            const size_t t = std::uniform_int_distribution<size_t>(0, j)(rng);
            picked.insert(picked.count(t) ? j : t);
        }
        chosen.assign(picked.begin(), picked.end());
        std::sort(chosen.begin(), chosen.end());
    }

    size_t rank = 0;
    auto next = chosen.begin();
    for (size_t i = 1; i < pixels && next != chosen.end(); ++i) {
        uint8_t& red = data[i * bpp];
        if (red != reference) continue;
        if (rank == *next) {
            ChangeRed(red, change);
            ++next;
        }
        ++rank;
    }
}

}  // namespace core
