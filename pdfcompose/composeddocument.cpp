#include "composeddocument.h"

#include "deflate.h"
#include "failure.h"
#include "geometry.h"
#include "jpegfile.h"
#include "pdfwrite.h"
#include "placedfont.h"
#include "sharedobjects.h"

#include <qpdf/QPDFPageDocumentHelper.hh>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

namespace pdfcompose {
namespace {

using OH = QPDFObjectHandle;

void RequireFinite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v) || std::fabs(v) > 1e5)
            throw Failure("a length is not a number or out of range");
}

void RequireSize(double width, double height) {
    RequireFinite({width, height});
    if (width <= 0 || height <= 0)
        throw Failure("a width or height is not above 0");
}

int Turns(double rotation) {
    int turns = 0;
    if (!QuarterTurnsOf(rotation, turns))
        throw Failure("a rotation is not a multiple of 90 degrees");
    return turns;
}

std::string Cm(const Matrix& m) {
    return FormatNumber(m.a, 6) + " " + FormatNumber(m.b, 6) + " " + FormatNumber(m.c, 6) + " " +
           FormatNumber(m.d, 6) + " " + FormatNumber(m.e) + " " + FormatNumber(m.f) + " cm\n";
}

// Strict UTF-8: invalid bytes are refused rather than guessed at.
std::u32string DecodeUtf8(const std::string& text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, cp = lead & 0x07;
        } else {
            throw Failure("the text is not valid UTF-8");
        }
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= text.size())
                throw Failure("the text is not valid UTF-8");
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                throw Failure("the text is not valid UTF-8");
            cp = (cp << 6) | (next & 0x3F);
        }
        static const char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            throw Failure("the text is not valid UTF-8");
        out.push_back(cp);
        i += extra + 1;
    }
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Failure("cannot open " + path);
    std::ostringstream data;
    data << in.rdbuf();
    if (in.bad())
        throw Failure("cannot read " + path);
    return data.str();
}

} // namespace

ComposedDocument::ComposedDocument(const std::string& outputPath,
                                   std::function<FontResolver&()> fonts, SourceLookup sources)
    : m_output(outputPath.empty() ? nullptr : std::make_unique<OutputFile>(outputPath)),
      m_fonts(std::move(fonts)), m_lookup(std::move(sources)) {
    m_pdf.setSuppressWarnings(true);
    m_pdf.emptyPDF();
}

void ComposedDocument::RequirePage() const {
    if (!m_pageOpen)
        throw Failure("no page is open");
}

void ComposedDocument::BeginPage(double width, double height) {
    RequireFinite({width, height});
    if (width < 1 || height < 1 || width > 5080 || height > 5080)
        throw Failure("a page must be 1 to 5080 mm wide and high");
    BeginPagePt(MmToPt(width), MmToPt(height));
}

void ComposedDocument::BeginPagePt(double width, double height) {
    if (m_pageOpen)
        throw Failure("a page is already open");
    if (!std::isfinite(width) || !std::isfinite(height) || width <= 0 || height <= 0)
        throw Failure("a page size is not above 0");
    m_pageOpen = true;
    m_pageWidth = width;
    m_pageHeight = height;
    m_content.clear();
    m_xobjects.clear();
    m_fontResources.clear();
}

void ComposedDocument::EndPage() {
    RequirePage();
    OH resources = OH::newDictionary();
    if (!m_xobjects.empty()) {
        OH xobjects = OH::newDictionary();
        for (const auto& [name, object] : m_xobjects)
            xobjects.replaceKey("/" + name, object);
        resources.replaceKey("/XObject", xobjects);
    }
    if (!m_fontResources.empty()) {
        OH fonts = OH::newDictionary();
        for (const auto& [name, object] : m_fontResources)
            fonts.replaceKey("/" + name, object);
        resources.replaceKey("/Font", fonts);
    }
    OH contents = m_pdf.newStream();
    contents.replaceStreamData(Deflate(m_content), OH::newName("/FlateDecode"), OH::newNull());
    OH page = OH::newDictionary();
    page.replaceKey("/Type", OH::newName("/Page"));
    page.replaceKey("/MediaBox", OH::newArray(std::vector<OH>{OH::newInteger(0), OH::newInteger(0),
                                                              OH::newReal(m_pageWidth, 4),
                                                              OH::newReal(m_pageHeight, 4)}));
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", contents);
    QPDFPageDocumentHelper(m_pdf).addPage(QPDFPageObjectHelper(m_pdf.makeIndirectObject(page)),
                                          false);
    m_pageOpen = false;
    ++m_pageCount;
    m_content.clear();
}

