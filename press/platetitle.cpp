#include "platetitle.h"

#include "engine/tesseldoc.h"
#include "engine/textlayout.h"
#include "pdfbinding/composescope.h"
#include "press/platemarks.h"

#include "markup/durablefile.h"
#include "pdfbinding/pdfserver.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QRegularExpression>

#include <algorithm>

namespace {

using Edge = PlateProperties::Edge;
const QString kBarcodeToken = QStringLiteral("[바코드]");
// Room between the barcode and the title along the edge.
constexpr double kGap = 2.0;

Edge TitleEdge(int position) {
    switch (position) {
    case 0:
        return Edge::Left;
    case 2:
        return Edge::Right;
    case 3:
        return Edge::Bottom;
    default:
        return Edge::Top;
    }
}

// The text's extent with the title font at the screen's resolution, in mm.
QSizeF Measure(const LogFont& font, const QString& text) {
    const QFontMetricsF metrics(textlayout::FontOf(font));
    return {metrics.horizontalAdvance(text) * 25.4 / textlayout::ScreenDpiX(),
            metrics.height() * 25.4 / textlayout::ScreenDpiY()};
}

} // namespace

CPlateTitle::CPlateTitle(const CTesselDoc& doc, CPDFServer& pdf, const QString& companyCode)
    : m_doc(doc), m_pdf(pdf), m_companyCode(companyCode) {}

const QStringList& CPlateTitle::Tokens() {
    static const QStringList tokens = {kBarcodeToken,
                                       QStringLiteral("[회사코드]"),
                                       QStringLiteral("[판번호]"),
                                       QStringLiteral("[판형크기]"),
                                       QStringLiteral("[지질]"),
                                       QStringLiteral("[도수]"),
                                       QStringLiteral("[수량]"),
                                       QStringLiteral("[후가공]"),
                                       QStringLiteral("[작업자이름]"),
                                       QStringLiteral("[날짜]"),
                                       QStringLiteral("[판구분]"),
                                       QStringLiteral("[메모]")};
    return tokens;
}

QStringList CPlateTitle::SplitItems(const QString& items) {
    // Joined by "-" as stored; older plates run the tokens together, so the
    // brackets decide.
    static const QRegularExpression token(QStringLiteral("\\[[^\\]]*\\]"));
    QStringList tokens;
    for (auto it = token.globalMatch(items); it.hasNext();)
        tokens << it.next().captured(0);
    return tokens;
}

bool CPlateTitle::HasBarcode() const {
    return SplitItems(m_doc.Properties().titleItems).contains(kBarcodeToken);
}

QStringList CPlateTitle::ItemTexts(int side, bool forFileName) const {
    const PlateProperties& p = m_doc.Properties();
    QStringList texts;
    for (const QString& token : SplitItems(p.titleItems)) {
        QString text;
        if (token == QStringLiteral("[회사코드]")) {
            if (!forFileName)
                text = m_companyCode.isEmpty() ? QStringLiteral("Unknown") : m_companyCode;
        } else if (token == QStringLiteral("[판번호]")) {
            text = p.jobCode;
        } else if (token == QStringLiteral("[판형크기]")) {
            text = p.presetName;
        } else if (token == QStringLiteral("[지질]")) {
            text = p.paperType;
        } else if (token == QStringLiteral("[도수]")) {
            if (p.paperSideSetting == 1)
                text =
                    QStringLiteral("양면%1도").arg(8 - 3 * (p.colorA == 0) - 3 * (p.colorB == 0));
            else if (p.paperSideSetting == 2)
                text = QStringLiteral("돈땡%1도").arg(p.colorA ? 4 : 1);
            else
                text = QStringLiteral("단면%1도").arg(p.colorA ? 4 : 1);
        } else if (token == QStringLiteral("[수량]")) {
            text =
                p.pressQuantityText + (p.pressUnit ? QStringLiteral("연") : QStringLiteral("매"));
        } else if (token == QStringLiteral("[후가공]")) {
            if (!forFileName)
                text = p.afterWork + QLatin1Char(';');
        } else if (token == QStringLiteral("[작업자이름]")) {
            text = p.userName;
        } else if (token == QStringLiteral("[날짜]")) {
            text = p.jobDate;
        } else if (token == QStringLiteral("[판구분]")) {
            if (!forFileName)
                text = side == m_doc.Geometry().labelSide ? QStringLiteral("레이블")
                       : side == 1                        ? QStringLiteral("뒤")
                                                          : QStringLiteral("앞");
        } else if (token == QStringLiteral("[메모]")) {
            text = p.comment;
        }
        if (!text.isEmpty())
            texts << text;
    }
    return texts;
}

QString CPlateTitle::TitleText(int side) const {
    return ItemTexts(side).join(QLatin1Char('-'));
}

QString CPlateTitle::FileNameText() const {
    return ItemTexts(0, true).join(QLatin1Char('-'));
}

QString CPlateTitle::TitlePath(int side) const {
    return QDir(m_doc.WorkFolder())
        .filePath(QStringLiteral("%1_imposeTitle.pdf").arg(side, 2, 10, QLatin1Char('0')));
}

