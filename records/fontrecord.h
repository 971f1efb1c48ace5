#pragma once

#include "logfont.h"

#include <QByteArrayView>

struct MarkupKey;

class CMTItem;
class CTzmpTree;

// Reads and writes a font description as the children of one font element,
// each key named prefix + field ("lfHeight", or "FONT_lfHeight" in text boxes).
namespace fontrecord {

void Read(const CTzmpTree& tree, const CMTItem* fontElement, const char* prefix, LogFont& font);
void Write(CTzmpTree& tree, CMTItem* fontElement, const char* prefix, const LogFont& font);

// How a record tree types the key `name` when it is a font field under
// `prefix`, for the key tables of records that hold fonts; null otherwise.
const MarkupKey* FindFieldKey(QByteArrayView name, QByteArrayView prefix = {});

} // namespace fontrecord
