#pragma once

#include "records/zeldocumentpreset.h"

#include <QString>

#include <array>

// The plate's stored settings: header, plate information, paper and impose
// properties, as the document and preset files hold them.
struct PlateProperties {
    using Edge = CZelDocumentPreset::Edge;

    // Header
    QString presetName;
    QString jobCode;
    QString userName;
    QString userAccount;
    QString userInitial;
    QString jobDate;
    int pageCount = 1;
    QString pressQuantityText;

    // Plate information
    QString paperType;
    int paperSideSetting = 0; // PAPER_SIDE as stored: 0 single, 1 double, 2 work-and-turn
    int turnDirection = 0;    // IMPOSITION: 0 split across the width, 1 across the height, 2 none
    int colorA = 0;
    int colorB = 0;
    double quantity = 0.0;
    int pressUnit = 0;
    int pressCount = 0; // PQUANTITY
    QString comment;
    QString afterWork;

    // Paper property
    QString size;
    double width = 0.0;
    double height = 0.0;
    std::array<double, 4> margin{}; // by Edge
    double gridWidth = 0.0;
    double gridHeight = 0.0;
    std::array<double, 4> cutMargin{}; // by Edge

    // Impose property
    int arrangeDirection = 0;
    int arrangeMaxJob = 0;
    int titlePosition = 0;
    int titleAlign = 0;
    QString titleItems;
    LogFont titleFont;
    LogFont barcodeFont;
    std::array<int, 8> colorBar{}; // the eight positions, in key order
    int colorBarAlign = 0;
    QString colorBarName;
    std::array<int, 4> plateCrop{};        // by Edge
    std::array<int, 4> registrationMark{}; // by Edge
    int registrationMarkAlign = 0;
    QString registrationMarkName;

    bool operator==(const PlateProperties&) const = default;

    // Values the model derives on reading: at least one page, the press count
    // from the quantity when none is stored, the press quantity text.
    void Normalize();

    // The plate keys of a preset or document (header keys are the document's).
    void ReadPlateKeys(const CZelDocumentPreset& preset);
    void WritePlateKeys(CZelDocumentPreset& preset) const;
};

// Sheets per plate derived from a quantity: reams of 500 when pressUnit is
// set, the fraction dropped first.
int PressCountFromQuantity(double quantity, int pressUnit);
// "%.1f" of the plate quantity.
QString PlateQuantityText(double quantity);
