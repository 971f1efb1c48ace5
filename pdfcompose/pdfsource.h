#pragma once

#include "failure.h"
#include "readlimits.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pdfcompose {

// The geometry of one source page as a viewer shows it.
struct PageBox {
    double llx = 0, lly = 0, urx = 0, ury = 0; // visible box in the page's own units
    int turns = 0;                             // /Rotate in clockwise quarter turns
    double unit = 1;                           // /UserUnit: points per unit
    double Width() const { return urx - llx; }
    double Height() const { return ury - lly; }
    // The shown size in the page's units (turned by /Rotate).
    double ShownWidth() const { return turns % 2 ? Height() : Width(); }
    double ShownHeight() const { return turns % 2 ? Width() : Height(); }
    // The shown size in points.
    double ShownWidthPt() const { return ShownWidth() * unit; }
    double ShownHeightPt() const { return ShownHeight() * unit; }
};

// A PDF that needs a password to open, or whose security settings forbid
// printing it.
class LockedPdf : public Failure {
public:
    explicit LockedPdf(const std::string& what) : Failure(what) {}
};

// A PDF opened for reading, checked completely: it is a regular file, it
// parses (qpdf's repairs of the file structure are accepted and noted), it
// can be read without a password and may be printed, it has pages, its page
// tree and form field tree are sound, and every page has a usable box and
// content streams that decode. A damaged file fails here with a reason, so
// that it never fails later while an output is being written. Annotations
// are flattened as they print.
class PdfSource {
public:
    // Throws Failure with the file name and the reason (LockedPdf for a
    // file it may not read or print).
    static std::shared_ptr<PdfSource> Open(const std::string& path);

    const std::string& Path() const { return m_path; }
    QPDF& Pdf() { return *m_pdf; }
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    // page counts from 1; throws Failure when out of range.
    const PageBox& Box(int page) const;
    // The page object (from 1); throws Failure when out of range.
    QPDFObjectHandle Page(int page) const;
    // A Form XObject (in this source) showing the page's visible box, its
    // content streams kept as they are where the page has only one. Made
    // once per page.
    QPDFObjectHandle FormXObject(int page);
    // The optional content groups of the file and those that do not print
    // (its default configuration as it applies to printing).
    const std::vector<QPDFObjectHandle>& OptionalContentGroups() const { return m_ocgs; }
    const std::vector<QPDFObjectHandle>& HiddenInPrint() const { return m_hiddenInPrint; }
    // What was repaired, opened or left out to read the file, one line each.
    const std::vector<std::string>& Notes() const { return m_notes; }
    // Whether qpdf had to repair the file's structure to read it.
    bool Repaired() const { return m_repaired; }
    // "1.4" and extension level as the file declares them.
    std::string Version() const { return m_version; }
    int ExtensionLevel() const { return m_extensionLevel; }

private:
    PdfSource() = default;
    void Check();
    void CheckForm();
    void ReadOptionalContent();

    std::string m_path;
    std::shared_ptr<QPDF> m_pdf;
    std::vector<QPDFObjectHandle> m_pages;
    std::vector<PageBox> m_boxes;
    std::map<int, QPDFObjectHandle> m_forms;
    std::vector<QPDFObjectHandle> m_ocgs, m_hiddenInPrint;
    std::vector<std::string> m_notes;
    std::string m_version;
    int m_extensionLevel = 0;
    bool m_repaired = false;
};

// Opened sources by path, reused while the file keeps its size, time and
// inode, so that a session reads and checks a file once however often it is
// asked about it. Holds the few most recently used; a caller that needs a
// source longer keeps its pointer.
class SourceCache {
public:
    std::shared_ptr<PdfSource> Get(const std::string& path);

private:
    struct Entry {
        std::string path;
        long long size = 0, mtime = 0, inode = 0;
        std::shared_ptr<PdfSource> source;
    };
    static constexpr size_t kEntries = 8;
    std::vector<Entry> m_entries; // most recent first
};

// Version text "1.7" as tenths (17); 0 when it is not a version.
int VersionTenths(const std::string& version);

} // namespace pdfcompose
