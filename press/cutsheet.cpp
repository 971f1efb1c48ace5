#include "cutsheet.h"

#include "markup/durablefile.h"
#include "pdfbinding/composescope.h"
#include "pdfbinding/pdfserver.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

const QString kFont = QStringLiteral("NanumGothic");
constexpr double kPointMm = 25.4 / 72;
constexpr double kPageMargin = 12.0;
constexpr double kHeader = 16.0;
constexpr double kLineHeight = 4.5;
constexpr double kHatchStep = 2.5;

QString Base(const QString& platePath) {
    const QFileInfo info(platePath);
    return info.dir().filePath(info.completeBaseName());
}

QString Mm(double v) {
    return QString::number(v, 'f', 2);
}

// Drawing of one page in sheet millimetres, scaled onto the page.
class SheetPage {
public:
    SheetPage(CPDFServer& pdf, double scale, double originX, double originY)
        : m_pdf(pdf), m_scale(scale), m_x(originX), m_y(originY) {}

    double X(double sheetX) const { return m_x + sheetX * m_scale; }
    double Y(double sheetY) const { return m_y + sheetY * m_scale; }
    double L(double length) const { return length * m_scale; }

    bool Outline(const CZelBound& b, double width, double grey) {
        return m_pdf.ComposeCMYKRect(X(b.x), Y(b.y), L(b.width), L(b.height), width, 0, 0, 0, grey,
                                     -1, -1, -1, -1) != 0;
    }
    // Diagonal strokes clipped to the piece, at a fixed step on the page.
    bool Hatch(const CZelBound& b) {
        const double x = X(b.x), y = Y(b.y), w = L(b.width), h = L(b.height);
        for (double t = -h + kHatchStep / 2; t < w; t += kHatchStep) {
            const double from = std::max(0.0, -t), to = std::min(h, w - t);
            if (to - from <= 0.05)
                continue;
            if (!m_pdf.ComposeCMYKLine(x + t + from, y + from, x + t + to, y + to, 0.15, 0, 0, 0,
                                       0.45))
                return false;
        }
        return true;
    }

private:
    CPDFServer& m_pdf;
    double m_scale, m_x, m_y;
};

bool Text(CPDFServer& pdf, const QString& text, double size, double x, double y, double w, double h,
          int halign, double k = 1, double magenta = 0, double yellow = 0) {
    return pdf.ComposePlaceCMYKTextBox(text, kFont, size, x, y, w, h, 0, magenta, yellow, k, halign,
                                       1, 0, 0) != 0;
}

} // namespace

QString cutsheet::SheetPath(const QString& platePath) {
    return Base(platePath) + QStringLiteral("_cuts.pdf");
}

QString cutsheet::ProgramPath(const QString& platePath) {
    return Base(platePath) + QStringLiteral("_cuts.csv");
}

Result<void> cutsheet::WriteProgram(const CutPlan& plan, const QString& path) {
    return durablefile::Write(path, cutplan::ToCsv(plan));
}

