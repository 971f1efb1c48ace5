#include "composescope.h"

#include "markup/durablefile.h"
#include "pdfbinding/pdfserver.h"

#include <QFile>

CComposeScope::CComposeScope(CPDFServer& pdf, const QString& target)
    : m_pdf(pdf), m_target(target), m_temporary(durablefile::TemporaryPath(target)) {}

CComposeScope::~CComposeScope() {
    Abort();
}

Result<void> CComposeScope::Begin() {
    if (!m_pdf.ComposeBeginDoc(m_temporary))
        return Failure(QStringLiteral("%1: %2").arg(m_target, m_pdf.LastError()));
    m_open = true;
    return {};
}

Result<void> CComposeScope::Commit() {
    if (!m_open)
        return Failure(QStringLiteral("%1: the document was never begun").arg(m_target));
    if (!m_pdf.ComposeEndDoc()) {
        const QString reason = QStringLiteral("%1: %2").arg(m_target, m_pdf.LastError());
        Abort();
        return Failure(reason);
    }
    m_open = false;
    return durablefile::Publish(m_temporary, m_target);
}

void CComposeScope::Abort() {
    if (m_open) {
        // Ending an unfinished page and document is the library's only way
        // to close it; what it writes is removed below.
        m_pdf.ComposeEndPage();
        m_pdf.ComposeEndDoc();
        m_open = false;
    }
    QFile::remove(m_temporary);
}
