#include "composescope.h"

#include "pdfbinding/pdfserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

CComposeScope::CComposeScope(CPDFServer& pdf, const QString& target)
    : m_pdf(pdf), m_target(target), m_temporary(TemporaryPath(target)) {}

CComposeScope::~CComposeScope() {
    Abort();
}

QString CComposeScope::TemporaryPath(const QString& target) {
    const QFileInfo info(target);
    return info.dir().filePath(
        QStringLiteral(".%1.%2.part").arg(info.fileName()).arg(QCoreApplication::applicationPid()));
}

bool CComposeScope::Replace(const QString& from, const QString& to, QString* error) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    if (error)
        *error = QStringLiteral("%1: %2").arg(to, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
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
    if (!Replace(m_temporary, m_target, error)) {
        QFile::remove(m_temporary);
        return false;
    }
    return true;
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
