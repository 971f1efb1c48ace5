#pragma once

#include "outputfile.h"

#include <qpdf/QPDF.hh>

#include <string>

namespace pdfcompose {

class PdfSource;

// The version an output declares: at least 1.4, raised to the highest of
// the sources it takes pages from.
struct PdfVersion {
    int tenths = 14;
    int extensionLevel = 0;

    void Raise(const PdfSource& source);
    std::string Text() const;
};

// Writes pdf into output (every write checked) and commits it. Streams keep the
// bytes and filters they have (placed artwork is neither decoded nor
// recompressed; the library compresses what it makes itself). force: declare
// exactly `version` instead of at least it. Throws Failure.
void WritePdf(QPDF& pdf, OutputFile& output, const PdfVersion& version, bool force = false);
// The same, into memory, for a page that is rendered and dropped: its /ID
// is fixed instead of a digest of every byte.
std::string WritePdfBytes(QPDF& pdf, const PdfVersion& version);

} // namespace pdfcompose
