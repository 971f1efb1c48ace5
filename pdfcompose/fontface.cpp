#include "fontface.h"

#include "failure.h"

#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

namespace pdfcompose {

FontFace::FontFace(FT_Library library, const std::string& path, int index)
    : m_path(path), m_index(index) {
    if (FT_New_Face(library, path.c_str(), index, &m_face) != 0)
        throw Failure("cannot read the font " + path);
    FT_ULong length = 0;
    if (!FT_IS_SFNT(m_face) || FT_Load_Sfnt_Table(m_face, TTAG_glyf, 0, nullptr, &length) != 0 ||
        m_face->units_per_EM == 0) {
        FT_Done_Face(m_face);
        m_face = nullptr;
        throw Failure("the font " + path + " has no TrueType outlines");
    }
    const double unit = 1000.0 / m_face->units_per_EM;
    m_ascent = m_face->ascender * unit;
    m_descent = m_face->descender * unit;
    if (m_ascent <= m_descent) {
        m_ascent = m_face->bbox.yMax * unit;
        m_descent = m_face->bbox.yMin * unit;
    }
    const char* name = FT_Get_Postscript_Name(m_face);
    std::string raw = name ? name : (m_face->family_name ? m_face->family_name : "Font");
    for (char ch : raw)
        if ((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ||
            ch == '-')
            m_postScriptName.push_back(ch);
    if (m_postScriptName.empty())
        m_postScriptName = "Font";
}

FontFace::~FontFace() {
    if (m_face)
        FT_Done_Face(m_face);
}

unsigned FontFace::GlyphFor(char32_t codepoint) const {
    return FT_Get_Char_Index(m_face, codepoint);
}

double FontFace::Advance(unsigned glyph) const {
    FT_Fixed advance = 0;
    if (FT_Get_Advance(m_face, glyph, FT_LOAD_NO_SCALE, &advance) != 0)
        return 0;
    return advance * 1000.0 / m_face->units_per_EM;
}

std::string GlyphOutline(FT_Face face, unsigned glyph) {
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return {};
    const FT_Outline& outline = face->glyph->outline;
    std::string text = std::to_string(face->glyph->advance.x) + ";";
    for (int i = 0; i < outline.n_points; ++i)
        text += std::to_string(outline.points[i].x) + "," + std::to_string(outline.points[i].y) +
                "," + std::to_string(outline.tags[i] & 1) + " ";
    for (int i = 0; i < outline.n_contours; ++i)
        text += std::to_string(outline.contours[i]) + ";";
    return text;
}

std::string FontFace::Outline(unsigned glyph) const {
    return GlyphOutline(m_face, glyph);
}

void FontFace::BBox(double box[4]) const {
    const double unit = 1000.0 / m_face->units_per_EM;
    box[0] = m_face->bbox.xMin * unit;
    box[1] = m_face->bbox.yMin * unit;
    box[2] = m_face->bbox.xMax * unit;
    box[3] = m_face->bbox.yMax * unit;
}

} // namespace pdfcompose
