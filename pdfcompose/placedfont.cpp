#include "placedfont.h"

#include <qpdf/Buffer.hh>

#include <cmath>
#include <memory>
#include <string>

namespace pdfcompose {
namespace {

using OH = QPDFObjectHandle;

bool IsName(OH value, const char* name) {
    return value.isName() && value.getName() == name;
}

std::string StreamData(OH stream) {
    std::shared_ptr<Buffer> data = stream.getStreamData(qpdf_dl_generalized);
    return std::string(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
}

bool Hex(const std::string& text, size_t& at, std::string& digits) {
    while (at < text.size() && text[at] != '<')
        ++at;
    const size_t end = text.find('>', at);
    if (at >= text.size() || end == std::string::npos)
        return false;
    digits = text.substr(at + 1, end - at - 1);
    at = end + 1;
    return !digits.empty() && digits.size() % 4 == 0 &&
           digits.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
}

// The glyph -> character pairs of a ToUnicode map as EmbeddedFont writes it:
// bfchar blocks of <glyph> <UTF-16> pairs only.
bool ReadToUnicode(const std::string& cmap, std::map<unsigned, char32_t>& out) {
    if (cmap.find("beginbfrange") != std::string::npos)
        return false;
    size_t at = 0;
    for (size_t block = cmap.find("beginbfchar"); block != std::string::npos;
         block = cmap.find("beginbfchar", at)) {
        at = block + 11;
        const size_t end = cmap.find("endbfchar", at);
        if (end == std::string::npos)
            return false;
        while (true) {
            const size_t next = cmap.find('<', at);
            if (next == std::string::npos || next > end)
                break;
            std::string code, text;
            if (!Hex(cmap, at, code) || code.size() != 4 || !Hex(cmap, at, text) || at > end)
                return false;
            const unsigned glyph = std::stoul(code, nullptr, 16);
            char32_t cp = std::stoul(text.substr(0, 4), nullptr, 16);
            if (text.size() == 8 && cp >= 0xD800 && cp < 0xDC00) {
                const char32_t low = std::stoul(text.substr(4), nullptr, 16);
                if (low < 0xDC00 || low > 0xDFFF)
                    return false;
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            } else if (text.size() != 4) {
                return false;
            }
            out.emplace(glyph, cp);
        }
        at = end + 9;
    }
    return !out.empty();
}

} // namespace

bool PlacedFont::Read(OH font, FontResolver& fonts, PlacedFont& out) {
    try {
        if (!font.isDictionary() || !IsName(font.getKey("/Subtype"), "/Type0") ||
            !IsName(font.getKey("/Encoding"), "/Identity-H"))
            return false;
        OH descendants = font.getKey("/DescendantFonts");
        if (!descendants.isArray() || descendants.getArrayNItems() != 1)
            return false;
        OH cid = descendants.getArrayItem(0);
        if (!cid.isDictionary() || !IsName(cid.getKey("/Subtype"), "/CIDFontType2") ||
            !IsName(cid.getKey("/CIDToGIDMap"), "/Identity"))
            return false;
        OH dw = cid.getKey("/DW");
        if (!dw.isNull() && !(dw.isInteger() && dw.getIntValue() == 1000))
            return false;
        OH descriptor = cid.getKey("/FontDescriptor");
        OH program = descriptor.isDictionary() ? descriptor.getKey("/FontFile2") : OH::newNull();
        OH toUnicode = font.getKey("/ToUnicode");
        OH widths = cid.getKey("/W");
        if (!program.isStream() || !toUnicode.isStream() || !widths.isArray())
            return false;
        OH baseFont = font.getKey("/BaseFont");
        if (!baseFont.isName())
            return false;
        const std::string name = baseFont.getName();
        // "/ABCDEF+PostScriptName"
        if (name.size() < 9 || name[7] != '+')
            return false;
        FontFace* face = fonts.ByPostScriptName(name.substr(8));
        if (!face)
            return false;

        std::map<unsigned, char32_t> glyphs;
        if (!ReadToUnicode(StreamData(toUnicode), glyphs))
            return false;
        // Every glyph shown has a width entry [glyph [w]] with the face's advance.
        const int n = widths.getArrayNItems();
        if (n != 2 * static_cast<int>(glyphs.size()))
            return false;
        for (int i = 0; i < n; i += 2) {
            OH glyph = widths.getArrayItem(i), width = widths.getArrayItem(i + 1);
            if (!glyph.isInteger() || !width.isArray() || width.getArrayNItems() != 1 ||
                !width.getArrayItem(0).isNumber())
                return false;
            const long long id = glyph.getIntValue();
            if (id < 0 || !glyphs.count(static_cast<unsigned>(id)) ||
                std::fabs(width.getArrayItem(0).getNumericValue() -
                          face->Advance(static_cast<unsigned>(id))) > 0.01)
                return false;
        }

        // The embedded outlines are the installed face's.
        const std::string data = StreamData(program);
        FT_Face subset = nullptr;
        if (FT_New_Memory_Face(fonts.Library(), reinterpret_cast<const FT_Byte*>(data.data()),
                               static_cast<FT_Long>(data.size()), 0, &subset) != 0)
            return false;
        bool same = true;
        for (const auto& [glyph, cp] : glyphs) {
            const std::string embedded = GlyphOutline(subset, glyph);
            if (embedded.empty() || embedded != face->Outline(glyph)) {
                same = false;
                break;
            }
        }
        FT_Done_Face(subset);
        if (!same)
            return false;
        out.face = face;
        out.glyphs = std::move(glyphs);
        return true;
    } catch (const std::exception&) {
        return false; // an unreadable font stays as it is
    }
}

} // namespace pdfcompose
