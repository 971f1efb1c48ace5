#include "itemcommands.h"

#include "colorselectdlg.h"
#include "editlinedlg.h"
#include "edittext.h"
#include "zeldocpropertydlg.h"
#include "zelduplicatedlg.h"
#include "zelitemarrangedlg.h"
#include "zelitempropertydlg.h"
#include "zelowncropdlg.h"

#include "engine/plateview.h"
#include "engine/tesseldoc.h"
#include "records/zelcolorpresets.h"
#include "shop/installation.h"

namespace itemcommands {

namespace {
constexpr double kMinGap = -30.0;
constexpr double kMaxGap = 30.0;
} // namespace

PlateLists ListsOf(Installation& shop) {
    return {shop.site.PaperTypeNames(), shop.site.PanAfterWorkNames()};
}

bool ShowProperties(QWidget* parent, CTesselDoc& doc, const PlateLists& lists,
                    OperatorInterface& op) {
    if (doc.SelectedCount() == 1 && CZelItemPropertyDlg::HasOrderFields(*doc.Selection().front())) {
        CZelItemPropertyDlg dialog(CZelItemPropertyDlg::RowsOf(*doc.Selection().front()), parent);
        dialog.exec();
        return false;
    }
    return EditPlate(parent, doc, lists, op);
}

bool EditPlate(QWidget* parent, CTesselDoc& doc, const PlateLists& lists, OperatorInterface& op) {
    CZelDocPropertyDlg dialog(doc.Properties(), lists.paperTypes, lists.afterWorks, op, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return plateview::ChangeProperties(doc, dialog.Properties()).changed;
}

bool CanSpace(CTesselDoc& doc, bool horizontal) {
    // The test mode only answers; it changes nothing.
    return horizontal ? doc.SpaceHorizontally(0.0, false, true)
                      : doc.SpaceVertically(0.0, false, true);
}

bool SetSpacing(QWidget* parent, CTesselDoc& doc, bool horizontal, OperatorInterface& op) {
    if (!CanSpace(doc, horizontal))
        return false;
    CZelItemArrangeDlg dialog(horizontal ? CZelItemArrangeDlg::Horizontal
                                         : CZelItemArrangeDlg::Vertical,
                              kMinGap, kMaxGap, op, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return doc.SpaceAndAlign(horizontal, dialog.Gap(), dialog.WithOwnCut(), dialog.Alignment());
}

bool Duplicate(QWidget* parent, CTesselDoc& doc, OperatorInterface& op) {
    if (doc.SelectedCount() != 1)
        return false;
    CZelDuplicateDlg dialog(1, doc.Properties().arrangeDirection, op, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return doc.DuplicateSelection(dialog.Count(), dialog.Arrangement()) > 0;
}

bool ToggleOwnCut(QWidget* parent, CTesselDoc& doc, OperatorInterface& op) {
    if (doc.SelectedCount() == 0)
        return false;
    if (doc.AllSelectedHaveOwnCut())
        return doc.ToggleOwnCut({});
    CZelOwnCropDlg dialog(doc.DefaultOwnCutSettings(), op, 92.0, 52.0, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return doc.ToggleOwnCut(dialog.Settings());
}

bool ToggleFrames(QWidget* parent, CTesselDoc& doc) {
    if (doc.SelectedCount() == 0)
        return false;
    if (doc.AllSelectedHaveFrame())
        return doc.ToggleFrames(QString());
    const CZelColorPresets fallback;
    const CZelColorPresets* colors = doc.Context().colors ? doc.Context().colors : &fallback;
    CColorSelectDlg dialog(*colors, CColorSelectDlg::DefaultColor(), parent);
    if (dialog.exec() != QDialog::Accepted || dialog.ColorName().isEmpty())
        return false;
    return doc.ToggleFrames(dialog.ColorName());
}

bool EditLines(QWidget* parent, CTesselDoc& doc) {
    const PlateProperties& p = doc.Properties();
    CEditLineDlg dialog(doc.Lines(), p.width, p.height, doc.Context().colors, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.Lines() == doc.Lines())
        return false;
    doc.SetLines(dialog.Lines());
    return true;
}

bool EditTextBoxes(QWidget* parent, CTesselDoc& doc, OperatorInterface& op) {
    const PlateProperties& p = doc.Properties();
    CEditText dialog(doc.TextBoxes(),
                     {p.width, p.height, doc.WorkFolder(), doc.Context().colors, doc.Context().pdf},
                     op, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.Boxes() == doc.TextBoxes())
        return false;
    doc.SetTextBoxes(dialog.Boxes());
    return true;
}

} // namespace itemcommands
