#include "jpegfile.h"

#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

#include <jpeglib.h>

namespace pdfcompose {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    manager->pub.format_message(info, manager->message);
    std::longjmp(manager->jump, 1);
}

// Silent, but still counting warnings (level -1) as the library's own
// handler does: a file cut short decodes with a warning, not an error.
void Quiet(j_common_ptr info, int level) {
    if (level < 0)
        ++info->err->num_warnings;
}

// No C++ objects with destructors live in the frames that longjmp leaves.
bool CheckRaw(const unsigned char* data, unsigned long size, JpegFile::Info* info, char* reason) {
    jpeg_decompress_struct decoder;
    ErrorManager errors;
    decoder.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = ErrorExit;
    errors.pub.emit_message = Quiet;
    JSAMPLE* row = nullptr;
    if (setjmp(errors.jump)) {
        std::snprintf(reason, JMSG_LENGTH_MAX, "%s", errors.message);
        std::free(row);
        jpeg_destroy_decompress(&decoder);
        return false;
    }
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, data, size);
    jpeg_read_header(&decoder, TRUE);
    info->width = static_cast<int>(decoder.image_width);
    info->height = static_cast<int>(decoder.image_height);
    info->components = decoder.num_components;
    info->adobeInverted = decoder.saw_Adobe_marker && decoder.jpeg_color_space == JCS_CMYK;
    jpeg_start_decompress(&decoder);
    row = static_cast<JSAMPLE*>(
        std::malloc(size_t(decoder.output_width) * decoder.output_components + 1));
    while (decoder.output_scanline < decoder.output_height) {
        JSAMPROW rows[1] = {row};
        jpeg_read_scanlines(&decoder, rows, 1);
    }
    const long warnings = errors.pub.num_warnings;
    jpeg_finish_decompress(&decoder);
    std::free(row);
    row = nullptr;
    jpeg_destroy_decompress(&decoder);
    if (warnings > 0) {
        std::snprintf(reason, JMSG_LENGTH_MAX, "the image data is damaged or truncated");
        return false;
    }
    return true;
}

// Encodes rows of height pixels; pixels(row) gives row `row` in the
// encoder's colour space (components bytes per pixel).
template <typename Rows>
bool EncodeRaw(unsigned char** buffer, unsigned long* size, int width, int height, int dpi,
               int quality, J_COLOR_SPACE space, int components, Rows pixels, char* reason) {
    jpeg_compress_struct encoder;
    ErrorManager errors;
    encoder.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = ErrorExit;
    if (setjmp(errors.jump)) {
        std::snprintf(reason, JMSG_LENGTH_MAX, "%s", errors.message);
        jpeg_destroy_compress(&encoder);
        return false;
    }
    jpeg_create_compress(&encoder);
    jpeg_mem_dest(&encoder, buffer, size);
    encoder.image_width = static_cast<JDIMENSION>(width);
    encoder.image_height = static_cast<JDIMENSION>(height);
    encoder.input_components = components;
    encoder.in_color_space = space;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, quality, TRUE);
    encoder.density_unit = 1; // dots per inch
    encoder.X_density = encoder.Y_density = static_cast<UINT16>(dpi);
    jpeg_start_compress(&encoder, TRUE);
    while (encoder.next_scanline < encoder.image_height) {
        JSAMPROW rows[1] = {const_cast<JSAMPLE*>(pixels(encoder.next_scanline))};
        jpeg_write_scanlines(&encoder, rows, 1);
    }
    jpeg_finish_compress(&encoder);
    jpeg_destroy_compress(&encoder);
    return true;
}

bool Finish(bool encoded, unsigned char* buffer, unsigned long size, const char* message,
            std::string& jpeg, std::string& reason) {
    if (encoded)
        jpeg.append(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    if (!encoded)
        reason = message;
    return encoded;
}

} // namespace

bool JpegFile::Check(const std::string& data, Info& info, std::string& reason) {
    char message[JMSG_LENGTH_MAX] = {0};
    if (data.empty()) {
        reason = "the image file is empty";
        return false;
    }
    if (!CheckRaw(reinterpret_cast<const unsigned char*>(data.data()), data.size(), &info,
                  message)) {
        reason = message;
        return false;
    }
    return true;
}

bool JpegFile::EncodeRgb24(const unsigned char* pixels, int width, int height, int stride, int dpi,
                           int quality, std::string& jpeg, std::string& reason) {
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {0};
    const bool encoded = EncodeRaw(
        &buffer, &size, width, height, dpi, quality, JCS_RGB, 3,
        [&](JDIMENSION y) { return pixels + size_t(y) * stride; }, message);
    return Finish(encoded, buffer, size, message, jpeg, reason);
}

} // namespace pdfcompose
