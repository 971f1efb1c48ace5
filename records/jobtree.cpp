#include "jobtree.h"

namespace {

constexpr MarkupKeyType T = MarkupKeyType::Text;
constexpr MarkupKeyType I = MarkupKeyType::Integer;
constexpr MarkupKeyType D = MarkupKeyType::Double;

// "AfterWorkList", "AfterWorkList2", "AfterWork" and "AfterWork2" are
// containers: they hold no value, so they are not keys.
const MarkupKeyTable kJobKeys{
    {"Location", T},  {"Ordernum", T}, {"BranchShop", T}, {"Rework", T},  {"ROKDate", T},
    {"Product", T},   {"Kind", T},     {"Color", I},      {"PDFPage", I}, {"Paper", T},
    {"SizeKind", T},  {"Width", D},    {"Height", D},     {"Pcases", I},  {"Quantity", D, 1},
    {"PQuantity", I}, {"Name", T},     {"EName", T},      {"SubName", T}, {"DeliveryM", T},
    {"DeliveryA", T}, {"Uid", T},      {"Ucom", T},       {"Uname", T},   {"Utel", T},
    {"UHP", T},       {"ReceiptS", T}, {"Pcom", T},       {"Pname", T},   {"Mmemo", T},
};

} // namespace

const MarkupKey* CJobItem::FindKey(QByteArrayView name) const {
    if (const MarkupKey* key = CTzmpItem::FindKey(name))
        return key;
    return kJobKeys.Find(name);
}
