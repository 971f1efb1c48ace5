#include "embeddedfont.h"

#include "deflate.h"
#include "failure.h"
#include "geometry.h"
#include "lazylibrary.h"

#include <hb-subset.h>

#include <cstdio>

namespace pdfcompose {
namespace {

using OH = QPDFObjectHandle;

OH Name(const std::string& name) {
    return OH::newName(name);
}

std::string Hex4(unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%04X", value & 0xFFFFu);
    return buffer;
}

std::string Utf16Hex(char32_t cp) {
    if (cp >= 0x10000) {
        const char32_t v = cp - 0x10000;
        return Hex4(0xD800 + (v >> 10)) + Hex4(0xDC00 + (v & 0x3FF));
    }
    return Hex4(cp);
}

} // namespace

EmbeddedFont::EmbeddedFont(QPDF& pdf, FontFace& face) : m_pdf(pdf), m_face(face) {
    m_font = pdf.makeIndirectObject(OH::newDictionary());
}

unsigned EmbeddedFont::Use(unsigned glyph, char32_t codepoint) {
    m_glyphs.emplace(glyph, codepoint);
    return glyph;
}

std::string EmbeddedFont::SubsetTag() const {
    // Derived from the glyph set, so the same subset gets the same tag.
    unsigned long long hash = 1469598103934665603ull;
    auto mix = [&hash](unsigned long long v) {
        for (int i = 0; i < 4; ++i) {
            hash ^= (v >> (8 * i)) & 0xFF;
            hash *= 1099511628211ull;
        }
    };
    for (const auto& [glyph, cp] : m_glyphs)
        mix(glyph);
    for (char ch : m_face.PostScriptName())
        mix(static_cast<unsigned char>(ch));
    std::string tag;
    for (int i = 0; i < 6; ++i) {
        tag.push_back(static_cast<char>('A' + hash % 26));
        hash /= 26;
    }
    return tag;
}

std::string EmbeddedFont::ToUnicode() const {
    std::string cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                       "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                       "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                       "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    auto it = m_glyphs.begin();
    while (it != m_glyphs.end()) {
        size_t count = 0;
        std::string block;
        for (; it != m_glyphs.end() && count < 100; ++it, ++count)
            block += "<" + Hex4(it->first) + "> <" + Utf16Hex(it->second) + ">\n";
        cmap += std::to_string(count) + " beginbfchar\n" + block + "endbfchar\n";
    }
    cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return cmap;
}

namespace {

// The font subsetter, loaded when the first font is embedded.
struct HarfBuzz {
    LazyLibrary library{TESSEL_HARFBUZZ_SUBSET_SONAME};
    PDFCOMPOSE_LAZY_FUNCTION(blob_create_from_file_or_fail, hb_blob_create_from_file_or_fail);
    PDFCOMPOSE_LAZY_FUNCTION(face_create, hb_face_create);
    PDFCOMPOSE_LAZY_FUNCTION(blob_destroy, hb_blob_destroy);
    PDFCOMPOSE_LAZY_FUNCTION(subset_input_create_or_fail, hb_subset_input_create_or_fail);
    PDFCOMPOSE_LAZY_FUNCTION(face_destroy, hb_face_destroy);
    PDFCOMPOSE_LAZY_FUNCTION(subset_input_glyph_set, hb_subset_input_glyph_set);
    PDFCOMPOSE_LAZY_FUNCTION(set_add, hb_set_add);
    PDFCOMPOSE_LAZY_FUNCTION(subset_input_set_flags, hb_subset_input_set_flags);
    PDFCOMPOSE_LAZY_FUNCTION(subset_input_set, hb_subset_input_set);
    PDFCOMPOSE_LAZY_FUNCTION(tag_from_string, hb_tag_from_string);
    PDFCOMPOSE_LAZY_FUNCTION(subset_or_fail, hb_subset_or_fail);
    PDFCOMPOSE_LAZY_FUNCTION(subset_input_destroy, hb_subset_input_destroy);
    PDFCOMPOSE_LAZY_FUNCTION(face_reference_blob, hb_face_reference_blob);
    PDFCOMPOSE_LAZY_FUNCTION(blob_get_data, hb_blob_get_data);

