#include "sharedobjects.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace pdfcompose {
namespace {

using OH = QPDFObjectHandle;

bool IsFontOrImage(OH object) {
    OH dict = object.isStream() ? object.getDict() : object;
    if (!dict.isDictionary())
        return false;
    if (object.isStream())
        return dict.getKey("/Subtype").isNameAndEquals("/Image");
    return dict.getKey("/Type").isNameAndEquals("/Font");
}

// Pages and optional content groups keep their identity: two equal groups
// from two files are still two switches.
bool KeepsIdentity(OH object) {
    if (!object.isDictionary())
        return false;
    OH type = object.getKey("/Type");
    return type.isNameAndEquals("/Page") || type.isNameAndEquals("/Pages") ||
           type.isNameAndEquals("/OCG") || type.isNameAndEquals("/OCMD");
}

// The indirect objects reachable from the document's fonts and images:
// descriptors, font programs, widths, encodings, soft masks.
std::set<QPDFObjGen> Candidates(QPDF& pdf) {
    std::set<QPDFObjGen> found;
    std::vector<OH> pending;
    for (OH& object : pdf.getAllObjects())
        if (IsFontOrImage(object) && found.insert(object.getObjGen()).second)
            pending.push_back(object);
    std::function<void(OH)> visit = [&](OH value) {
        if (value.isIndirect()) {
            if (!KeepsIdentity(value) && found.insert(value.getObjGen()).second)
                pending.push_back(value);
            return;
        }
        if (value.isArray())
            for (OH& item : value.getArrayAsVector())
                visit(item);
        else if (value.isDictionary())
            for (auto& [key, item] : value.getDictAsMap())
                visit(item);
    };
    while (!pending.empty()) {
        OH object = pending.back();
        pending.pop_back();
        OH body = object.isStream() ? object.getDict() : object;
        if (body.isArray())
            for (OH& item : body.getArrayAsVector())
                visit(item);
        else if (body.isDictionary())
            for (auto& [key, item] : body.getDictAsMap())
                visit(item);
    }
    return found;
}

class Sharing {
public:
    QPDFObjGen Root(QPDFObjGen og) const {
        for (auto it = m_replaced.find(og); it != m_replaced.end(); it = m_replaced.find(og))
            og = it->second;
        return og;
    }
    bool Replaced(QPDFObjGen og) const { return m_replaced.count(og) != 0; }
    void Replace(QPDFObjGen duplicate, QPDFObjGen kept) { m_replaced[duplicate] = kept; }
    bool Empty() const { return m_replaced.empty(); }

    // The object written out with references named by the object they now
    // stand for; a stream's /Length is left to its bytes.
    void Key(OH value, std::string& out, bool top) const {
        if (!top && value.isIndirect()) {
            const QPDFObjGen og = Root(value.getObjGen());
            out += "@" + std::to_string(og.getObj()) + "." + std::to_string(og.getGen()) + " ";
            return;
        }
        if (value.isStream()) {
            out += "stream ";
            Key(value.getDict(), out, false);
        } else if (value.isArray()) {
            out += "[ ";
            for (OH& item : value.getArrayAsVector())
                Key(item, out, false);
            out += "] ";
        } else if (value.isDictionary()) {
            out += "<< ";
            for (auto& [key, item] : value.getDictAsMap()) {
                if (key == "/Length" || item.isNull())
                    continue;
                out += OH::newName(key).unparse() + " ";
                Key(item, out, false);
            }
            out += ">> ";
        } else {
            out += value.unparseBinary() + " ";
        }
    }

private:
    std::map<QPDFObjGen, QPDFObjGen> m_replaced;
};

std::string RawData(OH stream) {
    std::shared_ptr<Buffer> data = stream.getRawStreamData();
    return std::string(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
}

} // namespace

void ShareIdenticalResources(QPDF& pdf) {
    const std::set<QPDFObjGen> candidates = Candidates(pdf);
    if (candidates.size() < 2)
        return;
    Sharing sharing;
    // An object can only match once what it refers to has been merged, so
    // passes run until one merges nothing.
    for (bool merged = true; merged;) {
        merged = false;
        std::map<std::string, std::vector<OH>> groups;
        for (const QPDFObjGen& og : candidates) {
            if (sharing.Replaced(og))
                continue;
            OH object = pdf.getObject(og);
            std::string key;
            sharing.Key(object, key, true);
            groups[key].push_back(object);
        }
        for (auto& [key, group] : groups) {
            if (group.size() < 2)
                continue;
            if (!group.front().isStream()) {
                for (size_t i = 1; i < group.size(); ++i)
                    sharing.Replace(group[i].getObjGen(), group.front().getObjGen());
                merged = true;
                continue;
            }
            // Streams: the first of each set of equal bytes is kept.
            std::vector<std::pair<std::string, QPDFObjGen>> kept;
            for (OH& stream : group) {
                std::string data = RawData(stream);
                bool found = false;
                for (const auto& [bytes, og] : kept)
                    if (bytes == data) {
                        sharing.Replace(stream.getObjGen(), og);
                        merged = found = true;
                        break;
                    }
                if (!found)
                    kept.emplace_back(std::move(data), stream.getObjGen());
            }
        }
    }
    if (sharing.Empty())
        return;
    std::map<QPDFObjGen, OH> to;
    for (const QPDFObjGen& og : candidates)
        if (sharing.Replaced(og))
            to[og] = pdf.getObject(sharing.Root(og));
    RedirectReferences(pdf, to);
}

void RedirectReferences(QPDF& pdf, const std::map<QPDFObjGen, OH>& to) {
    if (to.empty())
        return;
    std::function<void(OH)> redirect = [&](OH value) {
        if (value.isArray()) {
            const int n = value.getArrayNItems();
            for (int i = 0; i < n; ++i) {
                OH item = value.getArrayItem(i);
                if (!item.isIndirect())
                    redirect(item);
                else if (auto found = to.find(item.getObjGen()); found != to.end())
                    value.setArrayItem(i, found->second);
            }
        } else if (value.isDictionary()) {
            for (auto& [key, item] : value.getDictAsMap()) {
                if (!item.isIndirect())
                    redirect(item);
                else if (auto found = to.find(item.getObjGen()); found != to.end())
                    value.replaceKey(key, found->second);
            }
        }
    };
    for (OH& object : pdf.getAllObjects())
        redirect(object.isStream() ? object.getDict() : object);
    redirect(pdf.getTrailer());
}

} // namespace pdfcompose
