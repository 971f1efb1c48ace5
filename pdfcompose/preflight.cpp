#include "preflight.h"

#include "failure.h"
#include "geometry.h"
#include "pdfsource.h"

#include <qpdf/QPDFPageObjectHelper.hh>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sys/stat.h>

namespace pdfcompose {
namespace {

constexpr double kSizeToleranceMm = 0.5;
constexpr double kBleedToleranceMm = 0.2;
// A page wider than the order and its bleed by more than this is another
// size, not a generous bleed.
constexpr double kExtraBleedMm = 3;
constexpr int kMaxFormDepth = 32;

std::string Mm(double mm) {
    return FormatNumber(mm, 1);
}

bool NameIs(QPDFObjectHandle object, const char* name) {
    return object.isName() && object.getName() == name;
}

bool ReadRect(QPDFObjectHandle rect, double v[4]) {
    if (!rect.isArray() || rect.getArrayNItems() != 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        QPDFObjectHandle item = rect.getArrayItem(i);
        if (!item.isNumber() || !std::isfinite(item.getNumericValue()))
            return false;
        v[i] = item.getNumericValue();
    }
    if (v[0] > v[2])
        std::swap(v[0], v[2]);
    if (v[1] > v[3])
        std::swap(v[1], v[3]);
    return v[2] - v[0] > 0 && v[3] - v[1] > 0;
}

// The kinds of colour a colour space paints with.
struct ColourUse {
    bool rgb = false; // RGB, calibrated RGB or Lab
    std::set<std::string> spots;
};

bool IsProcessColourant(const std::string& name) {
    static const std::set<std::string> process = {"/Cyan",  "/Magenta", "/Yellow",
                                                  "/Black", "/All",     "/None"};
    return process.count(name) > 0;
}

// Which kinds of colour a colour space (a name or an array, looked up in
// resources when it is a resource name) paints with.
void ClassifySpace(QPDFObjectHandle space, QPDFObjectHandle resources, ColourUse& use,
                   int depth = 0) {
    if (depth > 8)
        return;
    if (space.isName()) {
        const std::string name = space.getName();
        if (name == "/DeviceRGB" || name == "/RGB") {
            use.rgb = true;
        } else if (name != "/DeviceCMYK" && name != "/CMYK" && name != "/DeviceGray" &&
                   name != "/G" && name != "/Pattern" && resources.isDictionary()) {
            QPDFObjectHandle named = resources.getKey("/ColorSpace");
            if (named.isDictionary() && named.hasKey(name))
                ClassifySpace(named.getKey(name), resources, use, depth + 1);
        }
        return;
    }
    if (!space.isArray() || space.getArrayNItems() < 1)
        return;
    QPDFObjectHandle family = space.getArrayItem(0);
    QPDFObjectHandle second = space.getArrayItem(1);
    if (NameIs(family, "/CalRGB") || NameIs(family, "/Lab")) {
        use.rgb = true;
    } else if (NameIs(family, "/ICCBased")) {
        if (second.isStream()) {
            QPDFObjectHandle n = second.getDict().getKey("/N");
            if (n.isInteger() && n.getIntValue() == 3)
                use.rgb = true;
        }
    } else if (NameIs(family, "/Indexed") || NameIs(family, "/I") || NameIs(family, "/Pattern")) {
        if (!second.isNull())
            ClassifySpace(second, resources, use, depth + 1);
    } else if (NameIs(family, "/Separation")) {
        if (second.isName() && !IsProcessColourant(second.getName()))
            use.spots.insert(second.getName().substr(1));
    } else if (NameIs(family, "/DeviceN")) {
        if (second.isArray())
            for (QPDFObjectHandle& colourant : second.aitems())
                if (colourant.isName() && !IsProcessColourant(colourant.getName()))
                    use.spots.insert(colourant.getName().substr(1));
    }
}

// What one page uses, gathered over its content and the forms it draws.
struct PageFindings {
    ColourUse colour;
    bool whiteOverprint = false;
    double lowestDpi = 0;                        // of images below the limit; 0: none
    std::map<std::string, int> fontsNotEmbedded; // name -> page first seen
};

struct GraphicsState {
    Matrix ctm;
    bool overprintFill = false, overprintStroke = false;
    bool whiteFill = false, whiteStroke = false;
    QPDFObjectHandle fillSpace = QPDFObjectHandle::newName("/DeviceGray");
    QPDFObjectHandle strokeSpace = QPDFObjectHandle::newName("/DeviceGray");
};

bool AllEqual(const std::vector<double>& values, double wanted) {
    if (values.empty())
        return false;
    for (double value : values)
        if (std::fabs(value - wanted) > 1e-6)
            return false;
    return true;
}

// Whether components in a device space are paper white (nothing printed).
bool IsWhite(QPDFObjectHandle space, const std::vector<double>& components) {
    if (NameIs(space, "/DeviceCMYK"))
        return components.size() == 4 && AllEqual(components, 0);
    if (NameIs(space, "/DeviceGray") || NameIs(space, "/DeviceRGB"))
        return AllEqual(components, 1);
    return false;
}

// Walks a content stream with its resources, following forms, tracking what
// the press cares about: colour spaces, overprint of white, image
// resolution at its placed size.
class ContentWalker : public QPDFObjectHandle::ParserCallbacks {
public:
    ContentWalker(PageFindings& found, double minDpi, int page)
        : m_found(found), m_minDpi(minDpi), m_page(page) {}

