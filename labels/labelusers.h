#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class CTesselDoc;
class CZelItem;

// The items of a plate that a label concerns, for the label editor and the
// label selection dialog.
namespace labelusers {

// Items whose label preview depends on the named label: those that chose it,
// and those that take the automatic choice (no choice, or a chosen label
// whose file is gone), since saving or deleting any label may change what
// that choice picks. presetDir is the shop's preset folder.
std::vector<const CZelItem*> ItemsUsing(const CTesselDoc& doc, const QString& presetDir,
                                        const QString& labelName);

// After the editor saved or deleted the named label: draws the label
// previews of those items again, reading the label set once; the plate
// reports them to its observers once. Returns the orders whose label could
// not be drawn, each with the reason.
QStringList RefreshItemsUsing(CTesselDoc& doc, const QString& presetDir, const QString& labelName);

// Whether a label fits an item, as the automatic choice and the selection
// dialog both judge it: against the order's own size, not the item's turned
// box (the label turns with the item).
bool Fits(double labelWidth, double labelHeight, const CZelItem& item);

} // namespace labelusers
