#pragma once

#include <string>

namespace pdfcompose {

// zlib-compressed data for /FlateDecode streams.
std::string Deflate(const std::string& data);

} // namespace pdfcompose
