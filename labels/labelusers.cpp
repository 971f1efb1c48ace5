#include "labelusers.h"

#include "labelset.h"

#include "engine/tesseldoc.h"

#include <QFileInfo>

namespace labelusers {

std::vector<const CZelItem*> ItemsUsing(const CTesselDoc& doc, const QString& presetDir,
                                        const QString& labelName) {
    std::vector<const CZelItem*> items;
    for (int i = 0; i < doc.ItemCount(); ++i) {
        const CZelItem* item = doc.ItemAt(i);
        const bool automatic = item->labelName.isEmpty() ||
                               !QFileInfo(labelset::LabelPath(presetDir, item->labelName)).isFile();
        if (automatic || item->labelName == labelName)
            items.push_back(item);
    }
    return items;
}

QStringList RefreshItemsUsing(CTesselDoc& doc, const QString& presetDir, const QString& labelName) {
    return doc.RefreshLabelPreviews(ItemsUsing(doc, presetDir, labelName));
}

bool Fits(double labelWidth, double labelHeight, const CZelItem& item) {
    return labelWidth <= item.width && labelHeight <= item.height;
}

} // namespace labelusers
