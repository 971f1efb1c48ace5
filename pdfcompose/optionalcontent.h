#pragma once

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <set>
#include <vector>

namespace pdfcompose {

class PdfSource;

// The optional content (layers) of the sources an output takes pages from,
// carried into the output's catalog so that a layer that does not print in
// its source does not print in the output either.
class OptionalContent {
public:
    // Takes the groups of a source into target (as copies of its objects);
    // a source given again adds nothing.
    void Add(QPDF& target, PdfSource& source);
    // Writes /OCProperties into target's catalog when any group was taken.
    void WriteTo(QPDF& target) const;

private:
    std::set<const PdfSource*> m_sources;
    std::vector<QPDFObjectHandle> m_groups, m_off;
};

} // namespace pdfcompose