std::shared_ptr<PdfSource> ComposedDocument::Source(const std::string& path) {
    std::shared_ptr<PdfSource> source = m_lookup(path);
    // The writer copies the source's objects when the document is written.
    if (std::find(m_keptSources.begin(), m_keptSources.end(), source) == m_keptSources.end())
        m_keptSources.push_back(source);
    return source;
}

Matrix ComposedDocument::Placement(double w, double h, int turns, double x, double y) const {
    const double footprintHeight = turns % 2 ? w : h;
    return Matrix::Translate(MmToPt(x), m_pageHeight - MmToPt(y) - footprintHeight)
        .After(Matrix::QuarterTurns(turns, w, h));
}

void ComposedDocument::PlacePage(const std::string& path, int page, double x, double y,
                                 double width, double height, double rotation, double scale,
                                 int flags) {
    RequirePage();
    RequireFinite({x, y});
    RequireSize(width, height);
    if (!std::isfinite(scale) || scale <= 0 || scale > 1000)
        throw Failure("the scale must be above 0");
    if (flags != 0 && flags != 1)
        throw Failure("unknown placement flags " + std::to_string(flags));
    const int turns = Turns(rotation);
    std::shared_ptr<PdfSource> source = Source(path);
    const PageBox& box = source->Box(page);

    auto key = std::make_pair(source.get(), page);
    auto form = m_forms.find(key);
    if (form == m_forms.end()) {
        OH copied = m_pdf.copyForeignObject(source->FormXObject(page));
        const std::string name = "Fx" + std::to_string(m_forms.size() + 1);
        form = m_forms.emplace(key, std::make_pair(copied, name)).first;
        m_version.Raise(*source);
        m_optionalContent.Add(m_pdf, *source);
    }

    const double boxW = MmToPt(width * scale), boxH = MmToPt(height * scale);
    // In the page's own units: /UserUnit only changes the size it reports.
    double sx = boxW / box.ShownWidth(), sy = boxH / box.ShownHeight(), dx = 0, dy = 0;
    if (flags == 1) {
        sx = sy = std::min(sx, sy);
        dx = (boxW - box.ShownWidth() * sx) / 2;
        dy = (boxH - box.ShownHeight() * sy) / 2;
    }
    // Source box to origin, turned by /Rotate, scaled into the box, then
    // turned and put in place.
    const Matrix shown = Matrix::QuarterTurns(box.turns, box.Width(), box.Height())
                             .After(Matrix::Translate(-box.llx, -box.lly));
    const Matrix scaled = Matrix::Translate(dx, dy).After(Matrix::Scale(sx, sy)).After(shown);
    const Matrix m = Placement(boxW, boxH, turns, x, y).After(scaled);
    m_xobjects[form->second.second] = form->second.first;
    m_content += "q\n" + Cm(m) + "/" + form->second.second + " Do\nQ\n";
}

void ComposedDocument::PlaceImage(const std::string& path, double x, double y, double width,
                                  double height, double rotation) {
    RequirePage();
    RequireFinite({x, y});
    RequireSize(width, height);
    const int turns = Turns(rotation);
    auto found = m_images.find(path);
    if (found == m_images.end()) {
        std::string data = ReadFile(path);
        JpegFile::Info info;
        std::string reason;
        if (!JpegFile::Check(data, info, reason))
            throw Failure(path + ": not a usable JPEG image (" + reason + ")");
        const char* space = info.components == 1   ? "/DeviceGray"
                            : info.components == 3 ? "/DeviceRGB"
                            : info.components == 4 ? "/DeviceCMYK"
                                                   : nullptr;
        if (!space)
            throw Failure(path + ": a JPEG image with " + std::to_string(info.components) +
                          " colour components");
        OH image = m_pdf.newStream();
        image.replaceStreamData(data, OH::newName("/DCTDecode"), OH::newNull());
        OH dict = image.getDict();
        dict.replaceKey("/Type", OH::newName("/XObject"));
        dict.replaceKey("/Subtype", OH::newName("/Image"));
        dict.replaceKey("/Width", OH::newInteger(info.width));
        dict.replaceKey("/Height", OH::newInteger(info.height));
        dict.replaceKey("/ColorSpace", OH::newName(space));
        dict.replaceKey("/BitsPerComponent", OH::newInteger(8));
        if (info.adobeInverted) {
            std::vector<OH> decode;
            for (int i = 0; i < 4; ++i) {
                decode.push_back(OH::newInteger(1));
                decode.push_back(OH::newInteger(0));
            }
            dict.replaceKey("/Decode", OH::newArray(decode));
        }
        found =
            m_images.emplace(path, Image{image, "Im" + std::to_string(m_images.size() + 1)}).first;
    }
    const double w = MmToPt(width), h = MmToPt(height);
    const Matrix m = Placement(w, h, turns, x, y).After(Matrix::Scale(w, h));
    m_xobjects[found->second.name] = found->second.object;
    m_content += "q\n" + Cm(m) + "/" + found->second.name + " Do\nQ\n";
}

