#pragma once

#include "markup/result.h"

#include <QSizeF>
#include <QString>

#include <functional>
#include <memory>

class CPDFServer;
class CZelItem;
class CZelColorPresets;
class CZelPreference;
class OperatorInterface;
class ProgressSink;

// What the running program offers a plate: the shop's settings and tables,
// owned by the application for the whole run, and the operator. Any pointer
// may be null where a caller has no such thing (a test, a tool).
struct ShopContext {
    CZelPreference* preference = nullptr;
    CZelColorPresets* colors = nullptr;
    OperatorInterface* op = nullptr;
    ProgressSink* progress = nullptr;
    CPDFServer* pdf = nullptr; // the composition library, for previews and output
    // Draws an item's label preview at picturePath (previewImage: the item's
    // front page preview) and gives the label's size in mm: empty when no
    // label fits the item. Fails, with the reason, only when a label exists
    // and cannot be drawn. Labels build on the engine, so the program hands
    // this in.
    std::function<Result<QSizeF>(const CZelItem& item, const QString& picturePath,
                                 const QString& previewImage)>
        labelPreview;
    // While the returned handle lives, labelPreview takes its labels from
    // one reading of the label set: an operation over many items (open,
    // drop, press) holds it so the shared label folder is read once, not
    // once per item. May be empty.
    std::function<std::shared_ptr<void>()> holdLabelSet;

    // The handle of holdLabelSet, or none.
    std::shared_ptr<void> HoldLabelSet() const { return holdLabelSet ? holdLabelSet() : nullptr; }
};
