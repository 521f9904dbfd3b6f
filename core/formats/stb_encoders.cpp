#include "core/formats/stb_encoders.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

namespace core {

namespace {

struct EncoderOutput {
    ImageSink& sink;
    bool written = true;
};

void WritePiece(void* context, void* data, int size) {
    auto* out = static_cast<EncoderOutput*>(context);
    if (size > 0) out->written = out->sink.Write(data, static_cast<size_t>(size)) && out->written;
}

}  // namespace

bool EncodeHdr(ImageSink& sink, int width, int height, const float* rgb) {
    EncoderOutput out{sink};
    return stbi_write_hdr_to_func(WritePiece, &out, width, height, 3, rgb) != 0 && out.written;
}

}  // namespace core
