#pragma once

#include "picture.h"

#include <QString>

class CPDFServer;
class QPainter;

// One page object of an item (its front or its back): the PDF it shows, the
// page's own size in mm, and the preview picture rendered from that page.
class CImposerItem {
public:
    const QString& PdfPath() const { return m_pdfPath; }
    void SetPdfPath(const QString& path) { m_pdfPath = path; }
    // The page's size in mm as a viewer shows it (CX and CY).
    double PageWidth() const { return m_pageWidth; }
    double PageHeight() const { return m_pageHeight; }
    void SetPageSize(double width, double height);
    CPicture& Picture() { return m_picture; }
    const CPicture& Picture() const { return m_picture; }

    // Renders page `page` (from 0) of the PDF at 96 dpi into imagePath (a
    // ".jpg" file), takes the page's size from the library, and loads the
    // image to be shown at rotation. False when the PDF is missing or any
    // step fails; the library's reason is then in server.LastError().
    bool RenderPage(CPDFServer& server, int page, const QString& imagePath, int rotation);
    // Uses an existing image when it loads, else renders the page.
    bool LoadOrRender(CPDFServer& server, int page, const QString& imagePath, int rotation);
    // Loads an existing image to be shown at rotation.
    bool LoadImage(const QString& imagePath, int rotation);

    // Draws the preview fitted and centred in box (device pixels); its size
    // at 100 % is the page size at dpi, turned with the picture.
    void DrawPreview(QPainter& painter, const QRectF& box, double dpi) const;

    bool operator==(const CImposerItem&) const = default;

private:
    QString m_pdfPath;
    double m_pageWidth = 0, m_pageHeight = 0;
    CPicture m_picture;
};
