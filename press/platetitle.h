#pragma once

#include "markup/result.h"

#include <QString>
#include <QStringList>

class CPDFServer;
class CTesselDoc;

// One piece of the plate title placed on a side: its one-page PDF and where
// it stands on the sheet.
struct TitlePiece {
    QString pdf;
    double x = 0.0, y = 0.0;
    double width = 0.0, height = 0.0; // before rotation
    int rotation = 0;
    bool placed = false;
};

// The plate title and barcode of each side, made as PDFs in the plate's work
// folder and placed in the margin band of TITLE_POSITION.
class CPlateTitle {
public:
    // companyCode: the shop's code for "[회사코드]" ("Unknown" when empty).
    CPlateTitle(const CTesselDoc& doc, CPDFServer& pdf, const QString& companyCode = QString());

    // Every title item the title knows, in the order the title editor offers
    // them; ItemTexts fills in exactly these.
    static const QStringList& Tokens();
    // TITLE_ITEMS as a list of its tokens, in order.
    static QStringList SplitItems(const QString& items);

    // The text of each title item of TITLE_ITEMS for a side, in order
    // (the barcode token yields none).
    QStringList ItemTexts(int side, bool forFileName = false) const;
    // The title: the non-empty texts joined with "-".
    QString TitleText(int side) const;
    // The title for a file name: without the items that vary by side or shop.
    QString FileNameText() const;
    bool HasBarcode() const;

    // Makes the side's barcode and title PDFs and places them. A piece that
    // does not fit its margin is left out; fails only when a file cannot be made.
    Result<void> Prepare(int side, TitlePiece& barcode, TitlePiece& title);

    QString TitlePath(int side) const;
    QString BarcodePath(int side) const;

private:
    const CTesselDoc& m_doc;
    CPDFServer& m_pdf;
    QString m_companyCode;
};
