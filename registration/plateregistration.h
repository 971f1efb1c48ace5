#pragma once

#include <QList>
#include <QString>

// The order fields one placed item carries, as far as registration needs them.
struct PlateItemOrder {
    QString ordernum;
    int pcases = 0;      // number of cases
    double quantity = 0; // Quantity
    int pquantity = 0;   // PQuantity; used when above 0

    // PQuantity when above 0, else Quantity truncated.
    int OrderQuantity() const;
};

// What registering a plate reads from it: the plate's properties under their
// keys, its derived side value and the order fields of its items. The plate
// model fills it; registration never sees the model itself.
struct PlateRegistration {
    QString jobCode;     // JOB_CODE, the plate number
    QString presetName;  // PRESET_NAME, the plate size
    QString jobDate;     // JOB_DATE
    QString userName;    // USER_NAME
    QString userInitial; // USER_INITIAL
    QString paperType;   // PAPER_TYPE
    int colorA = 0;      // COLOR_A: 0 one colour, otherwise four
    int colorB = 0;      // COLOR_B
    double quantity = 0; // QUANTITY, in the press unit
    int pquantity = 0;   // PQUANTITY, sheets
    int pressUnit = 0;   // PRESS_UNIT: 0 sheets, 1 reams ("R")
    QString comment;     // COMMENT, the stored memo
    QString afterWork;   // AFTER_WORK, steps separated by ";"
    int paperSide = 0;   // the model's derived side value; not 0 means two-sided
    // One entry per item, in item-list order; several items of one order
    // are allowed.
    QList<PlateItemOrder> items;

    // PQUANTITY when above 0, else QUANTITY truncated. Below 1 the plate
    // cannot be registered.
    int PlateQuantity() const;
    // The first item of each Ordernum, in item-list order.
    QList<PlateItemOrder> Orders() const;
};

// A double truncated toward zero and held to the range of int (NaN gives 0),
// so a wild stored value cannot make an undefined conversion.
int TruncatedQuantity(double value);
