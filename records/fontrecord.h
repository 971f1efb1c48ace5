#pragma once

#include "logfont.h"

class CMTItem;
class CTzmpTree;

// Reads and writes a font description as the children of one font element,
// each key named prefix + field ("lfHeight", or "FONT_lfHeight" in text boxes).
namespace fontrecord {

void Read(const CTzmpTree& tree, const CMTItem* fontElement, const char* prefix, LogFont& font);
void Write(CTzmpTree& tree, CMTItem* fontElement, const char* prefix, const LogFont& font);

} // namespace fontrecord
