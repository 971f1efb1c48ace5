#include "labelusers.h"

#include "labelset.h"

#include "engine/tesseldoc.h"

#include <QFileInfo>

namespace labelusers {

std::vector<CZelItem*> ItemsUsing(const CTesselDoc& doc, const QString& presetDir,
                                  const QString& labelName) {
    std::vector<CZelItem*> items;
    for (int i = 0; i < doc.ItemCount(); ++i) {
        CZelItem* item = doc.ItemAt(i);
        const bool automatic = item->labelName.isEmpty() ||
                               !QFileInfo(labelset::LabelPath(presetDir, item->labelName)).isFile();
        if (automatic || item->labelName == labelName)
            items.push_back(item);
    }
    return items;
}

QStringList RefreshItemsUsing(CTesselDoc& doc, const QString& presetDir, const QString& labelName) {
    const std::shared_ptr<void> labels = doc.Context().HoldLabelSet();
    QStringList failures;
    for (CZelItem* item : ItemsUsing(doc, presetDir, labelName)) {
        doc.MarkDirty(*item);
        QString error;
        if (!doc.RefreshLabelPreview(*item, &error))
            failures << error;
        doc.MarkDirty(*item);
    }
    return failures;
}

bool Fits(double labelWidth, double labelHeight, const CZelItem& item) {
    return labelWidth <= item.width && labelHeight <= item.height;
}

} // namespace labelusers
