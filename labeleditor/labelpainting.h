#pragma once

class CZelLabel;
class QPainter;

// A label as the editor and the selection dialog show it: every object with
// its own text, outlined in black when framed and in grey otherwise, at the
// label's size in pixels at zoom 1 (dpi pixels per inch), its top-left at
// (0, 0). The label's background is left to the caller.
namespace labelpainting {

void PaintObjects(QPainter& painter, const CZelLabel& label, int dpi);

} // namespace labelpainting
