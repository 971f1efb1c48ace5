#include "pdfsource.h"

#include "deflate.h"
#include "failure.h"
#include "geometry.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <cmath>
#include <set>

namespace pdfcompose {
namespace {

// Content streams inflate to at most this much; more is taken for a
// decompression bomb rather than artwork.
constexpr size_t kMaxContentBytes = size_t(256) << 20;

class LimitedDiscard : public Pipeline {
public:
    LimitedDiscard() : Pipeline("check", nullptr) {}
    void write(unsigned char const*, size_t len) override {
        m_total += len;
        if (m_total > kMaxContentBytes)
            throw Failure("a content stream inflates to more than 256 MB");
    }
    void finish() override {}

private:
    size_t m_total = 0;
};

std::string FirstWarning(QPDF& pdf) {
    std::vector<QPDFExc> warnings = pdf.getWarnings();
    return warnings.empty() ? std::string() : std::string(warnings.front().what());
}

// An inherited page attribute, walking /Parent with a guard against loops.
QPDFObjectHandle Inherited(QPDFObjectHandle node, const std::string& key) {
    std::set<QPDFObjGen> seen;
    for (int depth = 0; node.isDictionary() && depth < 1000; ++depth) {
        if (node.isIndirect() && !seen.insert(node.getObjGen()).second)
            throw Failure("the page tree has a loop");
        QPDFObjectHandle value = node.getKey(key);
        if (!value.isNull())
            return value;
        node = node.getKey("/Parent");
    }
    return QPDFObjectHandle::newNull();
}

bool ReadRect(QPDFObjectHandle rect, double& llx, double& lly, double& urx, double& ury) {
    if (!rect.isArray() || rect.getArrayNItems() != 4)
        return false;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        QPDFObjectHandle item = rect.getArrayItem(i);
        if (!item.isNumber())
            return false;
        v[i] = item.getNumericValue();
        if (!std::isfinite(v[i]) || std::fabs(v[i]) > 1e6)
            return false;
    }
    llx = std::min(v[0], v[2]);
    urx = std::max(v[0], v[2]);
    lly = std::min(v[1], v[3]);
    ury = std::max(v[1], v[3]);
    return true;
}

std::vector<QPDFObjectHandle> ContentStreams(QPDFObjectHandle page) {
    QPDFObjectHandle contents = page.getKey("/Contents");
    std::vector<QPDFObjectHandle> streams;
    if (contents.isStream()) {
        streams.push_back(contents);
    } else if (contents.isArray()) {
        for (int i = 0; i < contents.getArrayNItems(); ++i) {
            QPDFObjectHandle item = contents.getArrayItem(i);
            if (!item.isStream())
                throw Failure("a page's /Contents holds something other than a stream");
            streams.push_back(item);
        }
    } else if (!contents.isNull()) {
        throw Failure("a page's /Contents is not a stream");
    }
    return streams;
}

// Reads the raw bytes of every stream the resources reach (images, fonts,
// forms), so that a stream whose bytes are missing fails now and not while
// an output is written.
void ReadStreams(QPDFObjectHandle root, std::set<QPDFObjGen>& seen) {
    std::vector<QPDFObjectHandle> pending{root};
    while (!pending.empty()) {
        QPDFObjectHandle object = pending.back();
        pending.pop_back();
        if (object.isIndirect() && !seen.insert(object.getObjGen()).second)
            continue;
        if (object.isStream()) {
            Pl_Discard sink;
            bool filtered = false;
            if (!object.pipeStreamData(&sink, &filtered, 0, qpdf_dl_none, true))
                throw Failure("a stream cannot be read");
            pending.push_back(object.getDict());
        } else if (object.isDictionary()) {
            for (auto& [key, value] : object.ditems())
                if (key != "/Parent")
                    pending.push_back(value);
        } else if (object.isArray()) {
            for (QPDFObjectHandle& item : object.aitems())
                pending.push_back(item);
        }
    }
}

} // namespace

int VersionTenths(const std::string& version) {
    if (version.size() != 3 || version[1] != '.' || version[0] < '1' || version[0] > '9' ||
        version[2] < '0' || version[2] > '9')
        return 0;
    return (version[0] - '0') * 10 + (version[2] - '0');
}

std::shared_ptr<PdfSource> PdfSource::Open(const std::string& path) {
    std::shared_ptr<PdfSource> source(new PdfSource);
    source->m_path = path;
    try {
        source->m_pdf = std::make_shared<QPDF>();
        QPDF& pdf = *source->m_pdf;
        pdf.setSuppressWarnings(true);
        // A file that needs repair may have lost objects; artwork must not
        // silently lose parts, so damage is refused instead of recovered.
        pdf.setAttemptRecovery(false);
        pdf.processFile(path.c_str());
        source->Check();
    } catch (const Failure& failure) {
        throw Failure(path + ": " + failure.what());
    } catch (const QPDFExc& e) {
        throw Failure(path + ": not a readable PDF (" + e.getMessageDetail() + ")");
    } catch (const std::exception& e) {
        throw Failure(path + ": not a readable PDF (" + e.what() + ")");
    }
    return source;
}

