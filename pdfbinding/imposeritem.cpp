#include "imposeritem.h"

#include "pdfserver.h"

#include <QFileInfo>

namespace {

constexpr int kPreviewDpi = 96;

} // namespace

void CImposerItem::SetPageSize(double width, double height) {
    m_pageWidth = width;
    m_pageHeight = height;
}

bool CImposerItem::RenderPage(CPDFServer& server, int page, const QString& imagePath,
                              int rotation) {
    if (m_pdfPath.isEmpty() || !QFileInfo(m_pdfPath).isFile())
        return false;
    if (!server.ExportImage(m_pdfPath, page + 1, imagePath, kPreviewDpi))
        return false;
    double width = 0, height = 0;
    if (!server.MiscGetPageSize(m_pdfPath, page + 1, width, height))
        return false;
    SetPageSize(width, height);
    return m_picture.Load(imagePath, rotation);
}

bool CImposerItem::LoadOrRender(CPDFServer& server, int page, const QString& imagePath,
                                int rotation) {
    if (QFileInfo(imagePath).isFile() && LoadImage(imagePath, rotation))
        return true;
    // The render shows the picture at the asked rotation as well, so that
    // no view has to turn it afterwards.
    return RenderPage(server, page, imagePath, rotation);
}

bool CImposerItem::LoadImage(const QString& imagePath, int rotation) {
    return m_picture.Load(imagePath, rotation);
}

void CImposerItem::DrawPreview(QPainter& painter, const QRectF& box, double dpi) const {
    QSizeF natural(m_pageWidth / 25.4 * dpi, m_pageHeight / 25.4 * dpi);
    if (m_picture.Rotation() % 180)
        natural.transpose();
    m_picture.Draw(painter, box, natural);
}
