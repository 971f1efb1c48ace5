#pragma once

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pdfcompose {

// The geometry of one source page as a viewer shows it.
struct PageBox {
    double llx = 0, lly = 0, urx = 0, ury = 0; // visible box in the page's own space (pt)
    int turns = 0;                             // /Rotate in clockwise quarter turns
    double Width() const { return urx - llx; }
    double Height() const { return ury - lly; }
    // The shown size in points (turned by /Rotate).
    double ShownWidth() const { return turns % 2 ? Height() : Width(); }
    double ShownHeight() const { return turns % 2 ? Width() : Height(); }
};

// A PDF opened for reading, checked completely: the file parses without
// repair, is not encrypted, has pages, and every page has a usable box and
// content streams that decode. A damaged file fails here with a reason, so
// that it never fails later while an output is being written.
class PdfSource {
public:
    // Throws Failure with the file name and the reason.
    static std::shared_ptr<PdfSource> Open(const std::string& path);

    const std::string& Path() const { return m_path; }
    QPDF& Pdf() { return *m_pdf; }
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    // page counts from 1; throws Failure when out of range.
    const PageBox& Box(int page) const;
    // A Form XObject (in this source) showing the page's visible box, its
    // content streams kept as they are where the page has only one.
    QPDFObjectHandle FormXObject(int page);
    // "1.4" and extension level as the file declares them.
    std::string Version() const { return m_version; }
    int ExtensionLevel() const { return m_extensionLevel; }

private:
    PdfSource() = default;
    void Check();

    std::string m_path;
    std::shared_ptr<QPDF> m_pdf;
    std::vector<QPDFObjectHandle> m_pages;
    std::vector<PageBox> m_boxes;
    std::string m_version;
    int m_extensionLevel = 0;
};

// Version text "1.7" as tenths (17); 0 when it is not a version.
int VersionTenths(const std::string& version);

} // namespace pdfcompose