    void Walk(QPDFObjectHandle content, QPDFObjectHandle resources, const Matrix& ctm, int depth) {
        if (depth > kMaxFormDepth)
            return;
        ContentWalker inner(m_found, m_minDpi, m_page);
        inner.m_resources = resources;
        inner.m_state.ctm = ctm;
        inner.m_depth = depth;
        inner.m_visitedForms = m_visitedForms;
        inner.ReadResources();
        if (content.isStream() || content.isArray())
            QPDFObjectHandle::parseContentStream(content, &inner);
    }

    void handleObject(QPDFObjectHandle object) override {
        if (m_inlineImage) {
            if (object.isOperator() && object.getOperatorValue() == "ID") {
                InlineImage();
                m_inlineImage = false;
            } else {
                m_operands.push_back(object);
            }
            return;
        }
        if (!object.isOperator()) {
            m_operands.push_back(object);
            return;
        }
        Operator(object.getOperatorValue());
        m_operands.clear();
    }
    void handleEOF() override {}

private:
    void ReadResources() {
        if (!m_resources.isDictionary())
            return;
        QPDFObjectHandle fonts = m_resources.getKey("/Font");
        if (!fonts.isDictionary())
            return;
        for (auto& [key, font] : fonts.ditems())
            CheckFont(font);
    }

    void CheckFont(QPDFObjectHandle font) {
        if (!font.isDictionary() || NameIs(font.getKey("/Subtype"), "/Type3"))
            return; // a Type 3 font draws its glyphs with the file's own content
        QPDFObjectHandle described = font;
        if (NameIs(font.getKey("/Subtype"), "/Type0")) {
            QPDFObjectHandle descendants = font.getKey("/DescendantFonts");
            if (descendants.isArray() && descendants.getArrayNItems() > 0)
                described = descendants.getArrayItem(0);
        }
        QPDFObjectHandle descriptor =
            described.isDictionary() ? described.getKey("/FontDescriptor") : described;
        const bool embedded =
            descriptor.isDictionary() && (descriptor.getKey("/FontFile").isStream() ||
                                          descriptor.getKey("/FontFile2").isStream() ||
                                          descriptor.getKey("/FontFile3").isStream());
        if (embedded)
            return;
        QPDFObjectHandle name = font.getKey("/BaseFont");
        m_found.fontsNotEmbedded.emplace(name.isName() ? name.getName().substr(1) : "(unnamed)",
                                         m_page);
    }

