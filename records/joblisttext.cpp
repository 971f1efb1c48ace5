#include "joblisttext.h"

#include "zeljob.h"

#include "markup/numbertext.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace joblisttext {
namespace {

// Whether the first two decimals hold something: Q x 100 truncated is no
// multiple of 100.
bool HasFraction(double quantity) {
    return std::fmod(std::trunc(quantity * 100.0), 100.0) != 0.0;
}

} // namespace

QString WholeText(double quantity) {
    return QString::number(std::trunc(quantity), 'f', 0);
}

QString LengthText(double millimetres) {
    return numbertext::MillimetreText(millimetres);
}

QString SizeText(double width, double height) {
    return LengthText(width) + QStringLiteral(" * ") + LengthText(height);
}

QString QuantityText(int pquantity, double quantity) {
    // A ticket without a quantity (missing reads -1) shows its pieces alone.
    if (pquantity >= 1 && !(quantity > 0.0))
        return QString::number(pquantity);
    if (pquantity < 1 || quantity == static_cast<double>(pquantity)) {
        if (!(quantity > 0.0))
            return QString();
        if (HasFraction(quantity))
            return QString::number(quantity, 'f', 1);
        return WholeText(quantity);
    }
    if (HasFraction(quantity))
        return QStringLiteral("%1(%2R)").arg(pquantity).arg(QString::number(quantity, 'f', 1));
    return QStringLiteral("%1(%2R)").arg(pquantity).arg(WholeText(quantity));
}

QString ColorText(int color, int pdfPage) {
    return pdfPage < 2 ? QStringLiteral("%1(단면)").arg(color)
                       : QStringLiteral("%1(양면)").arg(color);
}

int PlaceCount(int pquantity, double quantity, int pcases, int plateQuantity) {
    const double q = pquantity > 0 ? pquantity : std::trunc(quantity);
    // Without a plate quantity every case goes on one plate.
    if (plateQuantity < 1 || !(q > plateQuantity))
        return pcases;
    const double plates = std::ceil(q / plateQuantity);
    const double count = plates * pcases;
    if (count >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (count <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(count);
}

Places PlacesOf(const CZelJob& job, int plateQuantity, double gridWidth, double gridHeight) {
    Places places;
    places.gridCells = GridCells(gridWidth, gridHeight, job.GetWidth(), job.GetHeight());
    places.placeCount =
        PlaceCount(job.GetPQuantity(), job.GetQuantity(), CasesOf(job), plateQuantity);
    places.gridPlaces = static_cast<long long>(places.gridCells) * places.placeCount;
    return places;
}

QString PlacesText(const Places& places) {
    if (places.gridCells <= 0)
        return QStringLiteral("(%1)").arg(places.placeCount);
    return QStringLiteral("%1(%2)").arg(places.gridPlaces).arg(places.placeCount);
}

QStringList OrderListTitles() {
    return {QStringLiteral("주문번호"),    QStringLiteral("접수"),
            QStringLiteral("접수일"),      QStringLiteral("제품"),
            QStringLiteral("제품종류"),    QStringLiteral("도수(면수)"),
            QStringLiteral("재질"),        QStringLiteral("규격종류"),
            QStringLiteral("크기"),        QStringLiteral("수량"),
            QStringLiteral("건수"),        QStringLiteral("자리수(항목수)"),
            QStringLiteral("후가공"),      QStringLiteral("후가공2"),
            QStringLiteral("접수자"),      QStringLiteral("회원사"),
            QStringLiteral("제작물 상호"), QStringLiteral("배송"),
            QStringLiteral("작업자 메모")};
}

int CasesOf(const CZelJob& job) {
    return std::max(job.GetPcases(), 0);
}

int CompareCells(int column, const QString& a, const QString& b) {
    if (column >= kFirstNumericColumn && column <= kLastNumericColumn) {
        // "1000(2.5R)" sorts by 1000, "120(6)" by 120, "(6)" by 6; text
        // without a number before any number.
        auto key = [](const QString& text) {
            return numbertext::LeadingNumber(text.startsWith(QLatin1Char('(')) ? text.mid(1)
                                                                               : text);
        };
        const std::optional<double> x = key(a), y = key(b);
        if (x.has_value() != y.has_value())
            return x.has_value() ? 1 : -1;
        if (x && *x != *y)
            return *x < *y ? -1 : 1;
    }
    return a.compare(b);
}

QStringList OrderListRow(const CZelJob& job, const PlateParameters& plate) {
    const QString cases = QString::number(CasesOf(job));
    QString pcom;
    QString memo;
    job.GetPcom(pcom);
    job.GetMmemo(memo);
    return {job.Text("Ordernum"),
            job.Text("Rework"),
            job.Text("ROKDate"),
            job.Text("Product"),
            job.Text("Kind"),
            ColorText(job.GetColor(), job.GetPDFPage()),
            job.Text("Paper"),
            job.Text("SizeKind"),
            SizeText(job.GetWidth(), job.GetHeight()),
            QuantityText(job.GetPQuantity(), job.GetQuantity()),
            cases,
            PlacesText(PlacesOf(job, plate.plateQuantity, plate.gridWidth, plate.gridHeight)),
            job.AfterWorkText(false),
            job.AfterWorkText(true),
            job.Text("ReceiptS"),
            job.Text("Ucom"),
            pcom,
            job.Text("DeliveryM"),
            memo};
}

bool HasMemo(const CZelJob& job) {
    QString memo;
    return job.GetMmemo(memo) && !memo.isEmpty();
}

QString SelectionSummary(int orders, long long cases, long long places) {
    return QStringLiteral("[%1 항목: %2 건, %3 자리]").arg(orders).arg(cases).arg(places);
}

QString StatusText(const QString& containerLabel, int containerCount, int selected,
                   const QString& selectionSummary) {
    if (containerCount <= 0)
        return QString();
    if (selected <= 0)
        return containerLabel;
    return containerLabel + QStringLiteral(",  선택 ") + selectionSummary;
}

} // namespace joblisttext
