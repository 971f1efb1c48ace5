#include "preferencetree.h"

namespace {

constexpr MarkupKeyType T = MarkupKeyType::Text;
constexpr MarkupKeyType I = MarkupKeyType::Integer;

const MarkupKeyTable kPreferenceKeys{
    {"USERS_DIR", T},
    {"PRESET_DIR", T},
    {"JOBS_DIR", T},
    {"PDFS_DIR", T},
    {"PROGRESS_DIR", T},
    {"RELEASE_DIR", T},
    {"LOCAL_WORK_DIR", T},
    {"ITEM_FRAME_A", I},
    {"ITEM_FRAME_B", I},
    {"ITEM_FRAME_L", I},
    {"ITEM_CUT_A", I},
    {"ITEM_CUT_B", I},
    {"ITEM_CUT_L", I},
    {"MAKE_PDF_METHOD", I},
    {"MAKE_PDF_TYPE", I},
    {"MAKE_PDF_VIEW", I},
    {"MAKE_PDF_TITLE_FNAME", I},
    {"MAKE_CUT_PLAN", I},
    {"MAKE_PDF_PRESS_DIR", T},
    // The plate registration server of this installation.
    {"PLATE_REG_URL", T},
};

} // namespace

const MarkupKey* CPrefItem::FindKey(QByteArrayView name) const {
    if (const MarkupKey* key = CTzmpItem::FindKey(name))
        return key;
    return kPreferenceKeys.Find(name);
}