    std::vector<double> Numbers() const {
        std::vector<double> numbers;
        for (QPDFObjectHandle operand : m_operands)
            if (operand.isNumber())
                numbers.push_back(operand.getNumericValue());
        return numbers;
    }

    QPDFObjectHandle Resource(const char* category, QPDFObjectHandle name) const {
        QPDFObjectHandle resources = m_resources;
        if (!name.isName() || !resources.isDictionary())
            return QPDFObjectHandle::newNull();
        QPDFObjectHandle dict = resources.getKey(category);
        return dict.isDictionary() ? dict.getKey(name.getName()) : QPDFObjectHandle::newNull();
    }

    void UseSpace(QPDFObjectHandle space) { ClassifySpace(space, m_resources, m_found.colour); }

    void Painted(bool fill, bool stroke) {
        if ((fill && m_state.overprintFill && m_state.whiteFill) ||
            (stroke && m_state.overprintStroke && m_state.whiteStroke))
            m_found.whiteOverprint = true;
    }

    void Operator(const std::string& op) {
        const std::vector<double> numbers = Numbers();
        QPDFObjectHandle first = m_operands.empty() ? QPDFObjectHandle::newNull() : m_operands[0];
        if (op == "q") {
            m_stack.push_back(m_state);
        } else if (op == "Q") {
            if (!m_stack.empty()) {
                m_state = m_stack.back();
                m_stack.pop_back();
            }
        } else if (op == "cm") {
            if (numbers.size() == 6)
                m_state.ctm = m_state.ctm.After(
                    Matrix{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]});
        } else if (op == "g" || op == "G") {
            const bool white = AllEqual(numbers, 1);
            (op == "g" ? m_state.whiteFill : m_state.whiteStroke) = white;
            (op == "g" ? m_state.fillSpace : m_state.strokeSpace) =
                QPDFObjectHandle::newName("/DeviceGray");
        } else if (op == "rg" || op == "RG") {
            m_found.colour.rgb = true;
            (op == "rg" ? m_state.whiteFill : m_state.whiteStroke) = AllEqual(numbers, 1);
            (op == "rg" ? m_state.fillSpace : m_state.strokeSpace) =
                QPDFObjectHandle::newName("/DeviceRGB");
        } else if (op == "k" || op == "K") {
            (op == "k" ? m_state.whiteFill : m_state.whiteStroke) =
                numbers.size() == 4 && AllEqual(numbers, 0);
            (op == "k" ? m_state.fillSpace : m_state.strokeSpace) =
                QPDFObjectHandle::newName("/DeviceCMYK");
        } else if (op == "cs" || op == "CS") {
            UseSpace(first);
            (op == "cs" ? m_state.fillSpace : m_state.strokeSpace) = first;
            (op == "cs" ? m_state.whiteFill : m_state.whiteStroke) = false;
        } else if (op == "sc" || op == "scn" || op == "SC" || op == "SCN") {
            const bool fill = op[0] == 's';
            (fill ? m_state.whiteFill : m_state.whiteStroke) =
                IsWhite(fill ? m_state.fillSpace : m_state.strokeSpace, numbers);
        } else if (op == "gs") {
            QPDFObjectHandle state = Resource("/ExtGState", first);
            if (state.isDictionary()) {
                QPDFObjectHandle stroke = state.getKey("/OP"), fill = state.getKey("/op");
                if (stroke.isBool()) {
                    m_state.overprintStroke = stroke.getBoolValue();
                    if (!fill.isBool())
                        m_state.overprintFill = stroke.getBoolValue();
                }
                if (fill.isBool())
                    m_state.overprintFill = fill.getBoolValue();
            }
        } else if (op == "sh") {
            QPDFObjectHandle shading = Resource("/Shading", first);
            if (shading.isStream())
                shading = shading.getDict();
            if (shading.isDictionary())
                UseSpace(shading.getKey("/ColorSpace"));
        } else if (op == "Do") {
            XObject(Resource("/XObject", first));
        } else if (op == "BI") {
            m_inlineImage = true;
        } else if (op == "f" || op == "F" || op == "f*" || op == "Tj" || op == "TJ" || op == "'" ||
                   op == "\"") {
            Painted(true, false);
        } else if (op == "S" || op == "s") {
            Painted(false, true);
        } else if (op == "B" || op == "B*" || op == "b" || op == "b*") {
            Painted(true, true);
        }
    }

