#pragma once

#include <string>

namespace pdfcompose {

// JPEG files through libjpeg. Errors never leave libjpeg by exit() or by
// unwinding through it: they come back as a false result with a reason.
class JpegFile {
public:
    struct Info {
        int width = 0, height = 0, components = 0;
        bool adobeInverted = false; // CMYK written inverted (Adobe marker)
    };

    // Decodes the whole image to check it; fills info.
    static bool Check(const std::string& data, Info& info, std::string& reason);
    // Encodes pixels of three bytes, R, G and B (rows stride bytes apart),
    // rendered at dpi (1 to 65535), appending the file to jpeg.
    static bool EncodeRgb24(const unsigned char* pixels, int width, int height, int stride, int dpi,
                            int quality, std::string& jpeg, std::string& reason);
};

} // namespace pdfcompose
