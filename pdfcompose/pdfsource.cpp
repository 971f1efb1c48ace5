#include "pdfsource.h"

#include "deflate.h"
#include "failure.h"
#include "fileinput.h"
#include "geometry.h"
#include "sourcefile.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <sys/stat.h>

namespace pdfcompose {
namespace {

using Clock = std::chrono::steady_clock;

// The time a source may take to be checked, looked at between steps.
class Deadline {
public:
    Deadline()
        : m_end(Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                   std::chrono::duration<double>(limits::kCheckSeconds))) {}
    void Check() const {
        if (Clock::now() > m_end)
            throw Failure("reading the file takes longer than " +
                          std::to_string(int(limits::kCheckSeconds)) + " s; it is refused");
    }

private:
    Clock::time_point m_end;
};

// Page content inflates to at most kContentBytes in all; more is taken for
// a decompression bomb rather than artwork.
class LimitedDiscard : public Pipeline {
public:
    LimitedDiscard(long long& total, const Deadline& deadline)
        : Pipeline("check", nullptr), m_total(total), m_deadline(deadline) {}
    void write(unsigned char const*, size_t len) override {
        m_total += static_cast<long long>(len);
        if (m_total > limits::kContentBytes)
            throw Failure("the page content inflates to more than " +
                          std::to_string(limits::kContentBytes >> 20) + " MB");
        m_deadline.Check();
    }
    void finish() override {}

private:
    long long& m_total;
    const Deadline& m_deadline;
};

std::string FirstWarning(QPDF& pdf) {
    std::vector<QPDFExc> warnings = pdf.getWarnings();
    return warnings.empty() ? std::string() : std::string(warnings.front().what());
}

std::string Mm(double pt) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f mm", pt / 72.0 * 25.4);
    return text;
}

bool NameIs(QPDFObjectHandle object, const char* name) {
    return object.isName() && object.getName() == name;
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
void ReadStreams(QPDFObjectHandle root, std::set<QPDFObjGen>& seen, const Deadline& deadline) {
    std::vector<QPDFObjectHandle> pending{root};
    while (!pending.empty()) {
        deadline.Check();
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
        long long size = 0;
        const int fd = OpenSourceFile(path, size);
        auto input = std::make_shared<FileInput>(path, fd, size);
        source->m_pdf = std::make_shared<QPDF>();
        QPDF& pdf = *source->m_pdf;
        pdf.setSuppressWarnings(true);
        pdf.processInputSource(input);
        source->Check();
    } catch (const LockedPdf& failure) {
        throw LockedPdf(path + ": " + failure.what());
    } catch (const Failure& failure) {
        throw Failure(path + ": " + failure.what());
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_password)
            throw LockedPdf(path + ": the PDF is protected by a password");
        throw Failure(path + ": not a readable PDF (" + e.getMessageDetail() + ")");
    } catch (const std::exception& e) {
        throw Failure(path + ": not a readable PDF (" + e.what() + ")");
    }
    return source;
}

