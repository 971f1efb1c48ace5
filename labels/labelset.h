#pragma once

#include "zellabel.h"

#include <QString>

#include <memory>
#include <utility>
#include <vector>

// The shop's labels, kept one per ".tzlp" file in the "Labels" folder of the
// shared preset folder, with the label definitions file beside them.
namespace labelset {

inline constexpr char kExtension[] = "tzlp";
// The editor's entry for a label not yet saved; never a label's name.
inline constexpr char16_t kNewLabelEntry[] = u"[새 레이블]";

// A name a label may be saved under: a valid shared file name that is not
// the new-label entry.
bool IsValidLabelName(const QString& name);

// PRESET_DIR/Labels, created when missing; empty when no preset folder is set.
QString LabelFolder(const QString& presetDir);
// The file of a named label; empty when the preset folder is not set or the
// name is not a plain file name.
QString LabelPath(const QString& presetDir, const QString& name);
// PRESET_DIR/ZelLabelDefinesPreset.tzsp
QString DefinitionsPath(const QString& presetDir);

// Every label that loads, largest area first. Returns their number.
int LoadAll(const QString& presetDir, std::vector<std::unique_ptr<CZelLabel>>& labels);
// The label for an item of this size: the first (largest) of exactly this
// size, else the first that fits inside it; empty when none fits.
QString PickLabel(const std::vector<std::unique_ptr<CZelLabel>>& labels, double width,
                  double height);
QString PickLabel(const QString& presetDir, double width, double height);
// WIDE and HIGH of a label file; false when it has no valid size.
bool ReadLabelSize(const QString& path, double& width, double& height);

// The member's picture (Labels/<uid>.jpg), else Labels/Default_UID.jpg;
// empty when neither exists.
QString MemberPicturePath(const QString& presetDir, const QString& uid);

// The field kinds of the definitions file: (tag, title) in file order.
Result<std::vector<std::pair<QString, QString>>> LoadDefinitions(const QString& presetDir);

} // namespace labelset
