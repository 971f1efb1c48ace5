#include "pdfwrite.h"

#include "failure.h"
#include "pdfsource.h"

#include <qpdf/Pl_Buffer.hh>
#include <qpdf/QPDFWriter.hh>

#include <memory>

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

namespace {

// qpdf's writer into an output file.
class FileSink : public Pipeline {
public:
    explicit FileSink(OutputFile& file) : Pipeline("output file", nullptr), m_file(file) {}
    void write(unsigned char const* data, size_t len) override { m_file.Write(data, len); }
    void finish() override {}

private:
    OutputFile& m_file;
};

void Write(QPDF& pdf, Pipeline& sink, const PdfVersion& version, bool force, bool digestID,
           const std::string& target) {
    try {
        QPDFWriter writer(pdf);
        writer.setOutputPipeline(&sink);
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setCompressStreams(false);
        if (force)
            writer.forcePDFVersion(version.Text(), version.extensionLevel);
        else
            writer.setMinimumPDFVersion(version.Text(), version.extensionLevel);
        if (digestID)
            writer.setDeterministicID(true);
        else
            writer.setStaticID(true);
        writer.write();
    } catch (const Failure&) {
        throw;
    } catch (const std::exception& e) {
        throw Failure("cannot write " + target + ": " + e.what());
    }
}

} // namespace

void WritePdf(QPDF& pdf, OutputFile& output, const PdfVersion& version, bool force) {
    FileSink sink(output);
    Write(pdf, sink, version, force, true, output.Target());
    output.Commit();
}

std::string WritePdfBytes(QPDF& pdf, const PdfVersion& version) {
    Pl_Buffer buffer("composed page");
    Write(pdf, buffer, version, false, false, "a page in memory");
    std::unique_ptr<Buffer> bytes(buffer.getBuffer());
    return std::string(reinterpret_cast<const char*>(bytes->getBuffer()), bytes->getSize());
}

} // namespace pdfcompose