    // The image's resolution where the current matrix puts its unit square.
    void ImageDpi(double pixelsWide, double pixelsHigh) {
        const Matrix& m = m_state.ctm;
        const double widthInches = std::hypot(m.a, m.b) / 72.0;
        const double heightInches = std::hypot(m.c, m.d) / 72.0;
        if (widthInches <= 0 || heightInches <= 0 || pixelsWide <= 0 || pixelsHigh <= 0)
            return;
        const double dpi = std::min(pixelsWide / widthInches, pixelsHigh / heightInches);
        if (dpi < m_minDpi && (m_found.lowestDpi == 0 || dpi < m_found.lowestDpi))
            m_found.lowestDpi = dpi;
    }

    void Image(QPDFObjectHandle dict, const char* spaceKey, const char* maskKey,
               const char* widthKey, const char* heightKey) {
        QPDFObjectHandle mask = dict.getKey(maskKey);
        if (!(mask.isBool() && mask.getBoolValue()))
            UseSpace(dict.getKey(spaceKey));
        QPDFObjectHandle w = dict.getKey(widthKey), h = dict.getKey(heightKey);
        if (w.isNumber() && h.isNumber())
            ImageDpi(w.getNumericValue(), h.getNumericValue());
    }

    void InlineImage() {
        QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
        for (size_t i = 0; i + 1 < m_operands.size(); i += 2)
            if (m_operands[i].isName())
                dict.replaceKey(m_operands[i].getName(), m_operands[i + 1]);
        const bool abbreviated = dict.hasKey("/W");
        Image(dict, abbreviated ? "/CS" : "/ColorSpace", abbreviated ? "/IM" : "/ImageMask",
              abbreviated ? "/W" : "/Width", abbreviated ? "/H" : "/Height");
    }

    void XObject(QPDFObjectHandle object) {
        if (!object.isStream())
            return;
        QPDFObjectHandle dict = object.getDict();
        if (NameIs(dict.getKey("/Subtype"), "/Image")) {
            Image(dict, "/ColorSpace", "/ImageMask", "/Width", "/Height");
        } else if (NameIs(dict.getKey("/Subtype"), "/Form")) {
            // A form drawn from itself would never end.
            if (!m_visitedForms.insert(object.getObjGen()).second)
                return;
            Matrix matrix;
            double v[6];
            QPDFObjectHandle m = dict.getKey("/Matrix");
            if (m.isArray() && m.getArrayNItems() == 6) {
                for (int i = 0; i < 6; ++i)
                    v[i] = m.getArrayItem(i).isNumber() ? m.getArrayItem(i).getNumericValue() : 0;
                matrix = Matrix{v[0], v[1], v[2], v[3], v[4], v[5]};
            }
            QPDFObjectHandle resources = dict.getKey("/Resources");
            Walk(object, resources.isDictionary() ? resources : m_resources,
                 m_state.ctm.After(matrix), m_depth + 1);
            // Overprint settings and colours made inside the form end with it.
            m_visitedForms.erase(object.getObjGen());
        }
    }

