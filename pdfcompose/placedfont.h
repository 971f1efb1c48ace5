#pragma once

#include "fontresolver.h"

#include <qpdf/QPDFObjectHandle.hh>

#include <map>

namespace pdfcompose {

// A font of a placed page that this library embedded itself (see
// EmbeddedFont) from a face installed here: its codes are the face's glyph
// ids, so an output can show it with its own subset of that face and keep
// one subset per face however many files its pages come from.
struct PlacedFont {
    FontFace* face = nullptr;
    std::map<unsigned, char32_t> glyphs; // glyph -> character it shows

    // Recognises such a font. It is taken only when every glyph it holds has
    // the installed face's outline and advance, and every glyph maps to a
    // character; anything else stays as it is.
    static bool Read(QPDFObjectHandle font, FontResolver& fonts, PlacedFont& out);
};

} // namespace pdfcompose
