#include "plateproperties.h"

#include "records/zeldocumentpreset.h"

#include <cmath>

int PressCountFromQuantity(double quantity, int pressUnit) {
    const double sheets = std::trunc(quantity);
    const double count = pressUnit != 0 ? sheets * 500.0 : sheets;
    if (!(count > -2147483648.0 && count < 2147483647.0))
        return 0;
    return static_cast<int>(count);
}

QString PlateQuantityText(double quantity) {
    return QString::number(quantity, 'f', 1);
}

void PlateProperties::Normalize() {
    if (pageCount < 1)
        pageCount = 1;
    if (pressCount < 1)
        pressCount = PressCountFromQuantity(quantity, pressUnit);
    if (pressQuantityText.isEmpty() || pressQuantityText == QLatin1String("0"))
        pressQuantityText = PlateQuantityText(quantity);
}

void PlateProperties::ReadPlateKeys(const CZelDocumentPreset& p) {
    using E = CZelDocumentPreset::Edge;
    paperType = p.PaperType().toString();
    paperSideSetting = p.PaperSide().toInt();
    colorA = p.Color(false).toInt();
    colorB = p.Color(true).toInt();
    turnDirection = p.Imposition().toInt();
    quantity = p.Quantity().toDouble();
    pressUnit = p.PressUnit().toInt();
    pressCount = p.PQuantity().toInt();
    comment = p.Comment().toString();
    afterWork = p.AfterWork().toString();
    size = p.Size().toString();
    width = p.Width().toDouble();
    height = p.Height().toDouble();
    gridWidth = p.GridWidth().toDouble();
    gridHeight = p.GridHeight().toDouble();
    for (int e = 0; e < 4; ++e) {
        margin[e] = p.Margin(E(e)).toDouble();
        cutMargin[e] = p.CutMargin(E(e)).toDouble();
        plateCrop[e] = p.PlateCrop(E(e)).toInt();
        registrationMark[e] = p.RegistrationMark(E(e)).toInt();
    }
    arrangeDirection = p.ArrangeDirection().toInt();
    arrangeMaxJob = p.ArrangeMaxJob().toInt();
    titlePosition = p.TitlePosition().toInt();
    titleItems = p.TitleItems().toString();
    titleAlign = p.TitleAlign().toInt();
    for (int b = 0; b < 8; ++b)
        colorBar[b] = p.ColorBar(CZelDocumentPreset::ColorBarPosition(b)).toInt();
    colorBarAlign = p.ColorBarAlign().toInt();
    colorBarName = p.ColorBarName().toString();
    registrationMarkAlign = p.RegistrationMarkAlign().toInt();
    registrationMarkName = p.RegistrationMarkName().toString();
    titleFont = LogFont();
    barcodeFont = LogFont();
    p.GetFont(CZelDocumentPreset::FontKind::Title, titleFont);
    p.GetFont(CZelDocumentPreset::FontKind::Barcode, barcodeFont);
}

void PlateProperties::WritePlateKeys(CZelDocumentPreset& p) const {
    using E = CZelDocumentPreset::Edge;
    p.PaperType() = paperType;
    p.PaperSide() = paperSideSetting;
    p.Color(false) = colorA;
    p.Color(true) = colorB;
    p.Imposition() = turnDirection;
    p.Quantity() = quantity;
    p.PressUnit() = pressUnit;
    p.PQuantity() = pressCount;
    p.Comment() = comment;
    p.AfterWork() = afterWork;
    p.Size() = size;
    p.Width() = width;
    p.Height() = height;
    p.GridWidth() = gridWidth;
    p.GridHeight() = gridHeight;
    for (int e = 0; e < 4; ++e) {
        p.Margin(E(e)) = margin[e];
        p.CutMargin(E(e)) = cutMargin[e];
        p.PlateCrop(E(e)) = plateCrop[e];
        p.RegistrationMark(E(e)) = registrationMark[e];
    }
    p.ArrangeDirection() = arrangeDirection;
    p.ArrangeMaxJob() = arrangeMaxJob;
    p.TitlePosition() = titlePosition;
    p.TitleItems() = titleItems;
    p.TitleAlign() = titleAlign;
    for (int b = 0; b < 8; ++b)
        p.ColorBar(CZelDocumentPreset::ColorBarPosition(b)) = colorBar[b];
    p.ColorBarAlign() = colorBarAlign;
    p.ColorBarName() = colorBarName;
    p.RegistrationMarkAlign() = registrationMarkAlign;
    p.RegistrationMarkName() = registrationMarkName;
    p.SetFont(CZelDocumentPreset::FontKind::Title, titleFont);
    p.SetFont(CZelDocumentPreset::FontKind::Barcode, barcodeFont);
}
