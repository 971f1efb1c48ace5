#include "optionalcontent.h"

#include "pdfsource.h"

namespace pdfcompose {

void OptionalContent::Add(QPDF& target, PdfSource& source) {
    if (!m_sources.insert(&source).second)
        return;
    // qpdf hands out one copy per foreign object, so these are the very
    // groups the copied pages refer to.
    for (const QPDFObjectHandle& group : source.OptionalContentGroups())
        m_groups.push_back(target.copyForeignObject(group));
    for (const QPDFObjectHandle& group : source.HiddenInPrint())
        m_off.push_back(target.copyForeignObject(group));
}

void OptionalContent::WriteTo(QPDF& target) const {
    if (m_groups.empty())
        return;
    QPDFObjectHandle config = QPDFObjectHandle::newDictionary();
    config.replaceKey("/Name", QPDFObjectHandle::newUnicodeString("Print"));
    config.replaceKey("/BaseState", QPDFObjectHandle::newName("/ON"));
    config.replaceKey("/OFF", QPDFObjectHandle::newArray(m_off));
    config.replaceKey("/Order", QPDFObjectHandle::newArray(m_groups));
    QPDFObjectHandle properties = QPDFObjectHandle::newDictionary();
    properties.replaceKey("/OCGs", QPDFObjectHandle::newArray(m_groups));
    properties.replaceKey("/D", config);
    target.getRoot().replaceKey("/OCProperties", properties);
}

} // namespace pdfcompose
