#include "composescope.h"

#include "markup/durablefile.h"
#include "pdfbinding/pdfserver.h"

#include <QFile>

CComposeScope::CComposeScope(CPDFServer& pdf, const QString& target)
    : m_pdf(pdf), m_target(target), m_temporary(durablefile::TemporaryPath(target)) {}

CComposeScope::~CComposeScope() {
    Abort();
}

bool CComposeScope::Begin(QString* error) {
    if (!m_pdf.ComposeBeginDoc(m_temporary)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_target, m_pdf.LastError());
        return false;
    }
    m_open = true;
    return true;
}

bool CComposeScope::Commit(QString* error) {
    if (!m_open)
        return false;
    if (!m_pdf.ComposeEndDoc()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_target, m_pdf.LastError());
        Abort();
        return false;
    }
    m_open = false;
    return durablefile::Publish(m_temporary, m_target, error);
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
