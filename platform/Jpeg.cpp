// libjpeg decoding. libjpeg reports fatal errors through error_exit, which by
// default prints and calls exit(); here it jumps back to the decode with
// longjmp instead. Everything the jump could skip lives in one heap context
// created before setjmp, so no C++ object is left half-built by the jump.
#include "platform/Jpeg.h"

#include "platform/Text.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

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
    QImage image;
    std::string error;
};

// Does the libjpeg work; returns false with context.error set on failure.
// Between setjmp and the end, only plain data and the context are touched.
bool Decode(DecodeContext* context, const unsigned char* data, std::size_t size) {
    jpeg_decompress_struct* info = &context->info;
    info->err = jpeg_std_error(&context->errors.base);
    context->errors.base.error_exit = OnFatalError;
    context->errors.base.output_message = OnMessage;
    if (setjmp(context->errors.jump)) {
        context->error = context->errors.message;
        jpeg_destroy_decompress(info);
        return false;
    }
    jpeg_create_decompress(info);
    jpeg_mem_src(info, data, static_cast<unsigned long>(size));
    jpeg_read_header(info, TRUE);
    const long long pixels = static_cast<long long>(info->image_width) * info->image_height;
    if (pixels > kMaxJpegPixels) {
        context->error = "picture too large";
        jpeg_destroy_decompress(info);
        return false;
    }
    info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    context->image = QImage(static_cast<int>(info->output_width),
                            static_cast<int>(info->output_height), QImage::Format_RGB888);
    if (context->image.isNull()) {
        context->error = "out of memory for the picture";
        jpeg_destroy_decompress(info);
        return false;
    }
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = context->image.scanLine(static_cast<int>(info->output_scanline));
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    return true;
}

} // namespace

JpegResult DecodeJpeg(const unsigned char* data, std::size_t size) {
    if (data == nullptr || size == 0)
        return {QImage(), "empty file"};
    auto context = std::make_unique<DecodeContext>();
    if (!Decode(context.get(), data, size))
        return {QImage(), context->error.empty() ? "broken JPEG" : context->error};
    return {std::move(context->image), {}};
}

JpegResult LoadJpegFile(const std::string& path) {
    QFile file(ToQString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {QImage(), "cannot open " + path + ": " + FromQString(file.errorString())};
    const QByteArray bytes = file.readAll();
    return DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.constData()),
                      static_cast<std::size_t>(bytes.size()));
}

} // namespace platform
