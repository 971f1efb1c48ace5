#pragma once

#include <QStringList>

class CTesselDoc;
class Installation;
class OperatorInterface;
class QWidget;

// The plate commands that ask the operator through a dialog first: each
// opens its dialog over the plate, and on OK hands the values to the
// plate's own operation. Each returns whether the plate changed (the
// caller repaints); Cancel changes nothing.
namespace itemcommands {

// The shop's lists the plate dialog offers: PAPER and PAN_AFTERWORK names.
struct PlateLists {
    QStringList paperTypes;
    QStringList afterWorks;
};
PlateLists ListsOf(Installation& shop);

// "판 / 항목 정보...": the order details of the one selected item (read
// only), else the plate dialog.
bool ShowProperties(QWidget* parent, CTesselDoc& doc, const PlateLists& lists,
                    OperatorInterface& op);
// "판 상세 정보...": the plate dialog; OK gives the plate the edited
// settings (the layout follows).
bool EditPlate(QWidget* parent, CTesselDoc& doc, const PlateLists& lists, OperatorInterface& op);

// "수평 간격 조정" / "수직 간격 조정".
bool CanSpace(CTesselDoc& doc, bool horizontal);
bool SetSpacing(QWidget* parent, CTesselDoc& doc, bool horizontal, OperatorInterface& op);
// "복제 적용...".
bool Duplicate(QWidget* parent, CTesselDoc& doc, OperatorInterface& op);
// "독립 재단선 추가/삭제": off without asking when every selected item has
// them, else the own cut line dialog.
bool ToggleOwnCut(QWidget* parent, CTesselDoc& doc, OperatorInterface& op);
// "항목 테두리 추가/삭제": off without asking when every selected item has
// one, else the colour picker.
bool ToggleFrames(QWidget* parent, CTesselDoc& doc);
// "수직/수평선 편집..." and "텍스트 박스 편집...": OK replaces the plate's
// list when it differs.
bool EditLines(QWidget* parent, CTesselDoc& doc);
bool EditTextBoxes(QWidget* parent, CTesselDoc& doc, OperatorInterface& op);

} // namespace itemcommands
