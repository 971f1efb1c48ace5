#include "deflate.h"

#include "failure.h"

#include <zlib.h>

namespace pdfcompose {

std::string Deflate(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        throw Failure("cannot compress a stream");
    out.resize(size);
    return out;
}

} // namespace pdfcompose