std::pair<std::unique_ptr<EmbeddedFont>, std::string>& ComposedDocument::Embedded(FontFace& face) {
    auto found = m_embedded.find(&face);
    if (found == m_embedded.end()) {
        const std::string name = "F" + std::to_string(m_embedded.size() + 1);
        found =
            m_embedded
                .emplace(&face, std::make_pair(std::make_unique<EmbeddedFont>(m_pdf, face), name))
                .first;
    }
    return found->second;
}

EmbeddedFont& ComposedDocument::Font(FontFace& face) {
    auto& [font, name] = Embedded(face);
    m_fontResources[name] = font->Object();
    return *font;
}

void ComposedDocument::AdoptPlacedFonts() {
    if (m_forms.size() + m_embedded.size() < 2)
        return; // one page placed alone (a preview) keeps its font
    // Placed pages show this library's fonts through the document's own
    // subset of the same face: their codes are the same glyph ids.
    std::set<QPDFObjGen> own;
    for (const auto& [face, font] : m_embedded)
        own.insert(font.first->Object().getObjGen());
    std::map<QPDFObjGen, QPDFObjectHandle> to;
    for (QPDFObjectHandle& object : m_pdf.getAllObjects()) {
        if (!object.isDictionary() || !object.getKey("/Type").isNameAndEquals("/Font") ||
            !object.getKey("/Subtype").isNameAndEquals("/Type0") || own.count(object.getObjGen()))
            continue;
        PlacedFont placed;
        if (!PlacedFont::Read(object, m_fonts(), placed))
            continue;
        EmbeddedFont& font = *Embedded(*placed.face).first;
        for (const auto& [glyph, cp] : placed.glyphs)
            font.Use(glyph, cp);
        to[object.getObjGen()] = font.Object();
    }
    RedirectReferences(m_pdf, to);
}

void ComposedDocument::PlaceTextBox(const std::string& text, const std::string& fontName,
                                    double size, double x, double y, double width, double height,
                                    const Colour& colour, int halign, int valign, double rotation,
                                    bool wrap) {
    RequirePage();
    RequireFinite({x, y});
    RequireSize(width, height);
    if (!std::isfinite(size) || size <= 0 || size > 10000)
        throw Failure("the text size must be above 0 points");
    if (halign < 0 || halign > 2 || valign < 0 || valign > 2)
        throw Failure("an alignment is not 0, 1 or 2");
    const int turns = Turns(rotation);
    const std::u32string characters = DecodeUtf8(text);
    FontResolver& resolver = m_fonts();
    FontFace& primary = resolver.Resolve(fontName);

    struct Glyph {
        FontFace* face;
        unsigned id;
        char32_t cp;
        double advance; // pt
    };
    // The layout box: turned text runs along the box's height.
    const double boxW = MmToPt(width), boxH = MmToPt(height);
    const double layoutW = turns % 2 ? boxH : boxW, layoutH = turns % 2 ? boxW : boxH;
    std::vector<std::vector<Glyph>> lines(1);
    std::vector<double> lineWidths(1, 0.0);
    double ascent = primary.Ascent(), descent = primary.Descent();
    for (char32_t cp : characters) {
        if (cp == '\r')
            continue;
        if (cp == '\n') {
            lines.emplace_back();
            lineWidths.push_back(0);
            continue;
        }
        if (cp == '\t')
            cp = ' ';
        if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0))
            continue;
        FontFace* face = resolver.Covering(cp, primary);
        if (!face) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
            throw Failure(std::string("no installed font has the character ") + code);
        }
        ascent = std::max(ascent, face->Ascent());
        descent = std::min(descent, face->Descent());
        const unsigned id = face->GlyphFor(cp);
        const double advance = face->Advance(id) * size / 1000.0;
        if (wrap && !lines.back().empty() && lineWidths.back() + advance > layoutW + 1e-6) {
            lines.emplace_back();
            lineWidths.push_back(0);
        }
        lines.back().push_back({face, id, cp, advance});
        lineWidths.back() += advance;
    }
    const double lineHeight = (ascent - descent) * size / 1000.0;
    size_t fitting = 0;
    while (fitting < lines.size() && (fitting + 1) * lineHeight <= layoutH + 1e-6)
        ++fitting;
    const double block = fitting * lineHeight;
    const double top = valign == 0 ? 0 : valign == 1 ? (layoutH - block) / 2 : layoutH - block;

    std::string body;
    FontFace* current = nullptr;
    for (size_t i = 0; i < fitting; ++i) {
        const double free = layoutW - lineWidths[i];
        double pen = halign == 0 ? 0 : halign == 1 ? free / 2 : free;
        const double baseline = layoutH - top - i * lineHeight - ascent * size / 1000.0;
        size_t g = 0;
        while (g < lines[i].size()) {
            FontFace* face = lines[i][g].face;
            EmbeddedFont& font = Font(*face);
            if (face != current) {
                body += "/" + m_embedded[face].second + " " + FormatNumber(size) + " Tf\n";
                current = face;
            }
            std::string codes;
            const double start = pen;
            for (; g < lines[i].size() && lines[i][g].face == face; ++g) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "%04X", font.Use(lines[i][g].id, lines[i][g].cp));
                codes += hex;
                pen += lines[i][g].advance;
            }
            body += "1 0 0 1 " + FormatNumber(start) + " " + FormatNumber(baseline) + " Tm\n<" +
                    codes + "> Tj\n";
        }
    }
    if (body.empty())
        return;
    const Colour fill = colour.kind == Colour::None ? Colour::Registration() : colour;
    m_content += "q\n" + Cm(Placement(layoutW, layoutH, turns, x, y)) + "0 0 " +
                 FormatNumber(layoutW) + " " + FormatNumber(layoutH) + " re W n\n" +
                 fill.Operator(false) + "BT\n" + body + "ET\nQ\n";
}

