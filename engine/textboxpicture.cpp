#include "textboxpicture.h"

#include "screenmapping.h"
#include "textlayout.h"
#include "vectorpicture.h"

#include "pdfbinding/composescope.h"
#include "pdfbinding/pdfserver.h"
#include "pdfbinding/presscolour.h"
#include "records/filenames.h"
#include "records/zelcolorpresets.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QSvgRenderer>

namespace {

QColor ScreenColour(const CZelColorPresets* colors, const QString& name, const QColor& fallback) {
    const CZelColorItem* item = colors ? colors->FindColor(name) : nullptr;
    return item ? QColor(item->r, item->g, item->b) : fallback;
}

// The library turns clockwise; a font's escapement turns counter-clockwise.
int Clockwise(int escapement) {
    return ((360 - escapement / 10) % 360 + 360) % 360;
}

Result<void> WritePicture(const TextBox& box, const QString& path, const CZelColorPresets* colors) {
    const int dpiX = textlayout::ScreenDpiX(), dpiY = textlayout::ScreenDpiY();
    const int w = std::max(1, screenmapping::MmToPixels(box.width, dpiX, 1.0));
    const int h = std::max(1, screenmapping::MmToPixels(box.height, dpiY, 1.0));
    const QRect full(0, 0, w, h);
    return WriteVectorPicture(
        path, full.size(), dpiX, box.name, QStringLiteral("tessel Text Box"),
        [&](QPainter& painter) {
            painter.fillRect(full.adjusted(1, 1, -1, -1),
                             ScreenColour(colors, box.contentColor, Qt::white));
            // Colours this workstation does not know show white, except the
            // text: the press prints that in registration colour, and white
            // would hide a text that is printed.
            painter.setPen(QPen(ScreenColour(colors, box.frameColor, Qt::white), 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
            painter.setPen(ScreenColour(colors, box.textColor, Qt::black));
            painter.setFont(textlayout::FontOf(box.font));
            textlayout::DrawText(painter, QRectF(full.adjusted(1, 1, -1, -1)), box.text,
                                 box.font.lfEscapement, 1, 1);
        });
}

Result<void> WritePdf(const TextBox& box, const QString& path, const CZelColorPresets* colors,
                      CPDFServer& pdf) {
    PressColour text = PressColour::Find(colors, box.textColor);
    if (text.IsNone())
        text = PressColour::Registration();
    const PressColour content = PressColour::Find(colors, box.contentColor);
    const PressColour frame = PressColour::Find(colors, box.frameColor);
    // The text box call takes CMYK only; an RGB preset's text prints in registration colour.
    if (text.kind != PressColour::Cmyk)
        text = PressColour::Registration();
    CComposeScope doc(pdf, path);
    if (const Result<void> begun = doc.Begin(); !begun)
        return begun;
    const bool ok = pdf.ComposeBeginPage(box.width, box.height) &&
                    presscolour::Rect(pdf, 0, 0, box.width, box.height, 1.8, frame, content) &&
                    (box.text.isEmpty() ||
                     pdf.ComposePlaceCMYKTextBox(
                         box.text, textlayout::FaceName(box.font), textlayout::PointSize(box.font),
                         0, 0, box.width, box.height, text.v[0], text.v[1], text.v[2], text.v[3], 1,
                         1, Clockwise(box.font.lfEscapement), 1)) &&
                    pdf.ComposeEndPage();
    if (!ok)
        return Failure(QStringLiteral("%1: %2").arg(path, pdf.LastError()));
    return doc.Commit();
}

} // namespace

QString CTextBoxPicture::MakeName(const QDateTime& time) {
    const QDate d = time.date();
    const QTime t = time.time();
    return QString::asprintf("tb_%2d%02d%02d%02d%02d%02d.emf", d.year() - 2000, d.month(), d.day(),
                             t.hour(), t.minute(), t.second());
}

QString CTextBoxPicture::PicturePath(const QString& workFolder, const TextBox& box) {
    return QDir(workFolder).filePath(box.name);
}

QString CTextBoxPicture::PdfPath(const QString& workFolder, const TextBox& box) {
    return QDir(workFolder)
        .filePath(QFileInfo(box.name).completeBaseName() + QStringLiteral(".pdf"));
}

Result<void> CTextBoxPicture::Make(TextBox& box, const QString& workFolder,
                                   const CZelColorPresets* colors, CPDFServer* pdf) {
    if (!textlayout::CanMeasure())
        return Failure(QStringLiteral("text box pictures need the GUI library"));
    if (box.width < 1 || box.height < 1)
        return Failure(QStringLiteral("text box \"%1\": its size is below 1 mm").arg(box.name));
    if (workFolder.isEmpty() || !QDir().mkpath(workFolder))
        return Failure(QStringLiteral("the plate has no work folder"));
    // A stored name that would lead out of the work folder is replaced, as
    // a missing one is; refusing it would keep the plate from ever printing.
    if (!filenames::IsPlainName(box.name)) {
        // Boxes named within one second must not share their files.
        QDateTime time = QDateTime::currentDateTime();
        do {
            box.name = MakeName(time);
            time = time.addSecs(1);
        } while (QFileInfo::exists(PicturePath(workFolder, box)));
    }
    if (Result<void> written = WritePicture(box, PicturePath(workFolder, box), colors); !written)
        return written;
    return pdf ? WritePdf(box, PdfPath(workFolder, box), colors, *pdf) : Result<void>();
}

Result<bool> CTextBoxPicture::MakeIfMissing(TextBox& box, const QString& workFolder,
                                            const CZelColorPresets* colors, CPDFServer* pdf) {
    if (filenames::IsPlainName(box.name)) {
        const QString picture = PicturePath(workFolder, box);
        const bool pictureOk = QFileInfo(picture).isFile() && QSvgRenderer(picture).isValid();
        const bool pdfOk = !pdf || QFileInfo(PdfPath(workFolder, box)).isFile();
        if (pictureOk && pdfOk)
            return false;
    }
    if (const Result<void> made = Make(box, workFolder, colors, pdf); !made)
        return Failure(made.error());
    return true;
}
