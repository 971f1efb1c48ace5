#pragma once

#include <string>

namespace pdfcompose {

// Opens a source PDF for reading: a regular file (a device or a pipe named
// like a PDF would be read without end, and opening a pipe must not wait),
// no larger than the read limit, with a PDF header within its first 1024
// bytes. Returns the descriptor and sets size; throws Failure with the
// reason (without the path) otherwise.
int OpenSourceFile(const std::string& path, long long& size);

} // namespace pdfcompose
