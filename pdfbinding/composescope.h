#pragma once

#include "markup/result.h"

#include <QString>

class CPDFServer;

// A document composed through the library under a hidden temporary name
// beside its target, renamed over the target only when it is complete. A
// scope that ends without Commit closes the library's document and removes
// what it wrote, so that a failed composition leaves neither a partial file
// nor an open document behind.
class CComposeScope {
public:
    CComposeScope(CPDFServer& pdf, const QString& target);
    ~CComposeScope();
    CComposeScope(const CComposeScope&) = delete;
    CComposeScope& operator=(const CComposeScope&) = delete;

    // Begins the document; fails with the library's reason.
    Result<void> Begin();
    // Ends the document and puts it in place of the target.
    Result<void> Commit();

private:
    void Abort();

    CPDFServer& m_pdf;
    QString m_target;
    QString m_temporary;
    bool m_open = false;
};
