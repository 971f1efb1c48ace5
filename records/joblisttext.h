#pragma once

#include <QString>
#include <QStringList>

class CZelJob;

// The texts of the job lists, shared by the GUI and the command line.
namespace joblisttext {

// What the place counts of a list depend on: the current plate's press
// quantity and grid.
struct PlateParameters {
    int plateQuantity = 200;
    double gridWidth = 92.0;
    double gridHeight = 52.0;
};

// The integer part of a quantity, whatever its size.
QString WholeText(double quantity);
// "%.3f" without trailing zeros and point, then " mm": 90 gives "90 mm".
QString LengthText(double millimetres);
// "W mm * H mm".
QString SizeText(double width, double height);
// The quantity column: Q alone, or "P(QR)" when the press quantity differs;
// P alone for a ticket without a quantity.
QString QuantityText(int pquantity, double quantity);
// An order's cases: Pcases, a missing or negative one counting as 0.
int CasesOf(const CZelJob& job);
// "%d(단면)" below two printed sides, "%d(양면)" otherwise.
QString ColorText(int color, int pdfPage);

// How many times an order's cases go on plates of this press quantity: its
// cases, times the plates its press quantity needs.
int PlaceCount(int pquantity, double quantity, int pcases, int plateQuantity);

struct Places {
    int gridCells = 0;        // cells one case needs; 0 without a grid
    int placeCount = 0;       // see PlaceCount
    long long gridPlaces = 0; // cells times place count
};
Places PlacesOf(const CZelJob& job, int plateQuantity, double gridWidth, double gridHeight);
// "places(count)"; without a grid the place count alone, as "(count)".
QString PlacesText(const Places& places);

// The order list's column titles and one order's row.
QStringList OrderListTitles();
QStringList OrderListRow(const CZelJob& job, const PlateParameters& plate);
// The numeric columns of the order and work lists ("수량", "건수",
// "자리수(항목수)"), which sort by the number their text starts with.
inline constexpr int kFirstNumericColumn = 9;
inline constexpr int kLastNumericColumn = 11;
// How two cells of a column compare for sorting (<0, 0, >0): numeric
// columns by their leading number, then by text; others by text.
int CompareCells(int column, const QString& a, const QString& b);
// Column 0 carries the memo icon when the order has a worker memo.
bool HasMemo(const CZelJob& job);

// "[n 항목: c 건, s 자리]" for a selection of orders.
QString SelectionSummary(int orders, long long cases, long long places);
// The job list panel's status: the container label, then ",  선택 " and the
// selection summary when orders are selected; empty without orders.
QString StatusText(const QString& containerLabel, int containerCount, int selected,
                   const QString& selectionSummary);

} // namespace joblisttext
