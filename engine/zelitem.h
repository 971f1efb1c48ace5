#pragma once

#include "zelbound.h"

#include "pdfbinding/imposeritem.h"

#include <QString>

#include <array>
#include <span>

// An item's label on the label plate: the picture of the label that applies
// to it (none when no label fits), that label's size in mm, and the angle at
// which it shows.
struct CZelLabelItem {
    QString picturePath; // empty: no label preview
    double width = 0.0;  // WIDE and HIGH of the label file
    double height = 0.0;
    int rotation = 0; // 0, 90, 180, 270 clockwise

    bool IsLoaded() const { return !picturePath.isEmpty(); }

    bool operator==(const CZelLabelItem&) const = default;
};

// One placed case of one order: the order's fields copied when it was placed,
// and where and how its artwork stands on the plate.
class CZelItem {
public:
    // An order text the item keeps, by its key in tickets and plate files.
    struct TextField {
        const char* key;
        QString CZelItem::*member;
    };
    // Every order text field, in the plate file's order.
    static std::span<const TextField> TextFields();

    // Order fields
    QString jobCode; // the plate's
    QString ordernum, rework, branchShop, rokDate, product, kind, paper, sizeKind;
    QString afterWork, afterWork2;
    QString deliveryM, deliveryA, uid, ucom, uname, utel, uhp, receiptS, pcom, pname, mmemo;
    int color = 0;
    int pdfPage = 1; // pages per case: 1 single-sided, 2 double-sided
    int pcases = 1;
    double quantity = 0.0;
    int pquantity = 0;
    double width = 0.0; // finished size of one case
    double height = 0.0;

    // Placement
    QString objPath;
    int pageNum = 0;
    int numSide = 1;
    int mediaInd = 0;
    int mediaRotate = 0; // 1: the artwork is turned a quarter inside the item
    int rotate = 0;      // 0, 90, 180, 270 clockwise on the plate
    double x = 0.0;
    double y = 0.0;
    int ownCut = 0;
    std::array<double, 4> crop{}; // CROP_LEFT, CROP_TOP, CROP_RIGHT, CROP_BOTTOM
    std::array<int, 8> cropMarks{};
    int ownFrame = 0;
    QString ownFrameColor;
    QString checksum;
    double cx = 0.0; // the front page's own size, as last measured
    double cy = 0.0;
    std::array<CImposerItem, 2> pages; // front and back
    // The label the operator chose; empty means the automatic choice.
    QString labelName;
    CZelLabelItem label;

    bool selected = false;
    // The last try to make its previews failed: the artwork could not be had.
    // Not stored; the view draws a placeholder and press files are refused.
    bool artworkMissing = false;
    // Why, naming the file and the library's reason.
    QString artworkProblem;

    // Size on the plate after ROTATE and MEDIA_ROTATE; with own cut lines
    // counted, the box grows by 1 mm on every side.
    double EffectiveWidth(bool withOwnCut = false) const;
    double EffectiveHeight(bool withOwnCut = false) const;
    CZelBound Bounds(bool withOwnCut = false) const;

    // The angle the label shows at: the item's, a quarter turn further when
    // the artwork lies turned (a label is made for the order's width and
    // height, which the item's box then holds crosswise).
    int LabelRotation() const;
    // The artwork PDF's page (from 1) of this case's front (side 0) or back (side 1).
    int PdfPageNumber(int side) const { return mediaInd * numSide + side + 1; }
    // Gives the page pictures and the label the item's current angle.
    void TurnPictures();

    // Whether an artwork page of pw x ph lies turned in a slot of w x h:
    // both sides miss by more than 1 mm and it is closer to the size turned
    // (so that artwork with bleed stays upright).
    static bool PageLiesTurned(double pw, double ph, double w, double h);

    // The order's quantity in sheets: PQuantity, or Quantity truncated when none.
    int SheetQuantity() const;

    bool operator==(const CZelItem&) const = default;
};