    PageFindings& m_found;
    double m_minDpi;
    int m_page;
    int m_depth = 0;
    QPDFObjectHandle m_resources;
    GraphicsState m_state;
    std::vector<GraphicsState> m_stack;
    std::vector<QPDFObjectHandle> m_operands;
    bool m_inlineImage = false;
    std::set<QPDFObjGen> m_visitedForms;
};

// Collects findings, joining those that differ only in their page.
class Findings {
public:
    void Add(const std::string& code, int page, double value, const std::string& text) {
        for (PreflightFinding& known : m_list) {
            if (known.code == code && known.text == text) {
                ++known.pages;
                known.value = code == "dpi" ? std::min(known.value, value) : known.value;
                return;
            }
        }
        m_list.push_back(PreflightFinding{code, page, 1, value, text});
    }
    std::vector<PreflightFinding> Take() { return std::move(m_list); }

private:
    std::vector<PreflightFinding> m_list;
};

std::string Size(double w, double h) {
    return Mm(w) + " x " + Mm(h) + " mm";
}

// The page's box in mm as placed (its /Rotate applied), from a rect in its
// own units.
void ShownSize(const double rect[4], const PageBox& box, double& w, double& h) {
    const double width = PtToMm((rect[2] - rect[0]) * box.unit);
    const double height = PtToMm((rect[3] - rect[1]) * box.unit);
    w = box.turns % 2 ? height : width;
    h = box.turns % 2 ? width : height;
}

// The least distance, in mm, from an inner rect to an outer one over the
// four sides (negative when the inner one sticks out).
double LeastMargin(const double inner[4], const double outer[4], double unit) {
    const double margin = std::min(std::min(inner[0] - outer[0], inner[1] - outer[1]),
                                   std::min(outer[2] - inner[2], outer[3] - inner[3]));
    return PtToMm(margin * unit);
}

void CheckSize(PdfSource& source, int page, const PreflightRequest& request, Findings& findings) {
    if (request.width <= 0 || request.height <= 0)
        return;
    const PageBox& box = source.Box(page);
    QPDFObjectHandle object = source.Page(page);
    const double visible[4] = {box.llx, box.lly, box.urx, box.ury};
    double shownW, shownH;
    ShownSize(visible, box, shownW, shownH);
    // Upright or turned, whichever the page is nearer to.
    double w = request.width, h = request.height;
    if (std::fabs(shownW - h) + std::fabs(shownH - w) <
        std::fabs(shownW - w) + std::fabs(shownH - h))
        std::swap(w, h);
    const std::string order = Size(w, h);
    const std::string wanted = Mm(request.bleed) + " mm";

    double trim[4];
    if (ReadRect(object.getKey("/TrimBox"), trim)) {
        double trimW, trimH;
        ShownSize(trim, box, trimW, trimH);
        if (std::fabs(trimW - w) > kSizeToleranceMm || std::fabs(trimH - h) > kSizeToleranceMm) {
            findings.Add("size", page, trimW,
                         "the trim box is " + Size(trimW, trimH) + "; the order is " + order);
            return;
        }
        const double bleed = LeastMargin(trim, visible, box.unit);
        if (bleed < request.bleed - kBleedToleranceMm) {
            findings.Add("bleed", page, std::max(0.0, bleed),
                         "the page reaches " + Mm(std::max(0.0, bleed)) +
                             " mm beyond the trim box; the shop's bleed is " + wanted);
            return; // a bleed box cannot hold more than the page has
        }
        double bleedBox[4];
        if (ReadRect(object.getKey("/BleedBox"), bleedBox)) {
            const double declared = LeastMargin(trim, bleedBox, box.unit);
            if (declared < request.bleed - kBleedToleranceMm)
                findings.Add("bleed-box", page, std::max(0.0, declared),
                             "the bleed box reaches " + Mm(std::max(0.0, declared)) +
                                 " mm beyond the trim box; the shop's bleed is " + wanted);
        }
        return;
    }
    // Without a trim box the finished size is taken to lie in the middle.
    const double extraW = (shownW - w) / 2, extraH = (shownH - h) / 2;
    const std::string page_ = "the page is " + Size(shownW, shownH);
    if (extraW < -kSizeToleranceMm || extraH < -kSizeToleranceMm) {
        findings.Add("size", page, shownW, page_ + ", smaller than the order's " + order);
    } else if (std::fabs(extraW - extraH) > 2 * kSizeToleranceMm ||
               std::min(extraW, extraH) > std::max(request.bleed, 0.0) + kExtraBleedMm) {
        findings.Add("size", page, shownW, page_ + "; the order is " + order);
    } else if (std::min(extraW, extraH) < request.bleed - kBleedToleranceMm) {
        const double bleed = std::max(0.0, std::min(extraW, extraH));
        findings.Add("bleed", page, bleed,
                     page_ + ": " + Mm(bleed) + " mm of bleed; the shop's bleed is " + wanted);
    }
}

void CheckContent(PdfSource& source, int page, const PreflightRequest& request, Findings& findings,
                  std::map<std::string, int>& fonts) {
    QPDFObjectHandle object = source.Page(page);
    QPDFObjectHandle resources = QPDFPageObjectHelper(object).getAttribute("/Resources", false);
    PageFindings found;
    ContentWalker walker(found, request.minDpi, page);
    walker.Walk(object.getKey("/Contents"), resources, Matrix{}, 0);
    if (request.cmyk && found.colour.rgb)
        findings.Add("rgb", page, 0, "RGB colour on a CMYK job");
    if (request.cmyk && !found.colour.spots.empty()) {
        std::string names;
        for (const std::string& name : found.colour.spots)
            names += (names.empty() ? "" : ", ") + name;
        findings.Add("spot", page, double(found.colour.spots.size()),
                     "spot colours on a CMYK job: " + names);
    }
    if (found.whiteOverprint)
        findings.Add("overprint", page, 0, "white set to overprint: it vanishes on press");
    if (found.lowestDpi > 0)
        findings.Add("dpi", page, std::floor(found.lowestDpi),
                     "an image of " + FormatNumber(std::floor(found.lowestDpi), 0) +
                         " dpi at its placed size (below " + FormatNumber(request.minDpi, 0) + ")");
    for (auto& [name, first] : found.fontsNotEmbedded)
        fonts.emplace(name, first);
}

} // namespace

