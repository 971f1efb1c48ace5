#pragma once

#include "plateregistration.h"

#include <QList>
#include <QString>
#include <QStringList>

// One row of the registration dialog's order list.
struct PlateOrderRow {
    QString ordernum;
    QString quantity; // the order's quantity
    QString cases;    // Pcases
    QString places;   // cells the order takes on press sheets of the plate's quantity
};

// The texts that fill the plate registration dialog, in the order of its
// fields. Built from the plate alone; the dialog only shows them.
struct PlateRegTexts {
    QString plateNumber; // JOB_CODE
    QString worker;      // USER_NAME(USER_INITIAL)
    QString workDate;    // JOB_DATE
    QString plateSize;   // PRESET_NAME
    QString paper;       // PAPER_TYPE
    QString color;       // see PlateColorText
    QString quantity;    // see PlateQuantityText
    QString memo;        // COMMENT; editing it in the dialog changes nothing
    QStringList afterWorkRows;
    QList<PlateOrderRow> orderRows;

    static PlateRegTexts Build(const PlateRegistration& plate, const QString& siteSignature);
};

// "4" or "1" per printed side ("4" for a colour value other than 0), "A/B"
// on a two-sided plate, as the form sends it.
QString PlateColorText(const PlateRegistration& plate);
// "PQUANTITY/QUANTITYR" with the quantity to one decimal for reams;
// "PQUANTITY/QUANTITY" without the "R" (and without ".0") for sheets.
// Independent of the locale.
QString PlateQuantityText(const PlateRegistration& plate);
// "인쇄", then the output step "출력" and the AFTER_WORK steps the form
// sends (the first five), the output step last for the "RVQ" site.
QStringList AfterWorkRows(const QString& afterWork, const QString& siteSignature);
// Pcases, times the sheets per case when the order's quantity exceeds the
// plate quantity. A plate quantity below 1 gives Pcases.
qint64 OrderPlaces(const PlateItemOrder& order, int plateQuantity);