Result<void> cutsheet::WriteSheet(CPDFServer& pdf, const CutPlan& plan, const QString& title,
                                  const QString& path) {
    auto fail = [&] { return Failure(QStringLiteral("%1: %2").arg(path, pdf.LastError())); };
    const CZelBound& sheet = plan.sheet;
    // A3, turned as the sheet is, whatever the sheet's own size.
    const bool wide = sheet.width >= sheet.height;
    const double pageW = wide ? 420 : 297, pageH = wide ? 297 : 420;
    const double roomW = pageW - 2 * kPageMargin, roomH = pageH - 2 * kPageMargin - kHeader;
    const double scale = std::min(roomW / sheet.width, roomH / sheet.height);
    SheetPage page(pdf, scale, (pageW - sheet.width * scale) / 2, kPageMargin + kHeader);

    CComposeScope doc(pdf, path);
    if (const Result<void> begun = doc.Begin(); !begun)
        return begun;
    if (!pdf.ComposeBeginPage(pageW, pageH))
        return fail();
    const QString heading =
        QStringLiteral("재단 지시서 %1 — 재단 %2회, 돌림 %3회 (품목 %4개, 모든 선을 통째로 "
                       "자르면 %5회)")
            .arg(title)
            .arg(plan.cuts.size())
            .arg(plan.turns)
            .arg(plan.items.size())
            .arg(plan.naiveCuts);
    const QString legend =
        QStringLiteral(
            "번호: 재단 순서와 백게이지(mm) — x 재단은 조각의 왼쪽 변, y 재단은 위쪽 변이 "
            "기준면. 빗금: 버리는 부분. 용지 %1 × %2 mm")
            .arg(Mm(sheet.width), Mm(sheet.height));
    if (!Text(pdf, heading, 11, kPageMargin, kPageMargin - 4, roomW, 7, 0) ||
        !Text(pdf, legend, 7, kPageMargin, kPageMargin + 3, roomW, 5, 0))
        return fail();

    for (const CZelBound& waste : plan.waste)
        if (!page.Hatch(waste))
            return fail();
    if (!page.Outline(sheet, 0.5, 1))
        return fail();
    for (const CutPlan::Item& item : plan.items) {
        if (!page.Outline(item.trim, 0.25, 0.6))
            return fail();
        const double w = page.L(item.trim.width), h = page.L(item.trim.height);
        const double chars = std::max<qsizetype>(item.ordernum.size(), 4);
        const double size = std::clamp(std::min(h * 0.3, w / (chars * 0.62)) / kPointMm, 3.0, 10.0);
        if (!Text(pdf, item.ordernum, size, page.X(item.trim.x), page.Y(item.trim.y), w, h, 1))
            return fail();
    }
    for (const CutPlan::Cut& cut : plan.cuts) {
        const CZelBound& b = cut.pieceBound;
        const bool alongX = cut.axis == CutPlan::Axis::X;
        const double x1 = alongX ? cut.position : b.x, y1 = alongX ? b.y : cut.position;
        const double x2 = alongX ? cut.position : b.Right(),
                     y2 = alongX ? b.Bottom() : cut.position;
        if (!pdf.ComposeCMYKLine(page.X(x1), page.Y(y1), page.X(x2), page.Y(y2), 0.4, 0, 1, 1, 0))
            return fail();
        // The number sits on the knife line near the piece's reference
        // corner, staggered so that neighbours do not cover each other.
        const QString label = QStringLiteral("%1: %2").arg(cut.step).arg(Mm(cut.backGauge));
        const double stagger = (cut.step % 3) * 3.2;
        const double lx = alongX ? page.X(x1) - 9 : page.X(x1) + 1 + stagger * 3;
        const double ly = alongX ? page.Y(y1) + 1 + stagger : page.Y(y1) - 1.5;
        if (!pdf.ComposeCMYKRect(lx + 1.5, ly, 15, 3, 0.1, -1, -1, -1, -1, 0, 0, 0, 0) ||
            !Text(pdf, label, 6, lx, ly, 18, 3, 1, 0, 1, 1))
            return fail();
    }
    if (!pdf.ComposeEndPage())
        return fail();

    // The list of cuts, in columns, on as many pages as it takes.
    const double columnW = 130;
    const int columns = std::max(1, static_cast<int>(roomW / columnW));
    const int rows = static_cast<int>((pageH - 2 * kPageMargin - 8) / kLineHeight);
    const int perPage = columns * rows;
    for (size_t first = 0; first < plan.cuts.size(); first += static_cast<size_t>(perPage)) {
        if (!pdf.ComposeBeginPage(pageW, pageH) ||
            !Text(pdf, QStringLiteral("재단 순서 %1").arg(title), 10, kPageMargin, kPageMargin - 4,
                  roomW, 6, 0))
            return fail();
        for (size_t i = first; i < std::min(plan.cuts.size(), first + perPage); ++i) {
            const CutPlan::Cut& cut = plan.cuts[i];
            const int slot = static_cast<int>(i - first);
            const QString line =
                QStringLiteral("%1. %2조각 %3 (%4 × %5): %6 = %7, 백게이지 %8 mm")
                    .arg(cut.step)
                    .arg(cut.turn ? QStringLiteral("돌려서 ") : QString())
                    .arg(cut.piece)
                    .arg(Mm(cut.pieceBound.width), Mm(cut.pieceBound.height),
                         cutplan::AxisName(cut.axis), Mm(cut.position), Mm(cut.backGauge));
            if (!Text(pdf, line, 7.5, kPageMargin + (slot / rows) * columnW,
                      kPageMargin + 4 + (slot % rows) * kLineHeight, columnW - 2, kLineHeight, 0))
                return fail();
        }
        if (!pdf.ComposeEndPage())
            return fail();
    }
    return doc.Commit();
}