std::vector<PreflightFinding>
Preflight(const std::function<std::shared_ptr<PdfSource>(const std::string&)>& sources,
          const PreflightRequest& request) {
    if (request.path.empty())
        throw Failure("no PDF given");
    if (!std::isfinite(request.width) || !std::isfinite(request.height) || request.width < 0 ||
        request.height < 0 || !std::isfinite(request.bleed) || request.bleed < 0 ||
        request.pages < 0 || !std::isfinite(request.minDpi) || request.minDpi < 0)
        throw Failure("the preflight request has a size, bleed, page count or resolution out of "
                      "range");
    struct stat info;
    if (stat(request.path.c_str(), &info) != 0)
        throw Failure(request.path + ": the file does not exist");

    Findings findings;
    std::shared_ptr<PdfSource> source;
    try {
        source = sources(request.path);
    } catch (const LockedPdf& locked) {
        findings.Add("encrypted", 0, 0, locked.what());
        return findings.Take();
    } catch (const Failure& failure) {
        findings.Add("damaged", 0, 0, failure.what());
        return findings.Take();
    }
    if (source->Pdf().isEncrypted())
        findings.Add("encrypted", 0, 0,
                     "the file is encrypted (it opens without a password and allows printing)");
    if (source->Repaired())
        findings.Add("repaired", 0, 0, "the file is damaged and was repaired to be read");
    const int pageCount = source->PageCount();
    if (request.pages > 0 && pageCount != request.pages)
        findings.Add("pages", 0, pageCount,
                     "the file has " + std::to_string(pageCount) + " pages; the order places " +
                         std::to_string(request.pages));
    std::map<std::string, int> fonts;
    try {
        for (int page = 1; page <= pageCount; ++page) {
            CheckSize(*source, page, request, findings);
            CheckContent(*source, page, request, findings, fonts);
        }
    } catch (const Failure&) {
        throw;
    } catch (const std::exception& e) {
        findings.Add("damaged", 0, 0, std::string("the page content cannot be read: ") + e.what());
    }
    for (auto& [name, page] : fonts)
        findings.Add("font", page, 0, "the font " + name + " is not embedded");
    return findings.Take();
}

} // namespace pdfcompose
