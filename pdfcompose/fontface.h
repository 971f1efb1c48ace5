#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

namespace pdfcompose {

// One TrueType face (glyf outlines) of a font file, as FreeType reads it.
// The outline and advance of a glyph of any FreeType face (see FontFace::Outline).
std::string GlyphOutline(FT_Face face, unsigned glyph);

class FontFace {
public:
    // Throws Failure when the file is not a TrueType outline font.
    FontFace(FT_Library library, const std::string& path, int index);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const std::string& Path() const { return m_path; }
    int Index() const { return m_index; }
    // 0 when the face has no glyph for the character.
    unsigned GlyphFor(char32_t codepoint) const;
    // Advance width in thousandths of the em.
    double Advance(unsigned glyph) const;
    // Ascender and descender (negative) in thousandths of the em.
    double Ascent() const { return m_ascent; }
    double Descent() const { return m_descent; }
    void BBox(double box[4]) const;
    // The PostScript name, reduced to characters a PDF name may hold.
    const std::string& PostScriptName() const { return m_postScriptName; }
    // The glyph's outline and advance in font units, as comparable text;
    // empty when the face cannot load it.
    std::string Outline(unsigned glyph) const;

private:
    std::string m_path;
    int m_index;
    FT_Face m_face = nullptr;
    double m_ascent = 0, m_descent = 0;
    std::string m_postScriptName;
};

} // namespace pdfcompose
