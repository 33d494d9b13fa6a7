// libjpeg decoding. libjpeg reports fatal errors through error_exit, which by
// default prints and calls exit(); here it jumps back to the decode with
// longjmp instead. Everything the jump could skip lives in one heap context
// created before setjmp, so no C++ object is left half-built by the jump.
#include "platform/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

namespace platform {
namespace {

struct ErrorManager {
    jpeg_error_mgr base; // must come first: libjpeg sees only this part
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnFatalError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings about damaged data are not fatal; the decode goes on silently.
void OnMessage(j_common_ptr) {}

struct DecodeContext {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    DecodedJpeg result;
};

// Does the libjpeg work; returns false with result.error set on failure.
// Between setjmp and the end, only plain data and the context are touched.
bool Decode(DecodeContext* context, const unsigned char* data, std::size_t size) {
    jpeg_decompress_struct* info = &context->info;
    DecodedJpeg* result = &context->result;
    info->err = jpeg_std_error(&context->errors.base);
    context->errors.base.error_exit = OnFatalError;
    context->errors.base.output_message = OnMessage;
    if (setjmp(context->errors.jump)) {
        result->error = context->errors.message;
        jpeg_destroy_decompress(info);
        return false;
    }
    jpeg_create_decompress(info);
    jpeg_mem_src(info, data, static_cast<unsigned long>(size));
    jpeg_read_header(info, TRUE);
    const long long pixels = static_cast<long long>(info->image_width) * info->image_height;
    if (pixels > kMaxJpegPixels) {
        result->error = "picture too large";
        jpeg_destroy_decompress(info);
        return false;
    }
    info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    const std::size_t rowBytes = static_cast<std::size_t>(info->output_width) * 3;
    result->width = static_cast<int>(info->output_width);
    result->height = static_cast<int>(info->output_height);
    result->rgb.resize(rowBytes * info->output_height);
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = result->rgb.data() + rowBytes * info->output_scanline;
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    return true;
}

} // namespace

DecodedJpeg DecodeJpegRgb(const unsigned char* data, std::size_t size) {
    if (data == nullptr || size == 0)
        return {0, 0, {}, "empty file"};
    auto context = std::make_unique<DecodeContext>();
    if (!Decode(context.get(), data, size)) {
        if (context->result.error.empty())
            context->result.error = "broken JPEG";
        context->result.rgb.clear();
        context->result.width = context->result.height = 0;
    }
    return std::move(context->result);
}

} // namespace platform
