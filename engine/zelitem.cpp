#include "zelitem.h"

#include <cmath>

namespace {
bool QuarterTurned(int rotate) {
    return rotate == 90 || rotate == 270;
}
constexpr double kOwnCutGrowth = 1.0;
} // namespace

double CZelItem::EffectiveWidth(bool withOwnCut) const {
    // Turning the item and turning the artwork inside it cancel out.
    const bool swapped = QuarterTurned(rotate) != (mediaRotate != 0);
    const double w = swapped ? height : width;
    return withOwnCut && ownCut ? w + 2 * kOwnCutGrowth : w;
}

double CZelItem::EffectiveHeight(bool withOwnCut) const {
    const bool swapped = QuarterTurned(rotate) != (mediaRotate != 0);
    const double h = swapped ? width : height;
    return withOwnCut && ownCut ? h + 2 * kOwnCutGrowth : h;
}

CZelBound CZelItem::Bounds(bool withOwnCut) const {
    const double grow = withOwnCut && ownCut ? kOwnCutGrowth : 0.0;
    return {x - grow, y - grow, EffectiveWidth(withOwnCut), EffectiveHeight(withOwnCut)};
}

int CZelItem::LabelRotation() const {
    const int angle = ((rotate % 360) + 360) % 360;
    return mediaRotate ? (angle + 90) % 360 : angle;
}

void CZelItem::TurnPictures() {
    for (CImposerItem& page : pages)
        page.Picture().SetRotation(rotate);
    label.rotation = LabelRotation();
}

int CZelItem::SheetQuantity() const {
    return pquantity > 0 ? pquantity : static_cast<int>(std::trunc(quantity));
}

bool CZelItem::PageLiesTurned(double pw, double ph, double w, double h) {
    if (!(std::fabs(pw - w) > 1.0 && std::fabs(ph - h) > 1.0))
        return false;
    return std::fabs(pw - h) + std::fabs(ph - w) < std::fabs(pw - w) + std::fabs(ph - h);
}

std::span<const CZelItem::TextField> CZelItem::TextFields() {
    static const TextField fields[] = {
        {"Ordernum", &CZelItem::ordernum},
        {"BranchShop", &CZelItem::branchShop},
        {"Rework", &CZelItem::rework},
        {"ROKDate", &CZelItem::rokDate},
        {"Product", &CZelItem::product},
        {"Kind", &CZelItem::kind},
        {"Paper", &CZelItem::paper},
        {"SizeKind", &CZelItem::sizeKind},
        {"AfterWork", &CZelItem::afterWork},
        {"AfterWork2", &CZelItem::afterWork2},
        {"DeliveryM", &CZelItem::deliveryM},
        {"DeliveryA", &CZelItem::deliveryA},
        {"Uid", &CZelItem::uid},
        {"Ucom", &CZelItem::ucom},
        {"Uname", &CZelItem::uname},
        {"Utel", &CZelItem::utel},
        {"UHP", &CZelItem::uhp},
        {"ReceiptS", &CZelItem::receiptS},
        {"Pcom", &CZelItem::pcom},
        {"Pname", &CZelItem::pname},
        {"Mmemo", &CZelItem::mmemo},
    };
    return fields;
}
