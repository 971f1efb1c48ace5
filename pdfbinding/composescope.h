#pragma once

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

    // Begins the document; false with the library's reason.
    bool Begin(QString* error = nullptr);
    // Ends the document and puts it in place of the target.
    bool Commit(QString* error = nullptr);

    // A hidden name in the target's folder that no watcher takes for a PDF.
    static QString TemporaryPath(const QString& target);
    // Renames from over to (replacing it); false with the reason.
    static bool Replace(const QString& from, const QString& to, QString* error = nullptr);

private:
    void Abort();

    CPDFServer& m_pdf;
    QString m_target;
    QString m_temporary;
    bool m_open = false;
};
