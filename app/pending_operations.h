// temporary: replaced by core/operations.h and core/normal_map.h when the image
// operations land.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "core/image_store.h"

namespace core {
bool InvertAlpha(ImageStore& store);
bool CreateAlphaMask(ImageStore& store, const std::string& spec);
bool MergeAlphaImage(ImageStore& store, const std::string& path);
bool SaveColourImage(ImageStore& store, const std::string& path);
bool SaveAlphaImage(ImageStore& store, const std::string& path);
void GreyScale(ImageStore& store);
void NonUniformColour(ImageStore& store, int count, int change, bool random, std::mt19937& rng);
bool MakeNormalMap(int32_t width, int32_t height, int32_t dataSize, uint8_t* data, uint8_t alphaFill);
}  // namespace core