void ComposedDocument::Line(double x1, double y1, double x2, double y2, double lineWidth,
                            const Colour& colour) {
    RequirePage();
    RequireFinite({x1, y1, x2, y2, lineWidth});
    if (lineWidth < 0)
        throw Failure("a line width is below 0");
    if (colour.kind == Colour::None)
        return; // a line without colour draws nothing
    auto point = [this](double x, double y) {
        return FormatNumber(MmToPt(x)) + " " + FormatNumber(m_pageHeight - MmToPt(y));
    };
    m_content += "q\n" + FormatNumber(MmToPt(lineWidth)) + " w 0 J [] 0 d\n" +
                 colour.Operator(true) + point(x1, y1) + " m " + point(x2, y2) + " l S\nQ\n";
}

void ComposedDocument::Rect(double x, double y, double width, double height, double lineWidth,
                            const Colour& stroke, const Colour& fill) {
    RequirePage();
    RequireFinite({x, y, width, height, lineWidth});
    if (lineWidth < 0)
        throw Failure("a line width is below 0");
    if (stroke.kind == Colour::None && fill.kind == Colour::None)
        return; // nothing to paint
    const double left = MmToPt(std::min(x, x + width));
    const double bottom = m_pageHeight - MmToPt(std::max(y, y + height));
    std::string paint = stroke.kind == Colour::None ? "f" : fill.kind == Colour::None ? "S" : "B";
    m_content += "q\n" + FormatNumber(MmToPt(lineWidth)) + " w 0 j [] 0 d\n" +
                 stroke.Operator(true) + fill.Operator(false) + FormatNumber(left) + " " +
                 FormatNumber(bottom) + " " + FormatNumber(MmToPt(std::fabs(width))) + " " +
                 FormatNumber(MmToPt(std::fabs(height))) + " re " + paint + "\nQ\n";
}

void ComposedDocument::Complete(bool shareResources) {
    if (m_pageOpen)
        throw Failure("a page is still open");
    if (m_pageCount == 0)
        throw Failure("the document has no pages");
    AdoptPlacedFonts();
    for (auto& [face, font] : m_embedded)
        font.first->Finish();
    if (shareResources)
        ShareIdenticalResources(m_pdf);
    m_optionalContent.WriteTo(m_pdf);
}

void ComposedDocument::Finish() {
    if (!m_output)
        throw Failure("the document is composed in memory");
    Complete(true);
    WritePdf(m_pdf, *m_output, m_version);
}

std::string ComposedDocument::Bytes() {
    Complete(false);
    return WritePdfBytes(m_pdf, m_version);
}

} // namespace pdfcompose