void PdfSource::Check() {
    QPDF& pdf = *m_pdf;
    if (pdf.isEncrypted())
        throw Failure("the PDF is encrypted");
    m_pages = pdf.getAllPages();
    if (pdf.anyWarnings())
        throw Failure("damaged page tree: " + FirstWarning(pdf));
    if (m_pages.empty())
        throw Failure("the PDF has no pages");
    // Annotations that print (stamps, filled-in form fields) are part of the
    // artwork; a placed page carries none, so their appearances join the
    // page's content.
    bool annotated = false;
    for (QPDFObjectHandle& page : m_pages)
        annotated = annotated || page.getKey("/Annots").isArray();
    if (annotated) {
        QPDFPageDocumentHelper(pdf).flattenAnnotations(an_print, an_invisible | an_hidden);
        if (pdf.anyWarnings())
            throw Failure("damaged annotations: " + FirstWarning(pdf));
    }
    std::set<QPDFObjGen> readStreams;
    for (QPDFObjectHandle& page : m_pages) {
        PageBox box;
        double mllx, mlly, murx, mury;
        if (!ReadRect(Inherited(page, "/MediaBox"), mllx, mlly, murx, mury))
            throw Failure("a page has no valid /MediaBox");
        box.llx = mllx, box.lly = mlly, box.urx = murx, box.ury = mury;
        double cllx, clly, curx, cury;
        if (ReadRect(Inherited(page, "/CropBox"), cllx, clly, curx, cury)) {
            box.llx = std::max(mllx, cllx);
            box.lly = std::max(mlly, clly);
            box.urx = std::min(murx, curx);
            box.ury = std::min(mury, cury);
        }
        if (box.Width() < 0.01 || box.Height() < 0.01)
            throw Failure("a page's visible box is empty");
        QPDFObjectHandle rotate = Inherited(page, "/Rotate");
        if (rotate.isNumber() && !QuarterTurnsOf(rotate.getNumericValue(), box.turns))
            throw Failure("a page's /Rotate is not a multiple of 90");
        QPDFObjectHandle resources = Inherited(page, "/Resources");
        if (!resources.isNull() && !resources.isDictionary())
            throw Failure("a page's /Resources is not a dictionary");
        for (QPDFObjectHandle& stream : ContentStreams(page)) {
            LimitedDiscard sink;
            bool filtered = false;
            if (!stream.pipeStreamData(&sink, &filtered, 0, qpdf_dl_all, true))
                throw Failure("a content stream cannot be decoded");
            if (!filtered && !stream.getDict().getKey("/Filter").isNull())
                throw Failure("a content stream uses a filter that cannot be decoded");
        }
        ReadStreams(resources, readStreams);
        if (pdf.anyWarnings())
            throw Failure("damaged content: " + FirstWarning(pdf));
        m_boxes.push_back(box);
    }
    m_extensionLevel = pdf.getExtensionLevel();
    m_version = pdf.getPDFVersion();
    // The catalog may declare a later version than the header.
    QPDFObjectHandle catalogVersion = pdf.getRoot().getKey("/Version");
    if (catalogVersion.isName() &&
        VersionTenths(catalogVersion.getName().substr(1)) > VersionTenths(m_version))
        m_version = catalogVersion.getName().substr(1);
    if (pdf.anyWarnings())
        throw Failure("damaged file: " + FirstWarning(pdf));
}

const PageBox& PdfSource::Box(int page) const {
    if (page < 1 || page > PageCount())
        throw Failure(m_path + ": there is no page " + std::to_string(page) + " (the file has " +
                      std::to_string(PageCount()) + ")");
    return m_boxes[page - 1];
}

QPDFObjectHandle PdfSource::FormXObject(int pageNumber) {
    const PageBox& box = Box(pageNumber);
    QPDFObjectHandle page = m_pages[pageNumber - 1];
    std::vector<QPDFObjectHandle> streams = ContentStreams(page);
    QPDFObjectHandle form;
    if (streams.size() == 1) {
        // The page's own stream, filters and bytes as they are.
        form = streams.front().copyStream();
    } else {
        std::string data;
        for (QPDFObjectHandle& stream : streams) {
            std::shared_ptr<Buffer> decoded = stream.getStreamData(qpdf_dl_all);
            data.append(reinterpret_cast<const char*>(decoded->getBuffer()), decoded->getSize());
            data.push_back('\n');
        }
        form = m_pdf->newStream();
        form.replaceStreamData(Deflate(data), QPDFObjectHandle::newName("/FlateDecode"),
                               QPDFObjectHandle::newNull());
    }
    QPDFObjectHandle dict = form.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
    dict.replaceKey("/FormType", QPDFObjectHandle::newInteger(1));
    dict.replaceKey(
        "/BBox",
        QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{
            QPDFObjectHandle::newReal(box.llx, 4), QPDFObjectHandle::newReal(box.lly, 4),
            QPDFObjectHandle::newReal(box.urx, 4), QPDFObjectHandle::newReal(box.ury, 4)}));
    QPDFObjectHandle resources = Inherited(page, "/Resources");
    dict.replaceKey("/Resources",
                    resources.isNull() ? QPDFObjectHandle::newDictionary() : resources);
    QPDFObjectHandle group = page.getKey("/Group");
    if (group.isDictionary())
        dict.replaceKey("/Group", group);
    return form;
}

} // namespace pdfcompose