QString CPlateTitle::BarcodePath(int side) const {
    return QDir(m_doc.WorkFolder())
        .filePath(QStringLiteral("%1_imposeBarcode.pdf").arg(side, 2, 10, QLatin1Char('0')));
}

Result<void> CPlateTitle::Prepare(int side, TitlePiece& barcode, TitlePiece& title) {
    barcode = {};
    title = {};
    const PlateProperties& p = m_doc.Properties();
    const bool hasBarcode = HasBarcode();
    const QString text = TitleText(side);
    if (!hasBarcode && text.isEmpty())
        return {};
    if (!textlayout::CanMeasure())
        return Failure(
            QStringLiteral("the plate title cannot be measured without the GUI library"));
    if (m_doc.WorkFolder().isEmpty() || !QDir().mkpath(m_doc.WorkFolder()))
        return Failure(QStringLiteral("the plate has no work folder"));

    const Edge edge = TitleEdge(p.titlePosition);
    const bool vertical = edge == Edge::Left || edge == Edge::Right;
    const CPlateMarks marks(m_doc, m_pdf, nullptr);
    const CPlateMarks::Margins m = marks.SideMargins(CPlateMarks::MirrorMode(m_doc, side));
    double available = vertical ? p.height - (m[Edge::Bottom] + m[Edge::Top])
                                : p.width - (m[Edge::Right] + m[Edge::Left]);
    const double start = vertical ? m[Edge::Top] : m[Edge::Left];
    double along = start;

    // Puts a piece of w x t in the band; false when it is left out.
    auto place = [&](TitlePiece& piece, double w, double t) {
        double across = 0;
        // The library's pages are at least 1 mm.
        if (w < 1 || t < 1 ||
            !CPlateMarks::BandPosition(edge, t, p.titleAlign, m, p.width, p.height, across))
            return false;
        piece.width = w;
        piece.height = t;
        piece.rotation = vertical ? 90 : 0;
        piece.x = vertical ? across : along;
        piece.y = vertical ? along : across;
        piece.placed = true;
        return true;
    };

    if (hasBarcode && !p.jobCode.isEmpty()) {
        const QSizeF size = Measure(p.titleFont, p.jobCode);
        const double w = size.width();
        const double h = std::min(1.5 * size.height(), available);
        const bool upright = h <= w;
        const QString image =
            QDir(m_doc.WorkFolder())
                .filePath(upright ? QStringLiteral("B_H.pdf") : QStringLiteral("B_V.pdf"));
        const QString code = upright ? p.jobCode : p.jobCode + QStringLiteral("/RC");
        // Made on every run: one left from an earlier run may hold another
        // code or size.
        if (w >= 1 && h >= 1) {
            // Made beside and checked before it takes the place of the old one.
            const QString made = durablefile::TemporaryPath(image);
            if (!m_pdf.MiscCreateBarcode(made, code, w, h, 3, 0)) {
                QFile::remove(made);
                return Failure(QStringLiteral("%1: %2").arg(image, m_pdf.LastError()));
            }
            if (Result<void> published = durablefile::Publish(made, image); !published)
                return published;
        }
        if (place(barcode, w, h)) {
            barcode.pdf = BarcodePath(side);
            CComposeScope doc(m_pdf, barcode.pdf);
            if (const Result<void> begun = doc.Begin(); !begun)
                return begun;
            if (!m_pdf.ComposeBeginPage(w, h) ||
                !m_pdf.ComposePlacePDIDoc(image, 1, 0, 0, w, h, 0) || !m_pdf.ComposeEndPage())
                return Failure(QStringLiteral("%1: %2").arg(barcode.pdf, m_pdf.LastError()));
            if (const Result<void> committed = doc.Commit(); !committed)
                return committed;
            available -= w + kGap;
            along += w + kGap;
        }
    }
    if (!text.isEmpty() && available > 0) {
        const QSizeF size = Measure(p.titleFont, text);
        // A little room so that the library's own measure of the same face
        // never drops the last character; the title never runs past its edge.
        const double w = std::min(size.width() * 1.02 + 0.5, available);
        const double h = std::min(1.5 * size.height(), available);
        if (place(title, w, h)) {
            title.pdf = TitlePath(side);
            CComposeScope doc(m_pdf, title.pdf);
            if (const Result<void> begun = doc.Begin(); !begun)
                return begun;
            if (!m_pdf.ComposeBeginPage(w, h) ||
                !m_pdf.ComposePlaceCMYKTextBox(text, textlayout::FaceName(p.titleFont),
                                               textlayout::PointSize(p.titleFont), 0, 0, w, h, 0, 0,
                                               0, 1, 0, 1, 0, 0) ||
                !m_pdf.ComposeEndPage())
                return Failure(QStringLiteral("%1: %2").arg(title.pdf, m_pdf.LastError()));
            if (const Result<void> committed = doc.Commit(); !committed)
                return committed;
        }
    }
    return {};
}