    // Loaded once; a failed load is tried again on the next call.
    static const HarfBuzz& Get() {
        static const HarfBuzz loaded;
        return loaded;
    }
};

} // namespace

void EmbeddedFont::Finish() {
    const HarfBuzz& hb = HarfBuzz::Get();
    hb_blob_t* blob = hb.blob_create_from_file_or_fail(m_face.Path().c_str());
    if (!blob)
        throw Failure("cannot read the font " + m_face.Path());
    hb_face_t* source = hb.face_create(blob, static_cast<unsigned>(m_face.Index()));
    hb.blob_destroy(blob);
    hb_subset_input_t* input = hb.subset_input_create_or_fail();
    if (!input) {
        hb.face_destroy(source);
        throw Failure("cannot subset the font " + m_face.Path());
    }
    hb_set_t* glyphs = hb.subset_input_glyph_set(input);
    hb.set_add(glyphs, 0);
    for (const auto& [glyph, cp] : m_glyphs)
        hb.set_add(glyphs, glyph);
    // Codes are glyph ids, so the ids stay as they are; a PDF needs no
    // hinting, layout or glyph-name tables.
    hb.subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NO_HINTING);
    hb_set_t* drop = hb.subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (const char* tag :
         {"GSUB", "GPOS", "GDEF", "BASE", "JSTF", "kern", "morx", "vhea", "vmtx", "VORG"})
        hb.set_add(drop, hb.tag_from_string(tag, 4));
    hb_face_t* subset = hb.subset_or_fail(source, input);
    hb.subset_input_destroy(input);
    hb.face_destroy(source);
    if (!subset)
        throw Failure("cannot subset the font " + m_face.Path());
    hb_blob_t* subsetBlob = hb.face_reference_blob(subset);
    unsigned length = 0;
    const char* data = hb.blob_get_data(subsetBlob, &length);
    std::string fontData(data ? data : "", length);
    hb.blob_destroy(subsetBlob);
    hb.face_destroy(subset);
    if (fontData.empty())
        throw Failure("cannot subset the font " + m_face.Path());

    const std::string baseFont = "/" + SubsetTag() + "+" + m_face.PostScriptName();
    OH fontFile = m_pdf.newStream();
    fontFile.replaceStreamData(Deflate(fontData), Name("/FlateDecode"), OH::newNull());
    fontFile.getDict().replaceKey("/Length1",
                                  OH::newInteger(static_cast<long long>(fontData.size())));

    double bbox[4];
    m_face.BBox(bbox);
    OH descriptor = OH::newDictionary();
    descriptor.replaceKey("/Type", Name("/FontDescriptor"));
    descriptor.replaceKey("/FontName", Name(baseFont));
    descriptor.replaceKey("/Flags", OH::newInteger(4));
    descriptor.replaceKey("/FontBBox", OH::newArray(std::vector<OH>{
                                           OH::newInteger(static_cast<long long>(bbox[0])),
                                           OH::newInteger(static_cast<long long>(bbox[1])),
                                           OH::newInteger(static_cast<long long>(bbox[2])),
                                           OH::newInteger(static_cast<long long>(bbox[3]))}));
    descriptor.replaceKey("/ItalicAngle", OH::newInteger(0));
    descriptor.replaceKey("/Ascent", OH::newInteger(static_cast<long long>(m_face.Ascent())));
    descriptor.replaceKey("/Descent", OH::newInteger(static_cast<long long>(m_face.Descent())));
    descriptor.replaceKey("/CapHeight", OH::newInteger(static_cast<long long>(m_face.Ascent())));
    descriptor.replaceKey("/StemV", OH::newInteger(80));
    descriptor.replaceKey("/FontFile2", fontFile);

    std::vector<OH> widths;
    for (const auto& [glyph, cp] : m_glyphs) {
        widths.push_back(OH::newInteger(glyph));
        widths.push_back(OH::newArray(std::vector<OH>{OH::newReal(m_face.Advance(glyph), 2)}));
    }
    OH cidFont = OH::newDictionary();
    cidFont.replaceKey("/Type", Name("/Font"));
    cidFont.replaceKey("/Subtype", Name("/CIDFontType2"));
    cidFont.replaceKey("/BaseFont", Name(baseFont));
    OH systemInfo = OH::newDictionary();
    systemInfo.replaceKey("/Registry", OH::newString("Adobe"));
    systemInfo.replaceKey("/Ordering", OH::newString("Identity"));
    systemInfo.replaceKey("/Supplement", OH::newInteger(0));
    cidFont.replaceKey("/CIDSystemInfo", systemInfo);
    cidFont.replaceKey("/FontDescriptor", m_pdf.makeIndirectObject(descriptor));
    cidFont.replaceKey("/DW", OH::newInteger(1000));
    cidFont.replaceKey("/W", OH::newArray(widths));
    cidFont.replaceKey("/CIDToGIDMap", Name("/Identity"));

    OH toUnicode = m_pdf.newStream();
    toUnicode.replaceStreamData(Deflate(ToUnicode()), Name("/FlateDecode"), OH::newNull());

    m_font.replaceKey("/Type", Name("/Font"));
    m_font.replaceKey("/Subtype", Name("/Type0"));
    m_font.replaceKey("/BaseFont", Name(baseFont));
    m_font.replaceKey("/Encoding", Name("/Identity-H"));
    m_font.replaceKey("/DescendantFonts",
                      OH::newArray(std::vector<OH>{m_pdf.makeIndirectObject(cidFont)}));
    m_font.replaceKey("/ToUnicode", toUnicode);
}

} // namespace pdfcompose
