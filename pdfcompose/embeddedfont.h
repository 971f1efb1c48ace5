#pragma once

#include "fontface.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <map>
#include <string>

namespace pdfcompose {

// A font used by one output document: a Type 0 font with Identity-H
// encoding whose codes are the face's glyph ids. The font object exists from
// the first use so that pages can refer to it; its subset, widths and
// ToUnicode map are written by Finish once every glyph is known.
class EmbeddedFont {
public:
    EmbeddedFont(QPDF& pdf, FontFace& face);

    FontFace& Face() { return m_face; }
    QPDFObjectHandle Object() const { return m_font; }
    // Records a glyph and the text it shows; returns its code.
    unsigned Use(unsigned glyph, char32_t codepoint);
    // Embeds the subset. Throws Failure when the font cannot be subset.
    void Finish();

private:
    std::string SubsetTag() const;
    std::string ToUnicode() const;

    QPDF& m_pdf;
    FontFace& m_face;
    QPDFObjectHandle m_font;
    std::map<unsigned, char32_t> m_glyphs; // glyph -> first character it showed
};

} // namespace pdfcompose
