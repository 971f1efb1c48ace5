#include "docpresettree.h"

#include "fontrecord.h"

namespace {

constexpr MarkupKeyType T = MarkupKeyType::Text;
constexpr MarkupKeyType I = MarkupKeyType::Integer;
constexpr MarkupKeyType D = MarkupKeyType::Double;

const MarkupKeyTable kPresetKeys{
    // PLATE_INFORMATION
    {"PAPER_TYPE", T},
    {"PAPER_SIDE", I},
    {"COLOR_A", I},
    {"COLOR_B", I},
    {"IMPOSITION", I},
    {"QUANTITY", D, 1},
    {"PRESS_UNIT", I},
    {"PQUANTITY", I},
    {"COMMENT", T},
    {"AFTER_WORK", T},
    // PAPER_PROPERTY
    {"SIZE", T},
    {"WIDTH", D},
    {"HEIGHT", D},
    {"MARGIN_TOP", D},
    {"MARGIN_LEFT", D},
    {"MARGIN_BOTTOM", D},
    {"MARGIN_RIGHT", D},
    {"GRID_WIDTH", D},
    {"GRID_HEIGHT", D},
    {"CUT_MARGIN_TOP", D},
    {"CUT_MARGIN_LEFT", D},
    {"CUT_MARGIN_BOTTOM", D},
    {"CUT_MARGIN_RIGHT", D},
    // IMPOSE_PROPERTY
    {"ARRANGE_DIRECTION", I},
    {"ARRANGE_MAX_JOB", I},
    {"TITLE_POSITION", I},
    {"TITLE_ITEMS", T},
    {"TITLE_ALIGN", I},
    {"PLATE_CROP_TOP", I},
    {"PLATE_CROP_LEFT", I},
    {"PLATE_CROP_BOTTOM", I},
    {"PLATE_CROP_RIGHT", I},
    {"COLORBAR_TOP-LEFT", I},
    {"COLORBAR_LEFT-TOP", I},
    {"COLORBAR_TOP-RIGHT", I},
    {"COLORBAR_RIGHT-TOP", I},
    {"COLORBAR_LEFT-BOTTOM", I},
    {"COLORBAR_BOTTOM-LEFT", I},
    {"COLORBAR_RIGHT-BOTTOM", I},
    {"COLORBAR_BOTTOM-RIGHT", I},
    {"COLOR_BAR_ALIGN", I},
    {"COLOR_BAR_NAME", T},
    {"REGISTRATION_MARK_TOP", I},
    {"REGISTRATION_MARK_LEFT", I},
    {"REGISTRATION_MARK_BOTTOM", I},
    {"REGISTRATION_MARK_RIGHT", I},
    {"REGISTRATION_MARK_ALIGN", I},
    {"REGISTRATION_MARK_NAME", T},
    // LINE
    {"LINE_DIR", I},
    {"LINE_START", D},
    {"LINE_END", D},
    {"LINE_OFFSET", D},
    {"LINE_WEIGHT", D},
    {"LINE_COLOR", T},
};

const MarkupKeyTable kDocumentKeys{
    // DOCUMENT_INFORMATION
    {"PRESET_NAME", T},
    {"JOB_DATE", T},
    {"JOB_CODE", T},
    {"USER_ACCOUNT", T},
    {"USER_INITIAL", T},
    {"USER_NAME", T},
    {"PRESS_QUANTITYSTR", T},
    {"NUM_PAGES", I},
    // JOB: the order fields copied when the item was placed
    {"Ordernum", T},
    {"BranchShop", T},
    {"Rework", T},
    {"ROKDate", T},
    {"Product", T},
    {"Kind", T},
    {"Color", I},
    {"PDFPage", I},
    {"Paper", T},
    {"SizeKind", T},
    {"Width", D},
    {"Height", D},
    {"Pcases", I},
    {"Quantity", D, 1},
    {"PQuantity", I},
    {"AfterWork", T},
    {"DeliveryM", T},
    {"DeliveryA", T},
    {"Uid", T},
    {"Ucom", T},
    {"Uname", T},
    {"Utel", T},
    {"UHP", T},
    {"ReceiptS", T},
    {"Pcom", T},
    {"Pname", T},
    {"Mmemo", T},
    // OBJECT
    {"OBJ_PATH", T},
    {"PAGE_NUM", I},
    {"NUM_SIDE", I},
    {"MEDIA_IND", I},
    {"MEDIA_ROTATE", I},
    {"OWN_CUT", I},
    {"CROP_LEFT", D},
    {"CROP_TOP", D},
    {"CROP_RIGHT", D},
    {"CROP_BOTTOM", D},
    {"CROP_01", I},
    {"CROP_02", I},
    {"CROP_03", I},
    {"CROP_04", I},
    {"CROP_05", I},
    {"CROP_06", I},
    {"CROP_07", I},
    {"CROP_08", I},
    {"OWN_FRAME", I},
    {"OWN_FRAME_COLOR", T},
    {"ROTATE", I},
    {"X", D},
    {"Y", D},
    {"CX", D},
    {"CY", D},
    {"CHECKSUM", T},
    // Kept beside the stored order fields: the label chosen for the item, and
    // the order's second after-work text (other workstations ignore both).
    {"LABEL_NAME", T},
    {"AfterWork2", T},
    // TEXT
    {"TEXT_NAME", T},
    {"TEXT_POSX", D},
    {"TEXT_POSY", D},
    {"TEXT_WIDE", D},
    {"TEXT_HIGH", D},
    {"TEXT_COLOR_FRAME", T},
    {"TEXT_COLOR_CONTENT", T},
    {"TEXT_COLOR_TEXT", T},
    {"TEXT_ROTATE", I},
    {"TEXT_STRING", T},
};

} // namespace

const MarkupKey* CDocPresetItem::FindKey(QByteArrayView name) const {
    if (const MarkupKey* key = CTzmpItem::FindKey(name))
        return key;
    if (const MarkupKey* key = kPresetKeys.Find(name))
        return key;
    // TITLE_FONT and BARCODE_FONT
    return fontrecord::FindFieldKey(name);
}

const MarkupKey* CDocumentItem::FindKey(QByteArrayView name) const {
    if (const MarkupKey* key = CDocPresetItem::FindKey(name))
        return key;
    if (const MarkupKey* key = kDocumentKeys.Find(name))
        return key;
    // a text box's FONT
    return fontrecord::FindFieldKey(name, "FONT_");
}
