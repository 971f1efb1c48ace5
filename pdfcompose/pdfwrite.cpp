#include "pdfwrite.h"

#include "failure.h"
#include "pdfsource.h"

#include <qpdf/QPDFWriter.hh>

namespace pdfcompose {

void PdfVersion::Raise(const PdfSource& source) {
    const int other = VersionTenths(source.Version());
    if (other > tenths) {
        tenths = other;
        extensionLevel = source.ExtensionLevel();
    } else if (other == tenths && source.ExtensionLevel() > extensionLevel) {
        extensionLevel = source.ExtensionLevel();
    }
}

std::string PdfVersion::Text() const {
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

void WritePdf(QPDF& pdf, OutputFile& output, const PdfVersion& version, bool force) {
    try {
        QPDFWriter writer(pdf, output.TempPath().c_str());
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setCompressStreams(false);
        if (force)
            writer.forcePDFVersion(version.Text(), version.extensionLevel);
        else
            writer.setMinimumPDFVersion(version.Text(), version.extensionLevel);
        writer.setDeterministicID(true);
        writer.write();
    } catch (const Failure&) {
        throw;
    } catch (const std::exception& e) {
        throw Failure("cannot write " + output.Target() + ": " + e.what());
    }
    output.Commit();
}

} // namespace pdfcompose