void PdfSource::Check() {
    QPDF& pdf = *m_pdf;
    const Deadline deadline;
    if (pdf.isEncrypted()) {
        // Opened with the empty user password; the owner's restrictions
        // still bind what the press may do with it.
        if (!pdf.allowPrintLowRes())
            throw LockedPdf("the PDF's security settings do not allow printing");
        if (!pdf.allowPrintHighRes())
            throw LockedPdf("the PDF's security settings allow printing only at low resolution");
        m_notes.push_back("the PDF is encrypted without a password to open it; it allows "
                          "printing and is read as it prints");
    }
    // Resolve every object now, so that qpdf repairs a damaged cross-
    // reference table here, before the page tree is read.
    for (QPDFObjectHandle& object : pdf.getAllObjects()) {
        object.getTypeCode();
        deadline.Check();
    }
    std::vector<QPDFExc> repairs = pdf.getWarnings();
    if (!repairs.empty()) {
        m_repaired = true;
        std::string note = "the file is damaged and was repaired: " +
                           std::string(repairs.front().getMessageDetail());
        if (repairs.size() > 1)
            note += " (and " + std::to_string(repairs.size() - 1) + " more findings)";
        m_notes.push_back(note);
    }
    m_pages = pdf.getAllPages();
    if (pdf.anyWarnings())
        throw Failure("damaged page tree: " + FirstWarning(pdf));
    if (m_pages.empty())
        throw Failure("the PDF has no pages");
    if (m_pages.size() > size_t(limits::kPages))
        throw Failure("the PDF has more than " + std::to_string(limits::kPages) + " pages");
    CheckForm();
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
    deadline.Check();
    std::set<QPDFObjGen> readStreams;
    long long contentBytes = 0;
    for (QPDFObjectHandle& page : m_pages) {
        deadline.Check();
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
        QPDFObjectHandle unit = page.getKey("/UserUnit");
        if (!unit.isNull()) {
            if (!unit.isNumber() || !std::isfinite(unit.getNumericValue()) ||
                unit.getNumericValue() <= 0 || unit.getNumericValue() > 75000)
                throw Failure("a page's /UserUnit is not a number from 0 to 75000");
            box.unit = unit.getNumericValue();
        }
        if (box.Width() * box.unit < 0.01 || box.Height() * box.unit < 0.01)
            throw Failure("a page's visible box is empty");
        if (std::max(box.Width(), box.Height()) * box.unit > MmToPt(limits::kPageMm))
            throw Failure("a page is larger than " + std::to_string(int(limits::kPageMm)) +
                          " mm (" + Mm(box.Width() * box.unit) + " x " +
                          Mm(box.Height() * box.unit) + ")");
        QPDFObjectHandle rotate = Inherited(page, "/Rotate");
        if (rotate.isNumber() && !QuarterTurnsOf(rotate.getNumericValue(), box.turns))
            throw Failure("a page's /Rotate is not a multiple of 90");
        QPDFObjectHandle resources = Inherited(page, "/Resources");
        if (!resources.isNull() && !resources.isDictionary())
            throw Failure("a page's /Resources is not a dictionary");
        for (QPDFObjectHandle& stream : ContentStreams(page)) {
            LimitedDiscard sink(contentBytes, deadline);
            bool filtered = false;
            if (!stream.pipeStreamData(&sink, &filtered, 0, qpdf_dl_all, true))
                throw Failure("a content stream cannot be decoded");
            if (!filtered && !stream.getDict().getKey("/Filter").isNull())
                throw Failure("a content stream uses a filter that cannot be decoded");
        }
        ReadStreams(resources, readStreams, deadline);
        if (pdf.anyWarnings())
            throw Failure("damaged content: " + FirstWarning(pdf));
        m_boxes.push_back(box);
    }
    ReadOptionalContent();
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

void PdfSource::CheckForm() {
    QPDFObjectHandle form = m_pdf->getRoot().getKey("/AcroForm");
    if (!form.isDictionary())
        return;
    // A field tree is a tree: a field reached twice (a loop, or a child
    // listed again) would make every reader walk it without end.
    std::set<QPDFObjGen> seen;
    std::vector<std::pair<QPDFObjectHandle, int>> pending;
    QPDFObjectHandle fields = form.getKey("/Fields");
    if (fields.isArray())
        for (QPDFObjectHandle& field : fields.aitems())
            pending.emplace_back(field, 1);
    int count = 0, widgets = 0, withoutAppearance = 0;
    while (!pending.empty()) {
        auto [field, depth] = pending.back();
        pending.pop_back();
        if (!field.isDictionary())
            continue;
        if (field.isIndirect() && !seen.insert(field.getObjGen()).second)
            throw Failure("damaged form: the form field " + field.getObjGen().unparse(' ') +
                          " appears more than once in the field tree");
        if (++count > limits::kFormFields)
            throw Failure("the form has more than " + std::to_string(limits::kFormFields) +
                          " fields");
        if (depth > limits::kFormDepth)
            throw Failure("the form's field tree is deeper than " +
                          std::to_string(limits::kFormDepth) + " levels");
        QPDFObjectHandle kids = field.getKey("/Kids");
        if (kids.isArray()) {
            for (QPDFObjectHandle& kid : kids.aitems())
                pending.emplace_back(kid, depth + 1);
        }
        if (NameIs(field.getKey("/Subtype"), "/Widget")) {
            ++widgets;
            if (!field.getKey("/AP").isDictionary())
                ++withoutAppearance;
        }
    }
    QPDFObjectHandle need = form.getKey("/NeedAppearances");
    if (need.isBool() && need.getBoolValue()) {
        // The flag asks a viewer to redraw the fields; the press shows the
        // appearances the file holds, as a viewer prints them.
        form.removeKey("/NeedAppearances");
        std::string note = "the form asks viewers to redraw its fields; the appearances the file "
                           "holds are placed";
        if (withoutAppearance > 0)
            note += " (" + std::to_string(withoutAppearance) + " of " + std::to_string(widgets) +
                    " fields have none and are left out)";
        m_notes.push_back(note);
    }
}

void PdfSource::ReadOptionalContent() {
    QPDFObjectHandle properties = m_pdf->getRoot().getKey("/OCProperties");
    if (!properties.isDictionary())
        return;
    QPDFObjectHandle groups = properties.getKey("/OCGs");
    if (!groups.isArray())
        return;
    std::map<QPDFObjGen, bool> shown;
    QPDFObjectHandle config = properties.getKey("/D");
    const bool baseOn = !(config.isDictionary() && NameIs(config.getKey("/BaseState"), "/OFF"));
    for (QPDFObjectHandle& group : groups.aitems())
        if (group.isIndirect() && group.isDictionary() &&
            shown.emplace(group.getObjGen(), baseOn).second)
            m_ocgs.push_back(group);
    if (!config.isDictionary())
        return;
    auto set = [&](QPDFObjectHandle list, bool on) {
        if (list.isArray())
            for (QPDFObjectHandle& group : list.aitems())
                if (group.isIndirect() && shown.count(group.getObjGen()))
                    shown[group.getObjGen()] = on;
    };
    set(config.getKey("/ON"), true);
    set(config.getKey("/OFF"), false);
    // Groups the configuration ties to printing take their print state.
    QPDFObjectHandle automatic = config.getKey("/AS");
    if (automatic.isArray()) {
        for (QPDFObjectHandle& usage : automatic.aitems()) {
            if (!usage.isDictionary() || !NameIs(usage.getKey("/Event"), "/Print"))
                continue;
            QPDFObjectHandle list = usage.getKey("/OCGs");
            if (!list.isArray())
                continue;
            for (QPDFObjectHandle& group : list.aitems()) {
                if (!group.isIndirect() || !shown.count(group.getObjGen()))
                    continue;
                QPDFObjectHandle state =
                    group.getKey("/Usage").getKey("/Print").getKey("/PrintState");
                if (NameIs(state, "/ON") || NameIs(state, "/OFF"))
                    shown[group.getObjGen()] = NameIs(state, "/ON");
            }
        }
    }
    std::string names;
    for (QPDFObjectHandle& group : m_ocgs) {
        if (shown[group.getObjGen()])
            continue;
        m_hiddenInPrint.push_back(group);
        QPDFObjectHandle name = group.getKey("/Name");
        names += (names.empty() ? "\"" : ", \"") +
                 (name.isString() ? name.getUTF8Value() : group.getObjGen().unparse(' ')) + "\"";
    }
    if (!m_hiddenInPrint.empty())
        m_notes.push_back("layers that do not print stay hidden: " + names);
}

const PageBox& PdfSource::Box(int page) const {
    if (page < 1 || page > PageCount())
        throw Failure(m_path + ": there is no page " + std::to_string(page) + " (the file has " +
                      std::to_string(PageCount()) + ")");
    return m_boxes[page - 1];
}

QPDFObjectHandle PdfSource::Page(int page) const {
    Box(page); // checks the number
    return m_pages[size_t(page) - 1];
}

QPDFObjectHandle PdfSource::FormXObject(int pageNumber) {
    const PageBox& box = Box(pageNumber);
    auto made = m_forms.find(pageNumber);
    if (made != m_forms.end())
        return made->second;
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
    m_forms.emplace(pageNumber, form);
    return form;
}

std::shared_ptr<PdfSource> SourceCache::Get(const std::string& path) {
    struct stat info;
    const bool known = stat(path.c_str(), &info) == 0;
    const long long mtime = known ? info.st_mtim.tv_sec * 1000000000ll + info.st_mtim.tv_nsec : 0;
    for (size_t i = 0; known && i < m_entries.size(); ++i) {
        Entry& entry = m_entries[i];
        if (entry.path == path && entry.size == info.st_size && entry.mtime == mtime &&
            entry.inode == static_cast<long long>(info.st_ino)) {
            std::rotate(m_entries.begin(), m_entries.begin() + i, m_entries.begin() + i + 1);
            return m_entries.front().source;
        }
    }
    std::shared_ptr<PdfSource> source = PdfSource::Open(path); // throws for a missing file
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const Entry& entry) { return entry.path == path; }),
                    m_entries.end());
    if (known)
        m_entries.insert(m_entries.begin(), Entry{path, info.st_size, mtime,
                                                  static_cast<long long>(info.st_ino), source});
    if (m_entries.size() > kEntries)
        m_entries.pop_back();
    return source;
}

} // namespace pdfcompose
